// The layer pipeline: every layer is detected, peeled and checked (its output must
// parse), rounds repeat until nothing changes, and each peeled or skipped layer is kept
// in the history with its sizes, time and the code after it. A layer whose code passes
// the size limit (size.js) ends the run.
import { parse, tryParse, generate, generateCompact, treeChanged, treeParsed, setLargeTree, collectGarbage } from "./babel.js";
import { SandboxStopped, SandboxTimeout } from "./sandbox.js";
import { TooLarge, setSizeLimit, utf8Length, excess, tooLarge, megabytes } from "./size.js";
import { carriedLayers, encodingLayers } from "./layers/text.js";
import { evalWrappers } from "./layers/evalWrapper.js";
import { stringArrays } from "./layers/stringArray.js";
import { proxies } from "./layers/proxies.js";
import { objectAssembly } from "./layers/objectKeys.js";
import { foldConstants, deadBranches, splitSequences } from "./layers/simplify.js";
import { controlFlow } from "./layers/controlFlow.js";
import { guards } from "./layers/guards.js";
import { renameIdentifiers } from "./layers/rename.js";
import { handOffs } from "./layers/handOff.js";
import { readableMinified } from "./layers/minified.js";
import { checkStages } from "./behaviour.js";
import { unbundle } from "./unbundle.js";
import { linkModules } from "./link.js";
import { confuserLayers } from "./layers/confuser.js";

const maxRounds = 20;
// From this many characters on, garbage is collected between the walks (babel.js).
const largeTree = 1 << 18;

// The string arrays come first: their decoders must run from the script's own text,
// since some check that text against a pattern of the compact form.
export const astLayers = [...confuserLayers, stringArrays, foldConstants, objectAssembly, proxies, deadBranches, controlFlow,
    splitSequences, guards, handOffs];

function clock() {
    return typeof vexoNow === "function" ? vexoNow() : Date.now();
}

// options: { unpacker: source of the carried unpackers, rename: bool, extraLayers: [...],
// maxBytes: the size limit of the code (UTF-8 bytes), behaviourCheck: bool (default on),
// check: an expression to compare }. Returns { code, history, behaviour } or, when a
// layer's code passed the limit, { history, error }.
export function deobfuscate(source, options) {
    const history = [];
    setSizeLimit(options.maxBytes);
    try {
        const result = peelAll(source, options, history);
        if (options.behaviourCheck !== false || options.check !== undefined)
            rollBackChanges(source, result, options.check);
        keepGuardsUnarmed(result, source);
        // A bundle's modules, each as a file of its own (a bundle that will not come
        // apart loses nothing: the result stays as it is).
        let bundle = null;
        try {
            if (options.modules !== false) bundle = unbundle(result.code);
        } catch (e) {
            if (e instanceof SandboxStopped) throw e;
            bundle = null;
        }
        if (bundle) {
            result.modules = bundle.files;
            if (options.behaviourCheck !== false) linkIntoOneScript(result, bundle.files);
        }
        return result;
    } catch (e) {
        if (!(e instanceof TooLarge)) throw e;
        return { history, error: e.message };
    } finally {
        setLargeTree(false);
    }
}

