import { setTimeout as sleep } from "node:timers/promises";

import { HelperError, isHelperError } from "./errors.js";
import type { CallsenseReport } from "./generated/schemas.js";

export interface WatchOptions {
    /** The pause between the end of one run and the start of the next. */
    intervalMs: number;
    /** Stops watching; the iteration then ends without an error. */
    signal?: AbortSignal;
    /**
     * How many reports in a row it takes to end a call or to change it (default 2), so that
     * one odd report (a walk that timed out, a window briefly in front) changes nothing.
     * A failed run counts as a report without a call. A call starts at its first report.
     */
    hysteresis?: number;
}

/**
 * A transition of the call the user is in.
 *
 * - `callStarted`: a report says a call is likely.
 * - `callChanged`: the call goes on under another product family or another meeting
 *   fingerprint; a report without a fingerprint keeps the one already known.
 * - `callEnded`: `hysteresis` reports in a row said no call (or failed); `report` is the
 *   last report of the call.
 */
export type CallEvent =
    | { type: "callStarted"; report: CallsenseReport }
    | { type: "callChanged"; report: CallsenseReport; previous: CallsenseReport }
    | { type: "callEnded"; report: CallsenseReport };

// A report without a fingerprint (the walk did not reach the link this time) does not
// make the meeting another one.
function sameCall(family: string, fingerprint: string | undefined, next: CallsenseReport): boolean {
    if (family !== next.sessionFamily) return false;
    return next.meetingFingerprint === undefined || next.meetingFingerprint === fingerprint;
}

function identity(report: CallsenseReport): string {
    return `${report.sessionFamily}\u0000${report.meetingFingerprint ?? ""}`;
}

/**
 * Runs `detect` one run at a time, with `intervalMs` between the end of a run and the
 * start of the next, so a slow run (a hung application can hold callsense for 8.5 s)
 * never overlaps the next one.
 */
export async function* watchCalls(
    detect: (options: { signal?: AbortSignal }) => Promise<CallsenseReport>,
    options: WatchOptions,
): AsyncGenerator<CallEvent, void, undefined> {
    const { intervalMs, signal } = options;
    const hysteresis = options.hysteresis ?? 2;
    if (!Number.isFinite(intervalMs) || intervalMs < 0) throw new RangeError("intervalMs must be 0 or more");
    if (!Number.isInteger(hysteresis) || hysteresis < 1) throw new RangeError("hysteresis must be 1 or more");

    // The latest report of the call in progress, and the fingerprint it is known by.
    let call: CallsenseReport | undefined;
    let fingerprint: string | undefined;
    let misses = 0;
    let candidate: { key: string; count: number } | undefined;

    while (!signal?.aborted) {
        let report: CallsenseReport | undefined;
        try {
            report = await detect(signal ? { signal } : {});
        } catch (error) {
            if (signal?.aborted) return;
            // A program that cannot be started will not start on the next poll either.
            if (isHelperError(error, "SPAWN_FAILED") || !(error instanceof HelperError)) throw error;
        }

        if (report?.callLikely) {
            misses = 0;
            if (call === undefined) {
                call = report;
                fingerprint = report.meetingFingerprint;
                candidate = undefined;
                yield { type: "callStarted", report };
            } else if (sameCall(call.sessionFamily, fingerprint, report)) {
                call = report;
                candidate = undefined;
            } else {
                const key = identity(report);
                candidate = candidate?.key === key ? { key, count: candidate.count + 1 } : { key, count: 1 };
                if (candidate.count >= hysteresis) {
                    const previous = call;
                    call = report;
                    fingerprint = report.meetingFingerprint;
                    candidate = undefined;
                    yield { type: "callChanged", report, previous };
                }
            }
        } else if (call !== undefined) {
            candidate = undefined;
            misses += 1;
            if (misses >= hysteresis) {
                const last = call;
                call = undefined;
                fingerprint = undefined;
                misses = 0;
                yield { type: "callEnded", report: last };
            }
        }

        try {
            await sleep(intervalMs, undefined, signal ? { signal } : {});
        } catch {
            return;
        }
    }
}
