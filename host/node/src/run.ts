import { spawn } from "node:child_process";
import { join } from "node:path";

import { HelperError } from "./errors.js";
import type { HelperErrorCode, Program } from "./errors.js";
import { describeErrors, validators } from "./validate.js";
import type { LineKind } from "./validate.js";

export interface RunRequest {
    binDir: string;
    env: NodeJS.ProcessEnv | undefined;
    program: Program;
    args: readonly string[];
    timeoutMs: number;
    graceMs: number;
    maxOutputBytes: number;
    signal: AbortSignal | undefined;
    onSpawn: ((program: Program, pid: number) => void) | undefined;
}

/** How a run ended, before its exit status and output are interpreted. */
export interface Finished {
    request: RunRequest;
    exitCode: number | null;
    signal: NodeJS.Signals | null;
    stdout: Buffer;
    stderr: string;
    /** Set when this side stopped the program: its time ran out, or the caller aborted. */
    stoppedFor: "timeout" | "abort" | "output" | undefined;
    /** The program outlived the grace period after SIGTERM and was killed. */
    escalated: boolean;
}

const stderrLimit = 64 * 1024;

/**
 * Starts one program without a shell and waits for it to exit and close its output.
 *
 * Stopping (time-out, abort, runaway output) sends SIGTERM first: roomcode then closes a
 * popover it opened and noticeplay puts the user's audio output back before exiting.
 * SIGKILL follows only when the program is still there after the grace period, because a
 * killed program restores nothing.
 */
export function runProgram(request: RunRequest): Promise<Finished> {
    return new Promise((resolve, reject) => {
        const { program, args } = request;
        if (request.signal?.aborted) {
            reject(new HelperError("ABORTED", "aborted before it started", { program, args }));
            return;
        }
        const child = spawn(join(request.binDir, program), args, {
            env: request.env,
            stdio: ["ignore", "pipe", "pipe"],
            shell: false,
            windowsHide: true,
        });

        const stdoutChunks: Buffer[] = [];
        let stdoutBytes = 0;
        let stderr = "";
        let stoppedFor: Finished["stoppedFor"];
        let escalated = false;
        let killTimer: NodeJS.Timeout | undefined;
        let settled = false;

        const stop = (reason: NonNullable<Finished["stoppedFor"]>) => {
            if (stoppedFor !== undefined || child.exitCode !== null || child.signalCode !== null) return;
            stoppedFor = reason;
            child.kill("SIGTERM");
            killTimer = setTimeout(() => {
                escalated = true;
                child.kill("SIGKILL");
            }, request.graceMs);
        };
        const onAbort = () => stop("abort");
        const timer = setTimeout(() => stop("timeout"), request.timeoutMs);
        request.signal?.addEventListener("abort", onAbort, { once: true });

        const cleanUp = () => {
            settled = true;
            clearTimeout(timer);
            if (killTimer) clearTimeout(killTimer);
            request.signal?.removeEventListener("abort", onAbort);
        };

        child.stdout.on("data", (chunk: Buffer) => {
            stdoutBytes += chunk.length;
            if (stdoutBytes > request.maxOutputBytes) {
                stop("output");
                return;
            }
            stdoutChunks.push(chunk);
        });
        child.stderr.setEncoding("utf8");
        child.stderr.on("data", (chunk: string) => {
            if (stderr.length < stderrLimit) stderr += chunk.slice(0, stderrLimit - stderr.length);
        });

        child.once("spawn", () => {
            if (child.pid !== undefined) request.onSpawn?.(program, child.pid);
        });
        child.once("error", (error: NodeJS.ErrnoException) => {
            // After a successful start the only errors are failed kills of a process that is
            // already gone; "close" still reports how it ended.
            if (child.pid !== undefined || settled) return;
            cleanUp();
            reject(
                new HelperError("SPAWN_FAILED", `could not start ${join(request.binDir, program)}: ${error.message}`, {
                    program,
                    args,
                    cause: error,
                }),
            );
        });
        child.once("close", (exitCode: number | null, signal: NodeJS.Signals | null) => {
            if (settled) return;
            cleanUp();
            resolve({
                request,
                exitCode,
                signal,
                stdout: Buffer.concat(stdoutChunks),
                stderr,
                stoppedFor,
                escalated,
            });
        });
    });
}

/** The one line a program printed: absent when it printed nothing. */
export type PrintedLine<T> = { printed: false } | { printed: true; value: T };

export function failure(code: HelperErrorCode, message: string, finished: Finished, extra: object = {}): HelperError {
    return new HelperError(code, message, {
        program: finished.request.program,
        args: finished.request.args,
        exitCode: finished.exitCode,
        signal: finished.signal,
        stdout: finished.stdout.toString("utf8"),
        stderr: finished.stderr,
        ...extra,
    });
}

const utf8 = new TextDecoder("utf-8", { fatal: true });

/**
 * Reads standard output as exactly one line of UTF-8 JSON ending in one line feed and
 * checks it against its schema. Anything else is malformed: a host must not act on a
 * half-written or foreign line.
 */
export function readLine<K extends LineKind>(kind: K, finished: Finished): PrintedLine<ValidatedLine<K>> {
    const bytes = finished.stdout;
    if (bytes.length === 0) return { printed: false };
    const newline = bytes.indexOf(0x0a);
    if (newline !== bytes.length - 1) {
        throw failure("MALFORMED_OUTPUT", "standard output is not exactly one line", finished);
    }
    let text: string;
    try {
        text = utf8.decode(bytes.subarray(0, newline));
    } catch (cause) {
        throw failure("MALFORMED_OUTPUT", "standard output is not UTF-8", finished, { cause });
    }
    let value: unknown;
    try {
        value = JSON.parse(text);
    } catch (cause) {
        throw failure("MALFORMED_OUTPUT", "standard output is not JSON", finished, { cause });
    }
    const validate = validators[kind];
    if (!validate(value)) {
        throw failure("MALFORMED_OUTPUT", `the printed line ${describeErrors(validate.errors)}`, finished);
    }
    return { printed: true, value: value as ValidatedLine<K> };
}

export type ValidatedLine<K extends LineKind> = (typeof validators)[K] extends (value: unknown) => value is infer T
    ? T
    : never;

/**
 * The error for a run that did not end on its own terms: stopped here, interrupted by
 * someone else's SIGTERM/SIGINT (the program's handler exits 143/130), or killed.
 */
export function abnormalEnd(finished: Finished): HelperError | undefined {
    const { exitCode, signal } = finished;
    const bySignal = signal !== null || exitCode === 130 || exitCode === 143;
    if (finished.stoppedFor !== undefined) {
        const how = finished.escalated
            ? "and was killed after it outlived the grace period"
            : signal !== null
              ? `(ended by ${signal})`
              : `(exit status ${exitCode})`;
        switch (finished.stoppedFor) {
            case "timeout":
                return failure("TIMEOUT", `ran longer than ${finished.request.timeoutMs} ms ${how}`, finished);
            case "abort":
                return failure("ABORTED", `aborted ${how}`, finished);
            case "output":
                return failure(
                    "MALFORMED_OUTPUT",
                    `printed more than ${finished.request.maxOutputBytes} bytes ${how}`,
                    finished,
                );
        }
    }
    if (!bySignal) return undefined;
    if (signal !== null) return failure("KILLED", `ended by ${signal}`, finished);
    return failure("INTERRUPTED", `ended by ${exitCode === 130 ? "SIGINT" : "SIGTERM"} (exit status ${exitCode})`, finished);
}
