import { HelperError } from "./errors.js";
import type { Program } from "./errors.js";
import type {
    CallsenseFocusPoint,
    CallsenseReport,
    NoticeplayResponse,
    RoomcodeResult,
} from "./generated/schemas.js";
import { abnormalEnd, failure, readLine, runProgram } from "./run.js";
import type { Finished } from "./run.js";
import { watchCalls } from "./watch.js";
import type { CallEvent, WatchOptions } from "./watch.js";

export { HelperError, isHelperError } from "./errors.js";
export type { HelperErrorCode, Program } from "./errors.js";
export type * from "./generated/schemas.js";
export {
    callsenseFocusPointSchema,
    callsenseReportSchema,
    noticeplayResponseSchema,
    roomcodeResultSchema,
} from "./generated/schemas.js";
export type { CallEvent, WatchOptions } from "./watch.js";

/** Time limits in milliseconds. */
export interface Timeouts {
    /** `callsense`: its walk deadline (2.5 s) plus one messaging time-out (6 s), plus start-up. */
    callsenseMs: number;
    /** `callsense --focus-point`: five requests of at most 6 s each, plus start-up. */
    focusPointMs: number;
    /**
     * `roomcode`: it has no single deadline; a hung client costs at most 2 s, and a slow
     * one a few walks of at most 3 s each (live-meeting test, information surfaces, the
     * reader) plus the waits after a press and a close.
     */
    roomcodeMs: number;
    /** `noticeplay`: the notice's length plus the switch, the restore and the stall bound. */
    noticeplayMs: number;
    /**
     * Between SIGTERM and SIGKILL: long enough for roomcode to close its popover (one
     * 0.25 s request, the close press and the 0.2 s wait after it) and for noticeplay to
     * put the audio output back, with room for a busy machine.
     */
    graceMs: number;
}

export const defaultTimeouts: Readonly<Timeouts> = Object.freeze({
    callsenseMs: 9_500,
    focusPointMs: 31_000,
    roomcodeMs: 30_000,
    noticeplayMs: 60_000,
    graceMs: 5_000,
});

export interface HelperOptions {
    /** The folder holding `callsense`, `roomcode` and `noticeplay` (in an app bundle, Contents/Helpers). */
    binDir: string;
    /** The programs' environment; the process's own when left out. */
    env?: NodeJS.ProcessEnv;
    timeouts?: Partial<Timeouts>;
    /** Standard output beyond this many bytes stops the program and counts as malformed (default 64 MiB). */
    maxOutputBytes?: number;
    /** Called with the process id of every program started, e.g. for logging. */
    onSpawn?: (program: Program, pid: number) => void;
}

export interface CallOptions {
    signal?: AbortSignal;
    /** This call's time limit instead of the client's. */
    timeoutMs?: number;
}

export interface Helpers {
    /** The `callsense` report, exactly as printed (same keys, same values). */
    detectCall(options?: CallOptions): Promise<CallsenseReport>;
    /** The centre of the frontmost window, or null when there is none to read (exit status 1). */
    focusPoint(options?: CallOptions): Promise<CallsenseFocusPoint | null>;
    /** The `roomcode` result; `ok` false with a `code` is an answer, not an error. */
    readMeetingId(options?: CallOptions): Promise<RoomcodeResult>;
    /**
     * Plays a notice through the built-in speakers. The response's `ok` tells success from
     * a reported failure. Calls on one client take turns: a call waits until the notice
     * before it has finished (an aborted waiting call never starts).
     */
    playNotice(path: string, options?: CallOptions): Promise<NoticeplayResponse>;
    /** Polls `callsense` and yields call transitions; see WatchOptions. */
    watchCalls(options: WatchOptions): AsyncGenerator<CallEvent, void, undefined>;
}

function unexpectedExit(finished: Finished): HelperError {
    const how = finished.signal !== null ? `ended by ${finished.signal}` : `exit status ${finished.exitCode}`;
    const detail = finished.stderr.trim() === "" ? "" : `: ${finished.stderr.trim().slice(0, 500)}`;
    return failure("UNEXPECTED_EXIT", `${how}${detail}`, finished);
}

// A run that was stopped here may still have finished on its own just before; a complete,
// valid line with the program's own exit status is then its answer.
function endedOnItsOwn(finished: Finished, statuses: readonly number[]): boolean {
    return (
        finished.signal === null &&
        finished.exitCode !== null &&
        statuses.includes(finished.exitCode) &&
        finished.stoppedFor !== "output"
    );
}

function interpretReport(finished: Finished): CallsenseReport {
    if (!endedOnItsOwn(finished, [0, 1])) throw abnormalEnd(finished) ?? unexpectedExit(finished);
    const line = readLine("report", finished);
    if (finished.exitCode === 0) {
        if (!line.printed) throw failure("MALFORMED_OUTPUT", "exit status 0 without a report", finished);
        return line.value;
    }
    throw failure("ENCODE_FAILED", "could not encode its report", finished, {
        ...(line.printed ? { fallbackReport: line.value } : {}),
    });
}