// A self-check of the code's own text that no layer removed (it loops forever once its
// function spans more than one line): the result stays on one line and is not laid out.
const selfCheck = /\(\(\(\.\+\)\+\)\+\)\+\$|\.toString\(\)\.search\(/;
function keepGuardsUnarmed(result, source) {
    if (!selfCheck.test(result.code)) return;
    const ast = result.code === source ? null : tryParse(result.code);
    if (ast) result.code = generateCompact(ast);
    result.keepLayout = true;
}

// The bundle's modules in one scope without the loader, kept only when the linked script
// does what the bundle did (checked as the layers are); otherwise the loader stays.
function linkIntoOneScript(result, files) {
    const started = clock();
    let linked = null;
    try {
        linked = linkModules(files);
    } catch (e) {
        if (e instanceof SandboxStopped) throw e;
        linked = null;
    }
    if (!linked || linked === result.code) return;
    const checked = checkStages(result.code, [{ code: linked }]);
    const kept = checked.stage < 0 && !checked.note;
    result.history.push({
        layer: "模块合并（去掉加载器）", before: utf8Length(result.code), after: utf8Length(linked),
        ms: Math.round((clock() - started) * 10) / 10, peeled: kept,
        note: kept ? "" : checked.note ? "未能检查合并后的行为，保留加载器" : "合并后行为不同，保留加载器", code: kept ? linked : "",
    });
    if (kept) result.code = linked;
}

// The behaviour check over the stages: the first layer that changed what the script does
// goes, with every layer after it (they worked on its code).
function rollBackChanges(source, result, expr) {
    const stages = result.history.filter((h) => h.peeled);
    const checked = checkStages(source, stages, expr);
    result.behaviour = { note: checked.note, check: checked.check };
    if (checked.stage < 0) return;
    const first = stages[checked.stage];
    result.behaviour.rolledBack = first.layer;
    result.code = checked.stage ? stages[checked.stage - 1].code : source;
    for (let i = checked.stage; i < stages.length; ++i) {
        stages[i].peeled = false;
        stages[i].code = "";
        stages[i].note = i === checked.stage ? "改变了脚本的行为，已回退" : "在回退的一层之后，已回退";
    }
}

function peelAll(source, options, history) {
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
    // The syntax tree of `code`, kept while layers leave it untouched. `fresh`: it is the
    // parse of `code` itself (node positions index the text). Layers that transform the
    // tree hand it on without a parse; the round's end parses the code once, and only
    // when that fails does the round run again with a parse after every layer.
    let tree = null, fresh = false, unchecked = false, careful = false;
    // A tree parsed from `code` (or none): its positions index the text.
    const useParsed = (parsed) => {
        tree = parsed;
        fresh = !!parsed;
        if (parsed) treeParsed();
    };
    const skipFor = (layer, started, e) => {
        tree = null; // the layer may have left the tree half changed
        treeChanged();
        if (e instanceof SandboxStopped) throw e;
        if (e instanceof TooLarge) {
            record(layer, code, code, started, "结果过大，已停止");
            throw e;
        }
        skip(layer, started, e instanceof SandboxTimeout ? "超时，已跳过" : "出错，已跳过：" + (e && e.message || e));
    };
    const accept = (layer, out, started, checked) => {
        record(layer, code, out, started);
        code = out;
        setLargeTree(code.length >= largeTree);
        useParsed(checked);
    };
    // Ends the run when a layer's code passes the limit (checked before it is parsed).
    const checkSize = (layer, out, started) => {
        const bytes = excess(out);
        if (!bytes) return;
        tree = null;
        record(layer, code, out, started, "结果过大（" + megabytes(bytes) + " MB），已停止");
        throw tooLarge(layer.name, bytes);
    };
    // Parses a layer's code; the tree of the code before it goes first, so that the
    // two are never held at once.
    const parseOut = (out) => {
        tree = null;
        collectGarbage();
        return tryParse(out);
    };
    // A text layer; true when it peeled something.
    const attempt = (layer, peel) => {
        const started = clock();
        let out;
        try {
            out = peel(code);
        } catch (e) {
            skipFor(layer, started, e);
            return false;
        }
        if (typeof out !== "string" || out === code) return false;
        checkSize(layer, out, started);
        const checked = parseOut(out);
        if (!checked) {
            skip(layer, started, "结果不是有效的脚本，已丢弃");
            return false;
        }
        accept(layer, out, started, checked);
        return true;
    };
    // A layer that transforms the syntax tree.
    const attemptTree = (layer) => {
        const started = clock();
        if (!tree) useParsed(parse(code));
        let changed;
        try {
            // The text always prints this tree; only a fresh tree's positions index it.
            if (layer.detect && !layer.detect(code)) return false;
            changed = layer.run(tree, fresh ? code : null);
        } catch (e) {
            if (layer.remark) layer.remark();
            skipFor(layer, started, e);
            return false;
        }
        // What a layer left undone, in its own words (the history shows it).
        const remark = layer.remark ? layer.remark() : "";
        if (!changed) {
            if (remark) skip(layer, started, remark);
            return false;
        }
        treeChanged();
        const out = generate(tree);
        fresh = false;
        if (out === code) return false;
        checkSize(layer, out, started);
        if (careful || layer.reparse) {
            const checked = parseOut(out);
            if (!checked) {
                tree = null;
                skip(layer, started, "结果不是有效的脚本，已丢弃");
                return false;
            }
            accept(layer, out, started, checked);
        } else {
            const transformed = tree;
            accept(layer, out, started, null);
            tree = transformed; // goes on to the next layer as it is
            unchecked = true;
        }
        if (remark) history[history.length - 1].note = remark;
        return true;
    };

    setLargeTree(code.length >= largeTree);
    useParsed(tryParse(code));
    if (!tree) {
        // Not a script as it stands: only the text layers may make one of it.
        for (const layer of textLayers.concat(extra)) {
            if (layer.detect && !layer.detect(code)) continue;
            if (attempt(layer, layer.peel)) break;
        }
        // Nothing to peel: the text goes on as it is, as it always has.
        if (!tree) return { code: source, history };
    }

    for (let round = 0; round < maxRounds; ++round) {
        let changed = false;
        for (const layer of textLayers.concat(extra)) {
            if (layer.detect && !layer.detect(code)) continue;
            if (attempt(layer, layer.peel)) { changed = true; break; }
        }
        if (changed) continue;
        const startCode = code, startHistory = history.length;
        for (const layer of [evalWrappers, ...astLayers]) {
            // attemptTree keeps the transformed tree for the next layer.
            if (attemptTree(layer)) changed = true;
            collectGarbage();
        }
        if (unchecked) {
            unchecked = false;
            const checked = parseOut(code);
            if (checked) {
                useParsed(checked);
            } else {
                // Some layer made invalid code: run the round again, checking each layer.
                code = startCode;
                history.length = startHistory;
                tree = null;
                careful = true;
                --round;
                continue;
            }
        }
        if (!changed) break;
    }
    // Minified code written back as people write it, once the layers are peeled.
    if (options.readable !== false) {
        careful = true;
        attemptTree(readableMinified);
    }
    if (options.rename !== false) {
        careful = true;
        attemptTree(renameIdentifiers);
    }
    return { code, history };
}
