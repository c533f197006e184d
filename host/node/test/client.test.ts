import assert from "node:assert/strict";
import { join } from "node:path";
import { describe, test } from "node:test";

import { createHelpers, HelperError } from "../src/index.js";
import type { HelperErrorCode, Helpers } from "../src/index.js";
import {
    allScenes,
    binDir,
    readJournal,
    journalReaches,
    sceneDir,
    sceneEnv,
    temporaryDir,
    writeProgram,
    writeScene,
} from "./support.js";
import type { SceneRun } from "./support.js";

// Scenes name their audio files relative to their own folder.
process.chdir(sceneDir);

async function rejection(promise: Promise<unknown>): Promise<HelperError> {
    try {
        await promise;
    } catch (error) {
        assert.ok(error instanceof HelperError, `not a HelperError: ${String(error)}`);
        return error;
    }
    assert.fail("resolved where it should have failed");
}

/** The client call that starts exactly the command line of a scene's run, if there is one. */
function callFor(run: SceneRun): ((h: Helpers) => Promise<unknown>) | undefined {
    const args = run.args ?? [];
    if (run.signal !== undefined) return undefined;
    if (run.tool === "callsense" && args.length === 0) return (h) => h.detectCall();
    if (run.tool === "callsense" && args.length === 1 && args[0] === "--focus-point") return (h) => h.focusPoint();
    if (run.tool === "roomcode" && args.length === 0) return (h) => h.readMeetingId();
    if (run.tool === "noticeplay" && args.length === 3 && args[0] === "play-speakers" && args[1] === "--file") {
        const path = args[2]!;
        return (h) => h.playNotice(path);
    }
    return undefined;
}

describe("on every scene, the client gives what the program printed", () => {
    for (const scene of allScenes()) {
        const runs = (scene.json.runs ?? []).filter((r) => callFor(r) !== undefined);
        if (runs.length === 0) continue;
        test(scene.file, async () => {
            const helpers = createHelpers({ binDir, env: sceneEnv(scene.path) });
            for (const run of runs) {
                const outcome = callFor(run)!(helpers);
                const status = run.exitStatus ?? 0;
                const where = `${scene.file}: ${run.tool} ${(run.args ?? []).join(" ")}`;
                if (run.stdout === "" && run.tool === "callsense") {
                    assert.equal(await outcome, null, where);
                } else if (run.tool === "callsense" && status === 1) {
                    const error = await rejection(outcome);
                    assert.equal(error.code, "ENCODE_FAILED", where);
                    assert.deepEqual(error.fallbackReport, JSON.parse(run.stdout), where);
                } else {
                    const value = await outcome;
                    const expected = JSON.parse(run.stdout) as object;
                    assert.deepEqual(value, expected, where);
                    // Same keys in the same order as printed, nothing added or left out.
                    assert.deepEqual(Object.keys(value as object), Object.keys(expected), where);
                }
            }
        });
    }
});

describe("outcomes that are not an answer are typed errors", () => {
    test("a missing program", async () => {
        const helpers = createHelpers({ binDir: temporaryDir("no-programs") });
        for (const call of [helpers.detectCall(), helpers.readMeetingId(), helpers.playNotice("/tmp/n.wav")]) {
            const error = await rejection(call);
            assert.equal(error.code, "SPAWN_FAILED");
        }
    });

    // Stand-in programs that print what a broken or foreign binary might.
    const cases: [string, "callsense" | "roomcode" | "noticeplay", string, HelperErrorCode][] = [
        ["text that is not JSON", "callsense", "echo 'callLikely=true'", "MALFORMED_OUTPUT"],
        ["two lines", "roomcode", `printf '{"ok":false,"code":"no_live_meeting"}\\n{"ok":false,"code":"no_live_meeting"}\\n'`, "MALFORMED_OUTPUT"],
        ["a line without its line feed", "roomcode", `printf '{"ok":false,"code":"no_live_meeting"}'`, "MALFORMED_OUTPUT"],
        ["a line that breaks the schema", "roomcode", `printf '{"ok":true,"code":"meeting_id_found"}\\n'`, "MALFORMED_OUTPUT"],
        ["bytes that are not UTF-8", "roomcode", `printf '{"ok":false,"code":"\\377"}\\n'`, "MALFORMED_OUTPUT"],
        ["nothing on status 0", "callsense", "exit 0", "MALFORMED_OUTPUT"],
        ["success with a failure status", "noticeplay",
            `printf '{"deviceName":"Speakers","ok":true,"restoredDefault":true}\\n'; exit 1`, "MALFORMED_OUTPUT"],
        ["a status the program never uses", "roomcode", "exit 2", "UNEXPECTED_EXIT"],
        ["roomcode's status 3", "roomcode", "echo encode_failed >&2; exit 3", "ENCODE_FAILED"],
        ["callsense's status 1 without a fallback line", "callsense", "exit 1", "ENCODE_FAILED"],
        ["noticeplay's own SIGTERM exit", "noticeplay", "exit 143", "INTERRUPTED"],
        ["a crash", "callsense", "kill -SEGV $$", "KILLED"],
    ];
    test("broken programs", async () => {
        for (const [name, program, body, code] of cases) {
            const dir = temporaryDir("broken");
            writeProgram(dir, program, body);
            const helpers = createHelpers({ binDir: dir });
            const call =
                program === "callsense"
                    ? helpers.detectCall()
                    : program === "roomcode"
                      ? helpers.readMeetingId()
                      : helpers.playNotice("/tmp/n.wav");
            const error = await rejection(call);
            assert.equal(error.code, code, `${name}: ${error.message}`);
        }
    });

    test("runaway output stops the program", async () => {
        const dir = temporaryDir("runaway");
        writeProgram(dir, "callsense", "exec yes");
        const error = await rejection(createHelpers({ binDir: dir, maxOutputBytes: 4096 }).detectCall());
        assert.equal(error.code, "MALFORMED_OUTPUT");
        assert.equal(error.signal, "SIGTERM");
    });
});

