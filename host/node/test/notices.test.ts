import assert from "node:assert/strict";
import { join } from "node:path";
import { describe, test } from "node:test";

import { createHelpers, HelperError } from "../src/index.js";
import { binDir, journalReaches, readJournal, sceneEnv, temporaryDir, writeScene } from "./support.js";
import type { JournalEvent } from "./support.js";

// The desk of the signal scene: AirPods (42) are the user's output, the speakers are 41.
const dir = temporaryDir("notices");
const notice = "/virtual/notice.wav";
function desk(name: string, seconds: number): { env: NodeJS.ProcessEnv; journal: string } {
    const scene = writeScene(dir, "noticeplay-signals.json", (json) => {
        json["files"] = { [notice]: { duration: seconds } };
    });
    const journal = join(dir, `${name}.journal`);
    return { env: sceneEnv(scene, journal), journal };
}

const switches = (events: JournalEvent[]) =>
    events.filter((e) => e.event === "setDefaultOutput").map((e) => `${e["before"]}->${e["after"]}`);

describe("one notice at a time", () => {
    test("two overlapping notices play one after the other, each restoring the user's output", async () => {
        const { env, journal } = desk("overlap", 0.3);
        const helpers = createHelpers({ binDir, env });
        const [first, second] = await Promise.all([helpers.playNotice(notice), helpers.playNotice(notice)]);
        assert.equal(first.ok, true);
        assert.equal(second.ok, true);
        const events = readJournal(journal);
        // Played side by side, the second would switch 41->41 and record the speakers as
        // the user's output; in turn, each one finds the AirPods and puts them back.
        assert.deepEqual(switches(events), ["42->41", "41->42", "42->41", "41->42"]);
        assert.deepEqual(
            events.map((e) => e.event).filter((e) => e === "play" || e === "setDefaultOutput"),
            ["setDefaultOutput", "play", "setDefaultOutput", "setDefaultOutput", "play", "setDefaultOutput"],
        );
    });

    test("a waiting notice that is aborted never plays, and the next still waits its turn", async () => {
        const { env, journal } = desk("queue", 0.6);
        const helpers = createHelpers({ binDir, env });
        const controller = new AbortController();
        const first = helpers.playNotice(notice);
        const abandoned = helpers.playNotice(notice, { signal: controller.signal });
        const third = helpers.playNotice(notice);
        await journalReaches(journal, "play");
        controller.abort();
        await assert.rejects(abandoned, (e: unknown) => e instanceof HelperError && e.code === "ABORTED");
        assert.equal((await first).ok, true);
        assert.equal((await third).ok, true);
        assert.deepEqual(switches(readJournal(journal)), ["42->41", "41->42", "42->41", "41->42"]);
    });

    test("a notice aborted mid-play puts the output back and exits by its handler", async () => {
        const { env, journal } = desk("abort", 5);
        const helpers = createHelpers({ binDir, env });
        const controller = new AbortController();
        const playing = helpers.playNotice(notice, { signal: controller.signal });
        await journalReaches(journal, "play");
        controller.abort();
        await assert.rejects(playing, (e: unknown) => {
            assert.ok(e instanceof HelperError);
            assert.equal(e.code, "ABORTED");
            // SIGTERM was enough: noticeplay restored and exited 143, no SIGKILL.
            assert.equal(e.exitCode, 143);
            assert.equal(e.stdout, "");
            return true;
        });
        const events = readJournal(journal);
        assert.deepEqual(switches(events), ["42->41", "41->42"]);
        assert.deepEqual(
            events.filter((e) => e.event === "setVolume").map((e) => e["after"]),
            [0.85, 0.25],
        );
    });

    test("a SIGINT from outside is an interruption, after the same restore", async () => {
        const { env, journal } = desk("interrupt", 5);
        let pid = 0;
        const helpers = createHelpers({ binDir, env, onSpawn: (_p, p) => (pid = p) });
        const playing = helpers.playNotice(notice);
        await journalReaches(journal, "play");
        process.kill(pid, "SIGINT");
        await assert.rejects(playing, (e: unknown) => e instanceof HelperError && e.code === "INTERRUPTED" && e.exitCode === 130);
        assert.deepEqual(switches(readJournal(journal)), ["42->41", "41->42"]);
    });
});
