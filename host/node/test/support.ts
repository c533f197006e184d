import { existsSync, readFileSync, readdirSync } from "node:fs";
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
