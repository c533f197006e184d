import assert from "node:assert/strict";
import { describe, test } from "node:test";

import { schemasByFile } from "../src/generated/schemas.js";
import { validators, describeErrors } from "../src/validate.js";
import type { LineKind } from "../src/validate.js";
import { allScenes } from "./support.js";
import type { SceneRun } from "./support.js";

function kindOf(run: SceneRun): LineKind {
    switch (run.tool) {
        case "callsense":
            return (run.args ?? []).includes("--focus-point") ? "focusPoint" : "report";
        case "roomcode":
            return "roomcode";
        case "noticeplay":
            return "noticeplay";
    }
}

const schemaOf: Record<LineKind, keyof typeof schemasByFile> = {
    report: "callsense-report.schema.json",
    focusPoint: "callsense-focus-point.schema.json",
    roomcode: "roomcode-result.schema.json",
    noticeplay: "noticeplay-response.schema.json",
};

// The order of `properties` in each schema (or in one of its oneOf branches) is the order
// the program prints the keys in; JSON Schema cannot say that, so it is checked here.
function wireOrders(kind: LineKind): string[][] {
    const schema = schemasByFile[schemaOf[kind]] as { properties?: object; oneOf?: { properties: object }[] };
    const branches = schema.oneOf ?? [schema as { properties: object }];
    return branches.map((b) => Object.keys(b.properties));
}

function inWireOrder(kind: LineKind, keys: string[]): boolean {
    return wireOrders(kind).some((order) => {
        const positions = keys.map((k) => order.indexOf(k));
        return positions.every((p, i) => p >= 0 && (i === 0 || p > positions[i - 1]!));
    });
}

function check(kind: LineKind, line: string): { valid: boolean; why: string } {
    let value: unknown;
    try {
        value = JSON.parse(line);
    } catch (e) {
        return { valid: false, why: `not JSON: ${(e as Error).message}` };
    }
    const validate = validators[kind];
    if (!validate(value)) return { valid: false, why: describeErrors(validate.errors) };
    if (!inWireOrder(kind, Object.keys(value as object))) return { valid: false, why: "keys out of order" };
    return { valid: true, why: "" };
}

describe("every line the scenes expect matches its schema", () => {
    for (const scene of allScenes()) {
        const runs = (scene.json.runs ?? []).filter((r) => r.stdout !== "");
        if (runs.length === 0) continue;
        test(scene.file, () => {
            for (const [i, run] of runs.entries()) {
                assert.ok(run.stdout.endsWith("\n") && run.stdout.indexOf("\n") === run.stdout.length - 1,
                    `run ${i}: not one line`);
                const { valid, why } = check(kindOf(run), run.stdout.slice(0, -1));
                assert.ok(valid, `run ${i} (${run.description ?? run.tool}): ${why}`);
            }
        });
    }
});

// Lines a program must never print: each breaks one rule of its record.
const report = {
    inputRunning: true, meetingUiLikely: true, browserFrontmost: false, callLikely: true,
    subtitle: "Zoom", alertTitle: "Zoom Meeting detected", accessibilityTrusted: true,
    confidence: "high", evidence: ["meetingUrlOrTitle", "callControlsPresent", "inputRunning"],
    frontmostOwner: "zoom.us", sessionFamily: "zoom", meetingFingerprint: "zoom:123456789",
};
const untrustedNothing = {
    ...report, meetingUiLikely: false, callLikely: false, subtitle: "Microphone", alertTitle: "Meeting detected",
    accessibilityTrusted: false, confidence: "none", evidence: ["inputRunning"], sessionFamily: "unknown",
    meetingFingerprint: undefined,
};
const untrustedWindow = {
    ...report, accessibilityTrusted: false, confidence: "medium", evidence: ["meetingUrlOrTitle"],
    meetingFingerprint: undefined,
};
const played = { deviceId: "BuiltInSpeakerDevice", deviceName: "MacBook Pro Speakers", ok: true, restoredDefault: true };
const failed = (errorCode: string, errorMessage: string) => ({ errorCode, errorMessage, ok: false });
const line = (o: object) => JSON.stringify(o);

