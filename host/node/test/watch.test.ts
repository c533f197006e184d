import assert from "node:assert/strict";
import { readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { describe, test } from "node:test";

import { createHelpers, HelperError } from "../src/index.js";
import type { CallEvent, CallsenseReport } from "../src/index.js";
import { binDir, sceneDir, temporaryDir, writeProgram } from "./support.js";

/**
 * A `callsense` that runs the real one on the next scene of a list at every start, so a
 * watch sees the desktop change from poll to poll. It logs each start and end, which
 * shows whether two runs ever overlapped. "garbage" makes a run print a foreign line.
 */
function desktopSequence(scenes: string[]): { dir: string; log: () => string[] } {
    const dir = temporaryDir("watch");
    writeFileSync(join(dir, "count"), "0\n");
    writeFileSync(join(dir, "scenes"), scenes.map((s) => (s === "garbage" ? s : join(sceneDir, s))).join("\n") + "\n");
    const idle = join(sceneDir, "callsense-microphone-only.json");
    writeProgram(
        dir,
        "callsense",
        `dir="${dir}"
n=$(cat "$dir/count"); echo $((n + 1)) > "$dir/count"
echo "start $n" >> "$dir/log"
scene=$(sed -n "$((n + 1))p" "$dir/scenes")
[ -n "$scene" ] || scene="${idle}"
if [ "$scene" = garbage ]; then echo garbage; rc=0; else DESKTOP_SCENE="$scene" "${join(binDir, "callsense")}" "$@"; rc=$?; fi
echo "end $n" >> "$dir/log"
exit $rc`,
    );
    return { dir, log: () => readFileSync(join(dir, "log"), "utf8").trim().split("\n") };
}

function printed(scene: string): CallsenseReport {
    return JSON.parse(JSON.parse(readFileSync(join(sceneDir, scene), "utf8")).runs[0].stdout);
}

const summary = (e: CallEvent) =>
    e.type === "callChanged"
        ? `${e.type} ${e.previous.sessionFamily}->${e.report.sessionFamily}`
        : `${e.type} ${e.report.sessionFamily} ${e.report.meetingFingerprint ?? "-"}`;

async function watch(scenes: string[], stopAfter: number, hysteresis?: number) {
    const { dir, log } = desktopSequence(scenes);
    const controller = new AbortController();
    const events: string[] = [];
    const helpers = createHelpers({ binDir: dir });
    for await (const event of helpers.watchCalls({
        intervalMs: 0,
        signal: controller.signal,
        ...(hysteresis === undefined ? {} : { hysteresis }),
    })) {
        events.push(summary(event));
        if (events.length === stopAfter) controller.abort();
    }
    return { events, log: log() };
}

describe("watchCalls", () => {
    test("one odd report neither ends nor changes a call; two in a row do", async () => {
        const { events, log } = await watch(
            [
                "callsense-zoom-trusted.json",
                "callsense-microphone-only.json", // one report without a call
                "callsense-zoom-trusted.json",
                "garbage", // a failed run counts as a report without a call
                "callsense-zoom-trusted.json",
                "callsense-zoom-trusted-no-link.json", // no fingerprint: the same meeting
                "callsense-teams.json", // one report of another product
                "callsense-zoom-trusted.json",
                "callsense-teams.json",
                "callsense-teams.json",
                "callsense-microphone-only.json",
                "callsense-microphone-only.json",
            ],
            3,
        );
        assert.deepEqual(events, [
            `callStarted zoom ${printed("callsense-zoom-trusted.json").meetingFingerprint}`,
            "callChanged zoom->teams",
            `callEnded teams ${printed("callsense-teams.json").meetingFingerprint ?? "-"}`,
        ]);
        // Every run ended before the next began.
        log.forEach((entry, i) => assert.equal(entry, `${i % 2 === 0 ? "start" : "end"} ${Math.floor(i / 2)}`));
    });

    test("with a hysteresis of one, every report counts", async () => {
        const { events } = await watch(
            ["callsense-zoom-trusted.json", "callsense-microphone-only.json", "callsense-teams.json",
                "callsense-zoom-trusted.json"],
            4,
            1,
        );
        assert.deepEqual(events.map((e) => e.split(" ")[0]), ["callStarted", "callEnded", "callStarted", "callChanged"]);
    });

    test("a program that cannot be started ends the watch with its error", async () => {
        const helpers = createHelpers({ binDir: temporaryDir("empty") });
        await assert.rejects(
            async () => {
                for await (const _ of helpers.watchCalls({ intervalMs: 0 })) assert.fail("no event expected");
            },
            (e: unknown) => e instanceof HelperError && e.code === "SPAWN_FAILED",
        );
    });
});