describe("time limits and signals", () => {
    const dir = temporaryDir("clock");
    const realClock = (file: string) =>
        writeScene(dir, file, (scene) => {
            scene["clock"] = "real";
        });

    test("a hung application: callsense is stopped at its time limit", async () => {
        // Every request waits out the 6 s messaging time-out in real time.
        const helpers = createHelpers({ binDir, env: sceneEnv(realClock("hostile-hung-client.json")) });
        const started = Date.now();
        const error = await rejection(helpers.detectCall({ timeoutMs: 300 }));
        assert.equal(error.code, "TIMEOUT");
        assert.equal(error.signal, "SIGTERM");
        assert.ok(Date.now() - started < 3000, "stopped long before the hang would end");
    });

    test("a hung Zoom client: roomcode is stopped at its time limit", async () => {
        // Listing windows and then hanging costs roomcode 2 s of real time. Stopped with
        // SIGTERM it dies by the signal, or exits 143 where it handles it: the same time-out.
        const helpers = createHelpers({ binDir, env: sceneEnv(realClock("hostile-hung-after-window-list.json")) });
        const error = await rejection(helpers.readMeetingId({ timeoutMs: 300 }));
        assert.equal(error.code, "TIMEOUT");
        assert.ok(error.signal === "SIGTERM" || error.exitCode === 143, error.message);
    });

    test("roomcode aborted while its popover is open", async () => {
        const journal = join(dir, "popover.journal");
        const helpers = createHelpers({ binDir, env: sceneEnv(realClock("roomcode-info-popover.json"), journal) });
        const controller = new AbortController();
        const reading = helpers.readMeetingId({ signal: controller.signal });
        await journalReaches(journal, "perform");
        controller.abort();
        const error = await rejection(reading);
        assert.equal(error.code, "ABORTED");
        assert.equal(error.name, "AbortError");
        const presses = readJournal(journal).filter((e) => e.event === "perform");
        // Where roomcode handles SIGTERM it closes what it opened before it exits.
        if (error.exitCode === 143) assert.equal(presses.length % 2, 0, JSON.stringify(presses));
    });

    test("a program that ignores SIGTERM is killed after the grace period", async () => {
        const bin = temporaryDir("stubborn");
        writeProgram(bin, "roomcode", "trap '' TERM\nexec sleep 30");
        const helpers = createHelpers({ binDir: bin, timeouts: { roomcodeMs: 200, graceMs: 300 } });
        const started = Date.now();
        const error = await rejection(helpers.readMeetingId());
        assert.equal(error.code, "TIMEOUT");
        assert.equal(error.signal, "SIGKILL");
        assert.ok(Date.now() - started >= 500, "SIGKILL came before the grace period ended");
        assert.ok(Date.now() - started < 5000);
    });

    test("a helper killed from outside", async () => {
        const helpers = createHelpers({
            binDir,
            env: sceneEnv(realClock("hostile-hung-client.json")),
            onSpawn: (_program, pid) => setTimeout(() => process.kill(pid, "SIGKILL"), 100),
        });
        const error = await rejection(helpers.detectCall());
        assert.equal(error.code, "KILLED");
        assert.equal(error.signal, "SIGKILL");
    });

    test("an abort before the start starts nothing", async () => {
        let started = 0;
        const helpers = createHelpers({ binDir, onSpawn: () => (started += 1) });
        const error = await rejection(helpers.detectCall({ signal: AbortSignal.abort() }));
        assert.equal(error.code, "ABORTED");
        assert.equal(started, 0);
    });
});