const malformed: [string, LineKind, string][] = [
    ["report: a null fingerprint", "report", line({ ...report, meetingFingerprint: null })],
    ["report: an extra key", "report", line({ ...report, extra: 1 })],
    ["report: a key missing", "report", line({ ...report, frontmostOwner: undefined })],
    ["report: confidence in capitals", "report", line({ ...report, confidence: "High" })],
    ["report: an unknown evidence tag", "report", line({ ...report, evidence: ["microphone"] })],
    ["report: evidence out of order", "report", line({ ...report, evidence: ["inputRunning", "meetingUrlOrTitle"] })],
    ["report: evidence twice", "report", line({ ...report, evidence: ["meetingUrlOrTitle", "meetingUrlOrTitle"] })],
    ["report: an unknown family", "report", line({ ...report, sessionFamily: "skype" })],
    ["report: a boolean as a string", "report", line({ ...report, callLikely: "true" })],
    ["report: an empty owner", "report", line({ ...report, frontmostOwner: "" })],
    ["report: a fingerprint of eight digits", "report", line({ ...report, meetingFingerprint: "zoom:12345678" })],
    ["report: a fingerprint of another product", "report", line({ ...report, meetingFingerprint: "teams:abc" })],
    ["report: a Meet code in capitals", "report", line({ ...report, meetingFingerprint: "meet:ABC-DEFG-HIJ" })],
    ["report: likely with confidence none", "report", line({ ...report, confidence: "none" })],
    ["report: not likely with a confidence", "report",
        line({ ...report, callLikely: false, subtitle: "Microphone", alertTitle: "Meeting detected" })],
    ["report: not likely with a product label", "report", line({ ...report, callLikely: false, confidence: "none" })],
    ["report: the microphone tag with the microphone idle", "report", line({ ...report, inputRunning: false })],
    ["report: a fingerprint without the Accessibility permission", "report",
        line({ ...untrustedWindow, meetingFingerprint: "zoom:123456789" })],
    ["report: untrusted and high", "report", line({ ...untrustedWindow, confidence: "high" })],
    ["report: untrusted, a window, but no call", "report",
        line({ ...untrustedNothing, meetingUiLikely: true })],
    ["report: untrusted, nothing found, a family", "report", line({ ...untrustedNothing, sessionFamily: "zoom" })],
    ["report: untrusted, nothing found, the microphone running but not cited", "report",
        line({ ...untrustedNothing, evidence: [] })],
    ["report: keys out of order", "report",
        line(Object.fromEntries(Object.entries(report).reverse()))],
    ["report: an array instead of an object", "report", "[]"],
    ["report: not JSON", "report", "callLikely=true"],
    ["focus point: no pid", "focusPoint", line({ x: 1, y: 2 })],
    ["focus point: a fractional pid", "focusPoint", line({ x: 1, y: 2, pid: 1.5 })],
    ["focus point: a pid past 32 bits", "focusPoint", line({ x: 1, y: 2, pid: 2147483648 })],
    ["focus point: coordinates as strings", "focusPoint", line({ x: "1", y: 2, pid: 3 })],
    ["focus point: a null bundle id", "focusPoint", line({ x: 1, y: 2, pid: 3, bundleId: null })],
    ["focus point: an extra key", "focusPoint", line({ x: 1, y: 2, pid: 3, width: 4 })],
    ["focus point: keys out of order", "focusPoint", line({ pid: 3, x: 1, y: 2 })],
    ["roomcode: found without an ID", "roomcode", line({ ok: true, code: "meeting_id_found" })],
    ["roomcode: an ID on a failure", "roomcode", line({ ok: false, meetingId: "123456789", code: "no_live_meeting" })],
    ["roomcode: a failure code with ok", "roomcode", line({ ok: true, meetingId: "123456789", code: "no_live_meeting" })],
    ["roomcode: the found code without ok", "roomcode", line({ ok: false, code: "meeting_id_found" })],
    ["roomcode: an unknown code", "roomcode", line({ ok: false, code: "zoom_crashed" })],
    ["roomcode: the case name instead of the code", "roomcode", line({ ok: false, code: "screenSharingActive" })],
    ["roomcode: an ID of eight digits", "roomcode", line({ ok: true, meetingId: "12345678", code: "meeting_id_found" })],
    ["roomcode: an ID of twelve digits", "roomcode",
        line({ ok: true, meetingId: "123456789012", code: "meeting_id_found" })],
    ["roomcode: an ID with spaces", "roomcode", line({ ok: true, meetingId: "123 456 7890", code: "meeting_id_found" })],
    ["roomcode: an ID as a number", "roomcode", line({ ok: true, meetingId: 123456789, code: "meeting_id_found" })],
    ["roomcode: a null ID", "roomcode", line({ ok: false, meetingId: null, code: "no_live_meeting" })],
    ["roomcode: keys out of order", "roomcode", line({ code: "no_live_meeting", ok: false })],
    ["noticeplay: success with an error code", "noticeplay", line({ ...played, errorCode: "USAGE" })],
    ["noticeplay: success without a name", "noticeplay", line({ ...played, deviceName: undefined })],
    ["noticeplay: success without the restore result", "noticeplay", line({ ...played, restoredDefault: undefined })],
    ["noticeplay: failure with a device", "noticeplay", line({ ...failed("SWITCH_FAILED",
        "Could not switch system default output to built-in speakers"), deviceName: "MacBook Pro Speakers" })],
    ["noticeplay: failure with the restore result", "noticeplay",
        line({ ...failed("PLAY_FAILED", "x"), restoredDefault: true })],
    ["noticeplay: failure without a message", "noticeplay", line({ errorCode: "PLAY_FAILED", ok: false })],
    ["noticeplay: an unknown error code", "noticeplay", line(failed("DEVICE_GONE", "Gone"))],
    ["noticeplay: the message of another code", "noticeplay", line(failed("MISSING_FILE", "Playback did not finish"))],
    ["noticeplay: a stall with another message", "noticeplay", line(failed("PLAY_STALLED", "Playback stalled"))],
    ["noticeplay: a usage error with a free message", "noticeplay", line(failed("USAGE", "Bad usage"))],
    ["noticeplay: a missing file without its path", "noticeplay", line(failed("FILE_NOT_FOUND", "Audio file not found: "))],
    ["noticeplay: a null device id", "noticeplay", line({ ...played, deviceId: null })],
    ["noticeplay: keys unsorted", "noticeplay",
        line({ ok: true, deviceName: "MacBook Pro Speakers", restoredDefault: true })],
];

