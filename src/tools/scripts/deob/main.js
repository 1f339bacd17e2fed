// Entry point of the carried deobfuscator: vexoDeobfuscate(source, optionsJson) returns
// JSON { code, history: [{ layer, before, after, ms, peeled, note, code }], error? }.
// The host provides vexoSandboxRun(code) (and optionally vexoNow()).
import { deobfuscate } from "./pipeline.js";
import { SandboxStopped } from "./sandbox.js";

globalThis.vexoDeobfuscate = function (source, optionsJson) {
    const options = optionsJson ? JSON.parse(optionsJson) : {};
    if (options.extraLayers) {
        // Extra text layers given as function source (used to check the pipeline's guards).
        options.extraLayers = options.extraLayers.map((l) => ({
            name: l.name, peel: (0, eval)("(" + l.peel + ")"),
        }));
    }
    try {
        return JSON.stringify(deobfuscate(String(source), options));
    } catch (e) {
        if (e instanceof SandboxStopped) return JSON.stringify({ stopped: true, error: String(e.message) });
        return JSON.stringify({ error: String(e && e.message || e) });
    }
};
