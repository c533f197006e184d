import { chmodSync, existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";

function findRepositoryRoot(): string {
    let dir = dirname(fileURLToPath(import.meta.url));
    while (!existsSync(join(dir, "schemas", "callsense-report.schema.json"))) {
        const parent = dirname(dir);
        if (parent === dir) throw new Error("the repository root (with schemas/) is not above the tests");
        dir = parent;
    }
    return dir;
}

export const repositoryRoot = findRepositoryRoot();
export const sceneDir = join(repositoryRoot, "native", "macos", "recorder", "Scenes");
/** The simulated-desktop programs; HELPERS_BIN_DIR points elsewhere, e.g. at a sanitizer build. */
export const binDir = resolve(process.env["HELPERS_BIN_DIR"] ?? join(repositoryRoot, "build", "bin"));

export interface SceneRun {
    tool: "callsense" | "roomcode" | "noticeplay";
    args?: string[];
    stdout: string;
    exitStatus?: number;
    signal?: unknown;
    description?: string;
}

export interface Scene {
    file: string;
    path: string;
    json: Record<string, unknown> & { runs?: SceneRun[] };
}

export function loadScene(file: string): Scene {
    const path = join(sceneDir, file);
    return { file, path, json: JSON.parse(readFileSync(path, "utf8")) };
}

export function allScenes(): Scene[] {
    return readdirSync(sceneDir)
        .filter((f) => f.endsWith(".json"))
        .sort()
        .map(loadScene);
}

/** A fresh folder under the system's temporary folder, removed when the test process ends. */
export function temporaryDir(name: string): string {
    const dir = mkdtempSync(join(tmpdir(), `${name}-`));
    process.once("exit", () => rmSync(dir, { recursive: true, force: true }));
    return dir;
}

/**
 * Writes a copy of a scene, changed by `edit`, and returns its path. Real-clock copies of
 * the hostile scenes make their hangs take real time, which is what a time-out needs.
 */
export function writeScene(dir: string, file: string, edit: (json: Record<string, unknown>) => void): string {
    const json = structuredClone(loadScene(file).json);
    delete json.runs;
    edit(json);
    const path = join(dir, `edited-${file}`);
    writeFileSync(path, JSON.stringify(json));
    return path;
}

/** The environment that points the simulated desktop at a scene and a journal. */
export function sceneEnv(scenePath: string, journalPath?: string): NodeJS.ProcessEnv {
    const env: NodeJS.ProcessEnv = { ...process.env, DESKTOP_SCENE: scenePath };
    delete env["DESKTOP_JOURNAL"];
    if (journalPath) env["DESKTOP_JOURNAL"] = journalPath;
    return env;
}

export type JournalEvent = { event: string } & Record<string, unknown>;

export function readJournal(path: string): JournalEvent[] {
    if (!existsSync(path)) return [];
    return readFileSync(path, "utf8")
        .split("\n")
        .filter((l) => l !== "")
        .map((l) => JSON.parse(l) as JournalEvent);
}

/** Resolves once the journal holds an event of this name (the program is past that point). */
export async function journalReaches(path: string, event: string, timeoutMs = 10_000): Promise<void> {
    const until = Date.now() + timeoutMs;
    while (!readJournal(path).some((e) => e.event === event)) {
        if (Date.now() > until) throw new Error(`the journal never showed ${event}`);
        await new Promise((r) => setTimeout(r, 10));
    }
}

/** Writes an executable shell script (a stand-in for a program) into `dir`. */
export function writeProgram(dir: string, name: string, body: string): void {
    const path = join(dir, name);
    writeFileSync(path, `#!/bin/sh\n${body}\n`);
    chmodSync(path, 0o755);
}