function interpretFocusPoint(finished: Finished): CallsenseFocusPoint | null {
    if (!endedOnItsOwn(finished, [0, 1])) throw abnormalEnd(finished) ?? unexpectedExit(finished);
    const line = readLine("focusPoint", finished);
    if (finished.exitCode === 0) {
        if (!line.printed) throw failure("MALFORMED_OUTPUT", "exit status 0 without a focus point", finished);
        return line.value;
    }
    if (line.printed) throw failure("MALFORMED_OUTPUT", "printed a focus point with exit status 1", finished);
    return null;
}

function interpretRoomcode(finished: Finished): RoomcodeResult {
    if (!endedOnItsOwn(finished, [0, 3])) throw abnormalEnd(finished) ?? unexpectedExit(finished);
    const line = readLine("roomcode", finished);
    if (finished.exitCode === 3) {
        if (line.printed) throw failure("MALFORMED_OUTPUT", "printed a result with exit status 3", finished);
        throw failure("ENCODE_FAILED", "could not encode its result", finished);
    }
    if (!line.printed) throw failure("MALFORMED_OUTPUT", "exit status 0 without a result", finished);
    return line.value;
}

function interpretNotice(finished: Finished): NoticeplayResponse {
    if (!endedOnItsOwn(finished, [0, 1])) throw abnormalEnd(finished) ?? unexpectedExit(finished);
    const line = readLine("noticeplay", finished);
    if (!line.printed) throw failure("MALFORMED_OUTPUT", `exit status ${finished.exitCode} without a response`, finished);
    if (line.value.ok !== (finished.exitCode === 0)) {
        throw failure("MALFORMED_OUTPUT", `"ok":${line.value.ok} with exit status ${finished.exitCode}`, finished);
    }
    return line.value;
}

function abortedWhileWaiting(path: string): HelperError {
    return new HelperError("ABORTED", "aborted while waiting for the notice before it", {
        program: "noticeplay",
        args: ["play-speakers", "--file", path],
    });
}

/** Resolves when `turn` does, or rejects at once when the signal aborts first. */
function waitForTurn(turn: Promise<void>, signal: AbortSignal | undefined, path: string): Promise<void> {
    if (!signal) return turn;
    if (signal.aborted) return Promise.reject(abortedWhileWaiting(path));
    return new Promise((resolve, reject) => {
        const onAbort = () => reject(abortedWhileWaiting(path));
        signal.addEventListener("abort", onAbort, { once: true });
        void turn.then(() => {
            signal.removeEventListener("abort", onAbort);
            resolve();
        });
    });
}

export function createHelpers(options: HelperOptions): Helpers {
    const timeouts: Timeouts = { ...defaultTimeouts, ...options.timeouts };
    const maxOutputBytes = options.maxOutputBytes ?? 64 * 1024 * 1024;

    const run = (program: Program, args: string[], timeoutMs: number, call: CallOptions) =>
        runProgram({
            binDir: options.binDir,
            env: options.env,
            program,
            args,
            timeoutMs: call.timeoutMs ?? timeoutMs,
            graceMs: timeouts.graceMs,
            maxOutputBytes,
            signal: call.signal,
            onSpawn: options.onSpawn,
        });

    // Each notice switches the default output and records the one it found as the user's.
    // A second notice started meanwhile would record the first one's switch (the speakers)
    // as the user's choice and "restore" to it, so notices take turns.
    let lastNotice: Promise<void> = Promise.resolve();

    const helpers: Helpers = {
        async detectCall(call = {}) {
            return interpretReport(await run("callsense", [], timeouts.callsenseMs, call));
        },
        async focusPoint(call = {}) {
            return interpretFocusPoint(await run("callsense", ["--focus-point"], timeouts.focusPointMs, call));
        },
        async readMeetingId(call = {}) {
            return interpretRoomcode(await run("roomcode", [], timeouts.roomcodeMs, call));
        },
        async playNotice(path, call = {}) {
            const before = lastNotice;
            let done!: () => void;
            const mine = new Promise<void>((resolve) => (done = resolve));
            // The next notice waits for this one and for every one before it, even when this
            // one gives up its turn early.
            lastNotice = before.then(() => mine);
            try {
                await waitForTurn(before, call.signal, path);
                const args = ["play-speakers", "--file", path];
                return interpretNotice(await run("noticeplay", args, timeouts.noticeplayMs, call));
            } finally {
                done();
            }
        },
        watchCalls(watch) {
            return watchCalls((call) => helpers.detectCall(call), watch);
        },
    };
    return helpers;
}
