import type { CallsenseReport } from "./generated/schemas.js";

export type Program = "callsense" | "roomcode" | "noticeplay";

/**
 * Why a helper gave no result.
 *
 * - `SPAWN_FAILED`: the program could not be started (missing, not executable).
 * - `TIMEOUT`: it ran past its time limit and was stopped.
 * - `ABORTED`: the caller's AbortSignal stopped it, or aborted before it could start.
 * - `INTERRUPTED`: someone else sent it SIGTERM or SIGINT and it exited by its own
 *   handler (130 or 143), after putting back what it had changed.
 * - `KILLED`: it died by a signal that nobody here sent (a crash, a kill from outside).
 * - `ENCODE_FAILED`: it could not encode its own result (`callsense` status 1,
 *   `roomcode` status 3); for `callsense` the fallback report it printed, if any, is in
 *   `fallbackReport`.
 * - `MALFORMED_OUTPUT`: standard output was not exactly one line of JSON matching the
 *   program's schema, or did not agree with the exit status.
 * - `UNEXPECTED_EXIT`: an exit status the program does not use for this outcome.
 */
export type HelperErrorCode =
    | "SPAWN_FAILED"
    | "TIMEOUT"
    | "ABORTED"
    | "INTERRUPTED"
    | "KILLED"
    | "ENCODE_FAILED"
    | "MALFORMED_OUTPUT"
    | "UNEXPECTED_EXIT";

export interface HelperErrorDetails {
    program: Program;
    args: readonly string[];
    exitCode?: number | null;
    signal?: NodeJS.Signals | null;
    stdout?: string;
    stderr?: string;
    fallbackReport?: CallsenseReport;
    cause?: unknown;
}

export class HelperError extends Error {
    override readonly name: string;
    readonly code: HelperErrorCode;
    readonly program: Program;
    readonly args: readonly string[];
    /** The exit status, or null when the process ended by a signal. */
    readonly exitCode: number | null;
    /** The signal that ended the process, if one did. */
    readonly signal: NodeJS.Signals | null;
    readonly stdout: string;
    readonly stderr: string;
    readonly fallbackReport: CallsenseReport | undefined;

    constructor(code: HelperErrorCode, message: string, details: HelperErrorDetails) {
        super(`${details.program}: ${message}`, details.cause === undefined ? undefined : { cause: details.cause });
        // ABORTED keeps the name other abortable APIs use, so `err.name === "AbortError"` checks work.
        this.name = code === "ABORTED" ? "AbortError" : "HelperError";
        this.code = code;
        this.program = details.program;
        this.args = details.args;
        this.exitCode = details.exitCode ?? null;
        this.signal = details.signal ?? null;
        this.stdout = details.stdout ?? "";
        this.stderr = details.stderr ?? "";
        this.fallbackReport = details.fallbackReport;
    }
}

export function isHelperError(value: unknown, code?: HelperErrorCode): value is HelperError {
    return value instanceof HelperError && (code === undefined || value.code === code);
}
