// The syntax-tree toolkit: parser, traversal with scope analysis, types and printer.
import { parse as babelParse } from "@babel/parser";
import traverseModule from "@babel/traverse";
import generateModule from "@babel/generator";
import * as t from "@babel/types";

export const traverse = traverseModule.default || traverseModule;
const generator = generateModule.default || generateModule;
export { t };

const parseOptions = {
    sourceType: "unambiguous",
    allowReturnOutsideFunction: true,
    allowAwaitOutsideFunction: true,
    allowSuperOutsideMethod: true,
    allowUndeclaredExports: true,
    plugins: ["regexpUnicodeSets"],
};

export function parse(code) {
    return babelParse(code, parseOptions);
}

// Null when the text is not a valid script.
export function tryParse(code) {
    try {
        return parse(code);
    } catch (e) {
        return null;
    }
}

// Scope data is costly to build (a walk over the whole tree), so it is kept from one
// layer to the next until a layer changes the tree; layers that need exact bindings ask
// for it through freshScopes() instead of clearing the traversal cache themselves.
let scopesStale = true;
export function treeChanged() {
    scopesStale = true;
}
// A tree just parsed has no scope data yet: what is built for it is exact.
export function treeParsed() {
    scopesStale = false;
}
export function freshScopes() {
    if (!scopesStale) return;
    traverse.cache.clear();
    scopesStale = false;
    collectGarbage();
}

// The paths and scope data of a whole tree weigh about twice the tree. JavaScriptCore
// lets its heap grow to a multiple of what is live before it collects, so on a large
// script the garbage of one walk is collected before the next walk (or parse) builds its
// own; on small ones a collection costs more than it saves.
let collectBetweenWalks = false;
export function setLargeTree(large) {
    collectBetweenWalks = large;
}
export function collectGarbage() {
    if (collectBetweenWalks && typeof vexoCollectGarbage === "function") vexoCollectGarbage();
}

export function generate(ast) {
    // minimal: non-ASCII text (Chinese strings) stays as it is instead of \u escapes.
    return generator(ast, { comments: true, jsescOption: { minimal: true } }).code;
}

export function generateNode(node) {
    return generator(node, { comments: false, jsescOption: { minimal: true } }).code;
}

// One line, as compact as the printer makes it (for code that must not be laid out).
export function generateCompact(ast) {
    return generator(ast, { comments: false, compact: true, jsescOption: { minimal: true } }).code;
}
