// The layer pipeline: every layer is detected, peeled and checked (its output must
// parse), rounds repeat until nothing changes, and each peeled or skipped layer is kept
// in the history with its sizes, time and the code after it.
import { parse, tryParse, generate } from "./babel.js";
import { SandboxStopped, SandboxTimeout } from "./sandbox.js";
import { carriedLayers, encodingLayers } from "./layers/text.js";
import { evalWrappers } from "./layers/evalWrapper.js";
import { stringArrays } from "./layers/stringArray.js";
import { proxies } from "./layers/proxies.js";
import { foldConstants, deadBranches, splitSequences } from "./layers/simplify.js";
import { controlFlow } from "./layers/controlFlow.js";
import { guards } from "./layers/guards.js";
import { renameIdentifiers } from "./layers/rename.js";

const maxRounds = 20;

function utf8Length(s) {
    let n = 0;
    for (let i = 0; i < s.length; ++i) {
        const c = s.charCodeAt(i);
        if (c < 0x80) n += 1;
        else if (c < 0x800) n += 2;
        else if (c >= 0xd800 && c < 0xdc00 && i + 1 < s.length) { n += 4; ++i; }
        else n += 3;
    }
    return n;
}

// The string arrays come first: their decoders must run from the script's own text,
// since some check that text against a pattern of the compact form.
export const astLayers = [stringArrays, foldConstants, proxies, deadBranches, controlFlow,
    splitSequences, guards];

function clock() {
    return typeof vexoNow === "function" ? vexoNow() : Date.now();
}

// options: { unpacker: source of the carried unpackers, rename: bool, extraLayers: [...] }
export function deobfuscate(source, options) {
    const history = [];
    const textLayers = carriedLayers(options.unpacker || "").concat(encodingLayers);
    const extra = options.extraLayers || [];
    let code = source;
    const failed = new Set();

    const record = (layer, before, after, started, note) => {
        history.push({
            layer: layer.name, before: utf8Length(before), after: utf8Length(after),
            ms: Math.round((clock() - started) * 10) / 10,
            peeled: note === undefined, note: note || "", code: note === undefined ? after : "",
        });
    };
    const skip = (layer, started, note) => {
        if (failed.has(layer.name + note)) return;
        failed.add(layer.name + note);
        record(layer, code, code, started, note);
    };
    // The syntax tree of `code`, kept while layers leave it untouched; the parse check of
    // one layer's output is the tree the next layer works on.
    let tree = null;
    // Runs one layer; true when it peeled something. A thrown error or a time-out skips
    // the layer; the user's stop ends the whole run.
    const attempt = (layer, peel) => {
        const started = clock();
        let out;
        try {
            out = peel(code);
        } catch (e) {
            tree = null; // the layer may have left the tree half changed
            if (e instanceof SandboxStopped) throw e;
            skip(layer, started, e instanceof SandboxTimeout ? "超时，已跳过" : "出错，已跳过：" + (e && e.message || e));
            return false;
        }
        if (typeof out !== "string" || out === code) return false;
        const checked = tryParse(out);
        tree = null;
        if (!checked) {
            skip(layer, started, "结果不是有效的脚本，已丢弃");
            return false;
        }
        record(layer, code, out, started);
        code = out;
        tree = checked;
        return true;
    };
    const astPeel = (layer) => (text) => {
        const ast = tree || parse(text);
        tree = ast;
        return layer.run(ast, text) ? generate(ast) : null;
    };

    if (!tryParse(code)) {
        // Not a script as it stands: only the text layers may make one of it.
        for (const layer of textLayers.concat(extra)) {
            if (layer.detect && !layer.detect(code)) continue;
            if (attempt(layer, layer.peel)) break;
        }
        // Nothing to peel: the text goes on as it is, as it always has.
        if (!tryParse(code)) return { code: source, history };
    }

    for (let round = 0; round < maxRounds; ++round) {
        let changed = false;
        for (const layer of textLayers.concat(extra)) {
            if (layer.detect && !layer.detect(code)) continue;
            if (attempt(layer, layer.peel)) { changed = true; break; }
        }
        if (changed) continue;
        for (const layer of [evalWrappers, ...astLayers])
            if (attempt(layer, astPeel(layer))) changed = true;
        if (!changed) break;
    }
    if (options.rename !== false) attempt(renameIdentifiers, astPeel(renameIdentifiers));
    return { code, history };
}