describe("malformed lines are rejected", () => {
    test("each breaks its schema or the key order", () => {
        for (const [name, kind, text] of malformed) {
            assert.equal(check(kind, text).valid, false, name);
        }
    });

    test("the lines they were made from are accepted", () => {
        const good: [LineKind, object][] = [
            ["report", report], ["report", untrustedNothing], ["report", untrustedWindow],
            ["report", { ...untrustedNothing, inputRunning: false, evidence: [] }],
            ["report", { ...report, meetingFingerprint: "meet:abc-defg-hij" }],
            ["report", { ...report, meetingFingerprint: "zoom:١٢٣٤٥٦٧٨٩" }],
            ["focusPoint", { x: -800, y: 199.75, pid: 1414 }],
            ["roomcode", { ok: true, meetingId: "98765432101", code: "meeting_id_found" }],
            ["roomcode", { ok: true, meetingId: "१२३४५६७८९", code: "meeting_id_found" }],
            ["noticeplay", played],
            ["noticeplay", failed("PLAY_STALLED", "Playback did not finish")],
            ["noticeplay", failed("USAGE", "Unknown command: ")],
            ["noticeplay", { ok: false, errorCode: "ENCODE_FAILED" }],
        ];
        for (const [kind, value] of good) {
            const { valid, why } = check(kind, line(value));
            assert.ok(valid, `${line(value)}: ${why}`);
        }
    });
});
