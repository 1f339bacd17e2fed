// A small document: nodes with parents and children, elements with attributes, style,
// class lists and event listeners, innerHTML kept as text, simple selectors, and the
// elements page scripts reach for (canvas, script, img, a, iframe, input).
import { accessor, constants, create, defineInterface, getters, hasSlot, methods, setSlot, slot } from "./native.js";
import { EventTarget } from "./events.js";
import { domError } from "./text.js";
import { canvasContext, canvasDataURL } from "./canvas.js";

export const Node = defineInterface("Node", EventTarget);
constants(Node, {
    ELEMENT_NODE: 1, ATTRIBUTE_NODE: 2, TEXT_NODE: 3, CDATA_SECTION_NODE: 4, PROCESSING_INSTRUCTION_NODE: 7,
    COMMENT_NODE: 8, DOCUMENT_NODE: 9, DOCUMENT_TYPE_NODE: 10, DOCUMENT_FRAGMENT_NODE: 11,
    DOCUMENT_POSITION_DISCONNECTED: 1, DOCUMENT_POSITION_PRECEDING: 2, DOCUMENT_POSITION_FOLLOWING: 4,
    DOCUMENT_POSITION_CONTAINS: 8, DOCUMENT_POSITION_CONTAINED_BY: 16,
});
export const NodeList = defineInterface("NodeList", null);
export const HTMLCollection = defineInterface("HTMLCollection", null);

function listOf(ctor, nodes) {
    const list = create(ctor, { nodes });
    nodes.forEach((n, i) => Object.defineProperty(list, i, { value: n, enumerable: true, configurable: true }));
    return list;
}
getters(NodeList.prototype, { length: (s) => s.nodes.length });
methods(NodeList.prototype, {
    item(i) { return slot(this).nodes[i >>> 0] || null; },
    forEach(f, thisArg) { slot(this).nodes.forEach((n, i) => f.call(thisArg, n, i, this)); },
    entries() { return slot(this).nodes.entries(); },
    keys() { return slot(this).nodes.keys(); },
    values() { return slot(this).nodes.values(); },
});
Object.defineProperty(NodeList.prototype, Symbol.iterator, { value: NodeList.prototype.values, writable: true, configurable: true });
getters(HTMLCollection.prototype, { length: (s) => s.nodes.length });
methods(HTMLCollection.prototype, {
    item(i) { return slot(this).nodes[i >>> 0] || null; },
    namedItem(name) { return slot(this).nodes.find((n) => attr(n, "id") === name || attr(n, "name") === name) || null; },
});
Object.defineProperty(HTMLCollection.prototype, Symbol.iterator, { value: Array.prototype.values, writable: true, configurable: true });

function attr(node, name) {
    const s = slot(node);
    return s.attributes && s.attributes.has(name) ? s.attributes.get(name) : null;
}

function descendants(node, out) {
    for (const c of slot(node).children) {
        if (slot(c).type === 1) out.push(c);
        descendants(c, out);
    }
    return out;
}

function textOf(node) {
    const s = slot(node);
    if (s.type === 3 || s.type === 8) return s.data;
    if (s.html !== null && s.html !== undefined) return s.html.replace(/<[^>]*>/g, "");
    return s.children.map(textOf).join("");
}

function detach(node) {
    const s = slot(node);
    if (s.parent) {
        const siblings = slot(s.parent).children;
        const i = siblings.indexOf(node);
        if (i >= 0) siblings.splice(i, 1);
        s.parent = null;
    }
}

let onInsert = null; // told of every element put into the document (script and img loads)
export function watchInsertions(f) {
    onInsert = f;
}

function insert(parent, node, before) {
    if (!hasSlot(node) || !(node instanceof Node))
        throw new TypeError("Failed to execute 'appendChild' on 'Node': parameter 1 is not of type 'Node'.");
    let p = parent;
    while (p) {
        if (p === node) throw domError("Failed to execute 'appendChild' on 'Node': The new child element contains the parent.", "HierarchyRequestError");
        p = slot(p).parent;
    }
    const ns = slot(node);
    if (ns.type === 11) {
        for (const c of ns.children.slice()) insert(parent, c, before);
        return node;
    }
    detach(node);
    const ps = slot(parent);
    ps.html = null;
    const i = before ? ps.children.indexOf(before) : -1;
    if (before && i < 0) throw domError("Failed to execute 'insertBefore' on 'Node': The node before which the new node is to be inserted is not a child of this node.", "NotFoundError");
    if (i < 0) ps.children.push(node);
    else ps.children.splice(i, 0, node);
    ns.parent = parent;
    if (onInsert && connected(parent)) onInsert(node);
    return node;
}

function connected(node) {
    let n = node;
    while (n) {
        if (slot(n).type === 9) return true;
        n = slot(n).parent;
    }
    return false;
}

getters(Node.prototype, {
    nodeType: (s) => s.type,
    nodeName: (s) => s.name,
    parentNode: (s) => s.parent,
    parentElement: (s) => (s.parent && slot(s.parent).type === 1 ? s.parent : null),
    childNodes: (s) => listOf(NodeList, s.children.slice()),
    firstChild: (s) => s.children[0] || null,
    lastChild: (s) => s.children[s.children.length - 1] || null,
    previousSibling: (s, self) => sibling(s, self, -1),
    nextSibling: (s, self) => sibling(s, self, 1),
    ownerDocument: (s) => (s.type === 9 ? null : s.doc),
    isConnected: (s, self) => connected(self),
    baseURI: (s) => (s.doc ? s.doc.URL : ""),
});
function sibling(s, self, step) {
    if (!s.parent) return null;
    const list = slot(s.parent).children;
    return list[list.indexOf(self) + step] || null;
}
accessor(Node.prototype, "textContent", function () {
    const s = slot(this);
    return s.type === 9 ? null : textOf(this);
}, function (value) {
    const s = slot(this);
    if (s.type === 3 || s.type === 8) {
        s.data = String(value);
        return;
    }
    s.children.forEach((c) => (slot(c).parent = null));
    s.children = [];
    s.html = null;
    if (value !== null && value !== "") insert(this, s.doc.createTextNode(String(value)));
});
accessor(Node.prototype, "nodeValue", function () {
    const s = slot(this);
    return s.type === 3 || s.type === 8 ? s.data : null;
}, function (value) {
    const s = slot(this);
    if (s.type === 3 || s.type === 8) s.data = String(value);
});
methods(Node.prototype, {
    appendChild(node) { return insert(this, node, null); },
    insertBefore(node, before) { return insert(this, node, before || null); },
    removeChild(node) {
        if (!hasSlot(node) || slot(node).parent !== this) throw domError("Failed to execute 'removeChild' on 'Node': The node to be removed is not a child of this node.", "NotFoundError");
        detach(node);
        return node;
    },
    replaceChild(node, old) {
        insert(this, node, old);
        detach(old);
        return old;
    },
    hasChildNodes() { return slot(this).children.length > 0; },
    contains(other) {
        let n = other;
        while (n) {
            if (n === this) return true;
            n = hasSlot(n) ? slot(n).parent : null;
        }
        return false;
    },
    cloneNode(deep) { return cloneNode(this, !!deep); },
    isSameNode(other) { return other === this; },
    isEqualNode(other) { return other === this; },
    compareDocumentPosition(other) { return other === this ? 0 : this.contains(other) ? 20 : 10; },
    getRootNode() {
        let n = this;
        while (slot(n).parent) n = slot(n).parent;
        return n;
    },
    normalize() {},
});

function cloneNode(node, deep) {
    const s = slot(node);
    const copy = Object.create(Object.getPrototypeOf(node));
    const t = Object.assign({}, s, { parent: null, children: [] });
    if (s.attributes) t.attributes = new Map(s.attributes);
    if (s.style) t.style = makeStyle();
    if (s.style) slot(t.style).props = new Map(slot(s.style).props);
    setSlot(copy, t);
    if (deep) for (const c of s.children) insert(copy, cloneNode(c, true));
    return copy;
}

export const CharacterData = defineInterface("CharacterData", Node);
getters(CharacterData.prototype, { data: (s) => s.data, length: (s) => s.data.length });
export const Text = defineInterface("Text", CharacterData);
export const Comment = defineInterface("Comment", CharacterData);
export const DocumentFragment = defineInterface("DocumentFragment", Node);

// Inline style: camelCase properties and setProperty/getPropertyValue on one map.
export const CSSStyleDeclaration = defineInterface("CSSStyleDeclaration", null);
function kebab(name) {
    return name.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase()).replace(/^(webkit|moz|ms)-/, "-$1-");
}
function cssText(props) {
    return Array.from(props).map(([k, v]) => k + ": " + v + ";").join(" ");
}
methods(CSSStyleDeclaration.prototype, {
    getPropertyValue(name) { return slot(this).props.get(String(name)) || ""; },
    setProperty(name, value) {
        const p = slot(this).props;
        if (value === null || value === "") p.delete(String(name));
        else p.set(String(name), String(value));
    },
    removeProperty(name) {
        const p = slot(this).props;
        const old = p.get(String(name)) || "";
        p.delete(String(name));
        return old;
    },
    getPropertyPriority() { return ""; },
    item(i) { return Array.from(slot(this).props.keys())[i] || ""; },
});
getters(CSSStyleDeclaration.prototype, { length: (s) => s.props.size });
accessor(CSSStyleDeclaration.prototype, "cssText", function () {
    return cssText(slot(this).props);
}, function (text) {
    const p = slot(this).props;
    p.clear();
    for (const decl of String(text).split(";")) {
        const c = decl.indexOf(":");
        if (c > 0) p.set(decl.slice(0, c).trim().toLowerCase(), decl.slice(c + 1).trim());
    }
});
const styleNames = ["display", "position", "width", "height", "top", "left", "right", "bottom", "margin", "padding",
    "color", "background", "backgroundColor", "border", "font", "fontSize", "fontFamily", "fontWeight", "lineHeight",
    "opacity", "visibility", "overflow", "zIndex", "cursor", "transform", "transition", "float", "cssFloat",
    "textAlign", "verticalAlign", "whiteSpace", "boxSizing", "zoom", "filter", "content", "outline"];
for (const name of styleNames) {
    const css = name === "cssFloat" ? "float" : kebab(name);
    accessor(CSSStyleDeclaration.prototype, name, function () {
        return slot(this).props.get(css) || "";
    }, function (value) {
        this.setProperty(css, value);
    });
}
function makeStyle() {
    const target = create(CSSStyleDeclaration, { props: new Map() });
    // Any other property name (vendor prefixes, rarely used ones) is stored as written.
    const proxy = new Proxy(target, {
        get(t, key) {
            if (typeof key !== "string" || key in t) return Reflect.get(t, key, t);
            return slot(t).props.get(kebab(key)) || (/^[a-z][a-zA-Z]*$/.test(key) ? "" : undefined);
        },
        set(t, key, value) {
            if (typeof key !== "string" || key in t) return Reflect.set(t, key, value, t);
            t.setProperty(kebab(key), value);
            return true;
        },
    });
    setSlot(proxy, slot(target));
    return proxy;
}

export const DOMTokenList = defineInterface("DOMTokenList", null);
function tokens(s) {
    return (s.element.getAttribute("class") || "").split(/\s+/).filter(Boolean);
}
function setTokens(s, list) {
    s.element.setAttribute("class", list.join(" "));
}
getters(DOMTokenList.prototype, { length: (s) => tokens(s).length, value: (s) => tokens(s).join(" ") });
methods(DOMTokenList.prototype, {
    add(...names) { const s = slot(this); const t = tokens(s); for (const n of names) if (!t.includes(String(n))) t.push(String(n)); setTokens(s, t); },
    remove(...names) { const s = slot(this); setTokens(s, tokens(s).filter((n) => !names.map(String).includes(n))); },
    contains(name) { return tokens(slot(this)).includes(String(name)); },
    toggle(name, force) {
        const has = this.contains(name);
        const want = force === undefined ? !has : !!force;
        if (want && !has) this.add(name);
        if (!want && has) this.remove(name);
        return want;
    },
    item(i) { return tokens(slot(this))[i] || null; },
    replace(a, b) { const s = slot(this); const t = tokens(s); const i = t.indexOf(String(a)); if (i < 0) return false; t[i] = String(b); setTokens(s, t); return true; },
    toString() { return tokens(slot(this)).join(" "); },
});

export const Element = defineInterface("Element", Node);
export const HTMLElement = defineInterface("HTMLElement", Element);

getters(Element.prototype, {
    tagName: (s) => s.name,
    localName: (s) => s.name.toLowerCase(),
    namespaceURI: () => "http://www.w3.org/1999/xhtml",
    prefix: () => null,
    attributes: (s) => Array.from(s.attributes, ([name, value]) => ({ name, value, nodeName: name, nodeValue: value })),
    children: (s) => listOf(HTMLCollection, s.children.filter((c) => slot(c).type === 1)),
    childElementCount: (s) => s.children.filter((c) => slot(c).type === 1).length,
    firstElementChild: (s) => s.children.find((c) => slot(c).type === 1) || null,
    lastElementChild: (s) => s.children.filter((c) => slot(c).type === 1).pop() || null,
    nextElementSibling: (s, self) => elementSibling(s, self, 1),
    previousElementSibling: (s, self) => elementSibling(s, self, -1),
    classList: (s, self) => s.classList || (s.classList = create(DOMTokenList, { element: self })),
    clientWidth: () => 0, clientHeight: () => 0, clientTop: () => 0, clientLeft: () => 0,
    scrollWidth: () => 0, scrollHeight: () => 0,
    shadowRoot: () => null,
});
function elementSibling(s, self, step) {
    if (!s.parent) return null;
    const list = slot(s.parent).children.filter((c) => slot(c).type === 1);
    return list[list.indexOf(self) + step] || null;
}
accessor(Element.prototype, "scrollTop", () => 0, () => {});
accessor(Element.prototype, "scrollLeft", () => 0, () => {});

function reflect(proto, prop, name) {
    accessor(proto, prop, function () {
        const v = attr(this, name);
        return v === null ? "" : v;
    }, function (value) {
        this.setAttribute(name, value);
    });
}
reflect(Element.prototype, "id", "id");
reflect(Element.prototype, "className", "class");
reflect(Element.prototype, "slot", "slot");

function serializeNode(node) {
    const s = slot(node);
    if (s.type === 3) return s.data.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
    if (s.type === 8) return "<!--" + s.data + "-->";
    const tag = s.name.toLowerCase();
    let out = "<" + tag;
    for (const [k, v] of s.attributes) out += " " + k + '="' + v.replace(/&/g, "&amp;").replace(/"/g, "&quot;") + '"';
    out += ">";
    if (/^(area|base|br|col|embed|hr|img|input|link|meta|source|track|wbr)$/.test(tag)) return out;
    return out + innerHTML(s) + "</" + tag + ">";
}
function innerHTML(s) {
    return s.html !== null && s.html !== undefined ? s.html : s.children.map(serializeNode).join("");
}
accessor(Element.prototype, "innerHTML", function () {
    return innerHTML(slot(this));
}, function (value) {
    const s = slot(this);
    s.children.forEach((c) => (slot(c).parent = null));
    s.children = [];
    s.html = null;
    parseFragment(this, String(value));
});
accessor(Element.prototype, "outerHTML", function () {
    return serializeNode(this);
}, function () {});
accessor(HTMLElement.prototype, "innerText", function () {
    return textOf(this);
}, function (value) {
    this.textContent = value;
});
accessor(HTMLElement.prototype, "style", function () {
    const s = slot(this);
    return s.style || (s.style = makeStyle());
}, function (value) {
    this.style.cssText = value;
});

methods(Element.prototype, {
    getAttribute(name) { return attr(this, String(name).toLowerCase()); },
    setAttribute(name, value) {
        const s = slot(this);
        name = String(name).toLowerCase();
        if (!/^[^\s"'>/=\x00-\x1f]+$/.test(name)) throw domError("Failed to execute 'setAttribute' on 'Element': '" + name + "' is not a valid attribute name.", "InvalidCharacterError");
        s.attributes.set(name, String(value));
        if (name === "style" && s.style) this.style.cssText = String(value);
        if (s.onAttribute) s.onAttribute(this, name);
    },
    removeAttribute(name) { slot(this).attributes.delete(String(name).toLowerCase()); },
    hasAttribute(name) { return slot(this).attributes.has(String(name).toLowerCase()); },
    hasAttributes() { return slot(this).attributes.size > 0; },
    getAttributeNames() { return Array.from(slot(this).attributes.keys()); },
    toggleAttribute(name, force) {
        const has = this.hasAttribute(name);
        const want = force === undefined ? !has : !!force;
        if (want) this.setAttribute(name, "");
        else this.removeAttribute(name);
        return want;
    },
    getAttributeNS(ns, name) { return this.getAttribute(name); },
    setAttributeNS(ns, name, value) { this.setAttribute(name, value); },
    getElementsByTagName(tag) { return listOf(HTMLCollection, byTag(this, tag)); },
    getElementsByClassName(names) { return listOf(HTMLCollection, byClass(this, names)); },
    querySelector(selector) { return select(this, selector, true)[0] || null; },
    querySelectorAll(selector) { return listOf(NodeList, select(this, selector, false)); },
    matches(selector) { return matchesSelector(this, parseSelector(selector)); },
    closest(selector) {
        const parsed = parseSelector(selector);
        let n = this;
        while (n && slot(n).type === 1) {
            if (matchesSelector(n, parsed)) return n;
            n = slot(n).parent;
        }
        return null;
    },
    getBoundingClientRect() { return { x: 0, y: 0, width: 0, height: 0, top: 0, left: 0, right: 0, bottom: 0, toJSON() { return this; } }; },
    getClientRects() { return []; },
    insertAdjacentHTML(where, html) {
        const w = String(where).toLowerCase();
        const box = makeElement(slot(this).doc, "div");
        parseFragment(box, String(html));
        const nodes = slot(box).children.slice();
        const parent = w === "beforebegin" || w === "afterend" ? slot(this).parent : this;
        if (!parent) return;
        const before = w === "beforebegin" ? this : w === "afterend" ? this.nextSibling : w === "afterbegin" ? this.firstChild : null;
        for (const n of nodes) insert(parent, n, before);
    },
    insertAdjacentElement(where, el) { return insert(this, el, null); },
    append(...nodes) { for (const n of nodes) insert(this, typeof n === "string" ? slot(this).doc.createTextNode(n) : n, null); },
    prepend(...nodes) { for (const n of nodes.reverse()) insert(this, typeof n === "string" ? slot(this).doc.createTextNode(n) : n, slot(this).children[0] || null); },
    remove() { detach(this); },
    attachShadow() { throw domError("Failed to execute 'attachShadow' on 'Element': This element does not support attachShadow", "NotSupportedError"); },
    scrollIntoView() {},
    setPointerCapture() {},
    releasePointerCapture() {},
});
methods(HTMLElement.prototype, {
    click() {},
    focus() {},
    blur() {},
});
for (const [prop, value] of [["offsetWidth", 0], ["offsetHeight", 0], ["offsetTop", 0], ["offsetLeft", 0], ["offsetParent", null]])
    getters(HTMLElement.prototype, { [prop]: () => value });
reflect(HTMLElement.prototype, "title", "title");
reflect(HTMLElement.prototype, "lang", "lang");
reflect(HTMLElement.prototype, "dir", "dir");
accessor(HTMLElement.prototype, "hidden", function () { return this.hasAttribute("hidden"); }, function (v) { this.toggleAttribute("hidden", !!v); });
accessor(HTMLElement.prototype, "tabIndex", function () { return parseInt(this.getAttribute("tabindex"), 10) || -1; }, function (v) { this.setAttribute("tabindex", v); });
getters(HTMLElement.prototype, { dataset: (s, self) => datasetOf(self) });
function datasetOf(el) {
    return new Proxy({}, {
        get: (t, k) => (typeof k === "string" ? el.getAttribute("data-" + kebab(k)) ?? undefined : undefined),
        set: (t, k, v) => { el.setAttribute("data-" + kebab(String(k)), v); return true; },
    });
}

// Element kinds by tag, each an interface with its own reflected attributes.
const kinds = {};
function kind(name, tags, attrs, extra) {
    const ctor = defineInterface(name, HTMLElement);
    for (const a of attrs || []) reflect(ctor.prototype, a[0], a[1] || a[0].toLowerCase());
    if (extra) extra(ctor.prototype);
    for (const t of tags) kinds[t] = ctor;
    return ctor;
}
export const elementKinds = {
    HTMLHtmlElement: kind("HTMLHtmlElement", ["html"], [["version"]]),
    HTMLHeadElement: kind("HTMLHeadElement", ["head"]),
    HTMLBodyElement: kind("HTMLBodyElement", ["body"]),
    HTMLDivElement: kind("HTMLDivElement", ["div"], [["align"]]),
    HTMLSpanElement: kind("HTMLSpanElement", ["span"]),
    HTMLParagraphElement: kind("HTMLParagraphElement", ["p"]),
    HTMLAnchorElement: kind("HTMLAnchorElement", ["a"], [["target"], ["rel"], ["download"]], urlMembers),
    HTMLScriptElement: kind("HTMLScriptElement", ["script"], [["type"], ["charset"], ["crossOrigin", "crossorigin"], ["integrity"]], (p) => {
        srcMember(p);
        accessor(p, "async", function () { return this.hasAttribute("async"); }, function (v) { this.toggleAttribute("async", !!v); });
        accessor(p, "defer", function () { return this.hasAttribute("defer"); }, function (v) { this.toggleAttribute("defer", !!v); });
        accessor(p, "text", function () { return this.textContent; }, function (v) { this.textContent = v; });
    }),
    HTMLImageElement: kind("HTMLImageElement", ["img"], [["alt"], ["crossOrigin", "crossorigin"], ["referrerPolicy", "referrerpolicy"]], (p) => {
        srcMember(p);
        for (const d of ["width", "height"]) accessor(p, d, function () { return parseInt(this.getAttribute(d), 10) || 0; }, function (v) { this.setAttribute(d, v); });
        getters(p, { complete: () => true, naturalWidth: () => 0, naturalHeight: () => 0 });
        methods(p, { decode() { return Promise.resolve(); } });
    }),
    HTMLIFrameElement: kind("HTMLIFrameElement", ["iframe"], [["name"], ["width"], ["height"]], (p) => {
        srcMember(p);
        accessor(p, "srcdoc", function () { return this.getAttribute("srcdoc") || ""; }, function (v) { this.setAttribute("srcdoc", v); });
        // A frame in the document has a window and a document of its own.
        getters(p, {
            contentWindow: (s, self) => (connected(self) && frameMaker ? (s.frame || (s.frame = frameMaker(self))).window : null),
            contentDocument: (s, self) => (connected(self) && frameMaker ? (s.frame || (s.frame = frameMaker(self))).document : null),
        });
    }),
    HTMLInputElement: kind("HTMLInputElement", ["input"], [["name"], ["placeholder"]], (p) => {
        accessor(p, "type", function () { return (this.getAttribute("type") || "text").toLowerCase(); }, function (v) { this.setAttribute("type", v); });
        accessor(p, "value", function () { const s = slot(this); return s.value !== undefined ? s.value : this.getAttribute("value") || ""; }, function (v) { slot(this).value = String(v); });
        accessor(p, "checked", function () { const s = slot(this); return s.checked !== undefined ? s.checked : this.hasAttribute("checked"); }, function (v) { slot(this).checked = !!v; });
        accessor(p, "defaultValue", function () { return this.getAttribute("value") || ""; }, function (v) { this.setAttribute("value", v); });
        accessor(p, "defaultChecked", function () { return this.hasAttribute("checked"); }, function (v) { this.toggleAttribute("checked", !!v); });
        accessor(p, "disabled", function () { return this.hasAttribute("disabled"); }, function (v) { this.toggleAttribute("disabled", !!v); });
        methods(p, { select() {}, setSelectionRange() {} });
    }),
    HTMLTextAreaElement: kind("HTMLTextAreaElement", ["textarea"], [["name"], ["placeholder"]], (p) => {
        accessor(p, "defaultValue", function () { return this.textContent; }, function (v) { this.textContent = v; });
        accessor(p, "value", function () { const s = slot(this); return s.value !== undefined ? s.value : this.textContent; }, function (v) { slot(this).value = String(v); });
    }),
    HTMLSelectElement: kind("HTMLSelectElement", ["select"], [["name"]]),
    HTMLOptionElement: kind("HTMLOptionElement", ["option"], [["value"], ["label"]]),
    HTMLButtonElement: kind("HTMLButtonElement", ["button"], [["name"], ["value"]]),
    HTMLFormElement: kind("HTMLFormElement", ["form"], [["action"], ["method"], ["name"], ["target"]], (p) => {
        methods(p, { submit() {}, reset() {} });
    }),
    HTMLLinkElement: kind("HTMLLinkElement", ["link"], [["rel"], ["type"], ["media"]], (p) => urlAttr(p, "href")),
    HTMLMetaElement: kind("HTMLMetaElement", ["meta"], [["name"], ["content"], ["httpEquiv", "http-equiv"]]),
    HTMLStyleElement: kind("HTMLStyleElement", ["style"], [["media"], ["type"]]),
    HTMLTitleElement: kind("HTMLTitleElement", ["title"], [], (p) => accessor(p, "text", function () { return this.textContent; }, function (v) { this.textContent = v; })),
    HTMLUListElement: kind("HTMLUListElement", ["ul"]),
    HTMLLIElement: kind("HTMLLIElement", ["li"]),
    HTMLTableElement: kind("HTMLTableElement", ["table"]),
    HTMLVideoElement: kind("HTMLVideoElement", ["video"], [], mediaMembers),
    HTMLAudioElement: kind("HTMLAudioElement", ["audio"], [], mediaMembers),
    HTMLCanvasElement: kind("HTMLCanvasElement", ["canvas"], [], (p) => {
        for (const [d, def] of [["width", 300], ["height", 150]])
            accessor(p, d, function () { const v = parseInt(this.getAttribute(d), 10); return v >= 0 ? v : def; }, function (v) { this.setAttribute(d, v >>> 0); });
        methods(p, {
            getContext(type) { return canvasContext(this, String(type)); },
            toDataURL(type) { return canvasDataURL(this, type); },
            toBlob(callback) { if (typeof callback === "function") callback(null); },
            captureStream() { return null; },
        });
    }),
};
export const HTMLUnknownElement = defineInterface("HTMLUnknownElement", HTMLElement);
function mediaMembers(p) {
    srcMember(p);
    methods(p, { canPlayType() { return ""; }, play() { return Promise.resolve(); }, pause() {}, load() {} });
    getters(p, { paused: () => true, duration: () => NaN, currentTime: () => 0 });
}

let frameMaker = null; // iframe -> { window, document }
export function setFrameMaker(f) {
    frameMaker = f;
}

let resolveURL = (u) => String(u);
let requestSink = null; // the network record for loads the document starts
export function setDocumentHooks(resolve, request) {
    resolveURL = resolve;
    requestSink = request;
}
function urlAttr(p, name) {
    accessor(p, name, function () {
        const v = this.getAttribute(name);
        return v === null ? "" : resolveURL(v);
    }, function (v) {
        this.setAttribute(name, v);
    });
}
function srcMember(p) {
    urlAttr(p, "src");
}
function urlMembers(p) {
    urlAttr(p, "href");
    for (const part of ["protocol", "host", "hostname", "port", "pathname", "search", "hash", "origin"]) {
        getters(p, {
            [part]: (s, self) => {
                const href = self.href;
                if (!href) return "";
                try {
                    return new URL(href)[part];
                } catch (e) {
                    return "";
                }
            },
        });
    }
}

export function makeElement(doc, tag) {
    const name = String(tag);
    const lower = name.toLowerCase();
    const ctor = kinds[lower] || (/^[a-z][a-z0-9]*-[a-z0-9-]*$/.test(lower) ? HTMLElement : HTMLUnknownElement);
    const el = create(ctor, { type: 1, name: name.toUpperCase(), doc, parent: null, children: [], attributes: new Map(), html: null });
    if (lower === "img" || lower === "script" || lower === "iframe") slot(el).onAttribute = loadOnAttribute;
    return el;
}

// An image starts its load when it gets its address; a script or frame when it is in the
// document with one.
function loadOnAttribute(el, name) {
    if (name !== "src" || !requestSink) return;
    if (slot(el).name === "IMG" || connected(el)) requestSink(el);
}

// A forgiving reading of an HTML fragment: elements with their attributes, text with the
// common character references, comments; script, style and textarea hold their text as
// it is; a closing tag closes up to the element it names; anything unclosed ends with the
// fragment.
const voidTags = /^(area|base|br|col|embed|hr|img|input|link|meta|source|track|wbr)$/;
const rawTags = /^(script|style|textarea|title)$/;
function decodeEntities(text) {
    const names = { amp: "&", lt: "<", gt: ">", quot: '"', apos: "'", nbsp: "\u00a0", copy: "\u00a9" };
    return text.replace(/&(#x[0-9a-f]+|#[0-9]+|[a-z]+);/gi, (m, e) => {
        if (e[0] === "#") {
            const n = e[1] === "x" || e[1] === "X" ? parseInt(e.slice(2), 16) : parseInt(e.slice(1), 10);
            return n > 0 && n <= 0x10ffff ? String.fromCodePoint(n) : m;
        }
        return names[e.toLowerCase()] || m;
    });
}
function parseFragment(root, html) {
    const doc = slot(root).doc;
    const stack = [root];
    const top = () => stack[stack.length - 1];
    const text = (t) => {
        if (t !== "") insert(top(), doc.createTextNode(decodeEntities(t)));
    };
    let i = 0;
    while (i < html.length) {
        const lt = html.indexOf("<", i);
        if (lt < 0) {
            text(html.slice(i));
            break;
        }
        text(html.slice(i, lt));
        if (html.startsWith("<!--", lt)) {
            const end = html.indexOf("-->", lt + 4);
            insert(top(), doc.createComment(html.slice(lt + 4, end < 0 ? html.length : end)));
            i = end < 0 ? html.length : end + 3;
            continue;
        }
        const close = /^<\/([a-zA-Z][^\s/>]*)\s*>/.exec(html.slice(lt));
        if (close) {
            const name = close[1].toUpperCase();
            for (let k = stack.length - 1; k > 0; k--) {
                if (slot(stack[k]).name === name) {
                    stack.length = k;
                    break;
                }
            }
            i = lt + close[0].length;
            continue;
        }
        const open = /^<([a-zA-Z][^\s/>]*)((?:\s+[^\s"'>/=]+(?:\s*=\s*(?:"[^"]*"|'[^']*'|[^\s"'=<>`]+))?)*)\s*(\/?)>/.exec(html.slice(lt));
        if (!open) {
            if (html[lt + 1] === "!" || html[lt + 1] === "?") {
                const end = html.indexOf(">", lt);
                i = end < 0 ? html.length : end + 1;
                continue;
            }
            text("<");
            i = lt + 1;
            continue;
        }
        const tag = open[1].toLowerCase();
        const el = makeElement(doc, tag);
        const attrRe = /([^\s"'>/=]+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'=<>`]+)))?/g;
        let a;
        while ((a = attrRe.exec(open[2]))) slot(el).attributes.set(a[1].toLowerCase(), decodeEntities(a[2] ?? a[3] ?? a[4] ?? ""));
        insert(top(), el);
        i = lt + open[0].length;
        if (voidTags.test(tag) || open[3]) continue;
        if (rawTags.test(tag)) {
            const end = html.toLowerCase().indexOf("</" + tag, i);
            const body = html.slice(i, end < 0 ? html.length : end);
            if (body !== "") insert(el, doc.createTextNode(tag === "textarea" || tag === "title" ? decodeEntities(body) : body));
            const gt = end < 0 ? -1 : html.indexOf(">", end);
            i = gt < 0 ? html.length : gt + 1;
            continue;
        }
        stack.push(el);
    }
}

// Selectors: compound parts (tag, #id, .class, [attr op value], :first-child and a few
// more) joined by descendant, child and sibling combinators, in comma groups. Anything
// else throws the browser's SyntaxError, so libraries fall back to their own engines.
export function parseSelector(text) {
    const source = String(text).trim();
    const bad = () => domError("Failed to execute 'querySelectorAll' on 'Document': '" + source + "' is not a valid selector.", "SyntaxError");
    const groups = [];
    let i = 0;
    const ident = () => {
        const m = /^(?:\\.|[-\w\u00a0-\uffff])+/.exec(source.slice(i));
        if (!m) throw bad();
        i += m[0].length;
        return m[0].replace(/\\(.)/g, "$1");
    };
    let steps = [];
    let compound = null;
    let combinator = " ";
    const flush = () => {
        if (compound) steps.push({ combinator, compound });
        compound = null;
    };
    while (i <= source.length) {
        const c = source[i];
        if (c === undefined || c === ",") {
            flush();
            if (!steps.length) throw bad();
            groups.push(steps);
            steps = [];
            combinator = " ";
            i++;
            if (c === undefined) break;
            while (source[i] === " ") i++;
            continue;
        }
        if (/\s/.test(c) || c === ">" || c === "+" || c === "~") {
            let comb = " ";
            while (i < source.length && /[\s>+~]/.test(source[i])) {
                if (source[i] !== " " && !/\s/.test(source[i])) comb = source[i];
                i++;
            }
            if (source[i] === "," || i >= source.length) continue;
            flush();
            if (!steps.length) throw bad();
            combinator = comb;
            continue;
        }
        compound = compound || { tag: null, id: null, classes: [], attrs: [], pseudos: [] };
        if (c === "*") { i++; compound.tag = "*"; }
        else if (c === "#") { i++; compound.id = ident(); }
        else if (c === ".") { i++; compound.classes.push(ident()); }
        else if (c === "[") {
            const m = /^\[\s*([-\w]+)\s*(?:([~|^$*]?=)\s*(?:"([^"]*)"|'([^']*)'|([-\w]+))\s*)?\]/.exec(source.slice(i));
            if (!m) throw bad();
            i += m[0].length;
            compound.attrs.push({ name: m[1].toLowerCase(), op: m[2] || null, value: m[3] ?? m[4] ?? m[5] ?? "" });
        } else if (c === ":") {
            const m = /^:(first-child|last-child|only-child|empty|checked|disabled|enabled|root)(?![-\w(])/.exec(source.slice(i));
            if (!m) throw bad();
            i += m[0].length;
            compound.pseudos.push(m[1]);
        } else if (/[-\w]/.test(c)) {
            compound.tag = ident().toUpperCase();
        } else throw bad();
    }
    if (!groups.length) throw bad();
    return groups;
}

function matchCompound(el, c) {
    const s = slot(el);
    if (s.type !== 1) return false;
    if (c.tag && c.tag !== "*" && s.name !== c.tag) return false;
    if (c.id !== null && attr(el, "id") !== c.id) return false;
    if (c.classes.length) {
        const cls = (attr(el, "class") || "").split(/\s+/);
        if (!c.classes.every((k) => cls.includes(k))) return false;
    }
    for (const a of c.attrs) {
        const v = attr(el, a.name);
        if (v === null) return false;
        const w = a.value;
        if (a.op === "=" && v !== w) return false;
        if (a.op === "~=" && !v.split(/\s+/).includes(w)) return false;
        if (a.op === "|=" && v !== w && !v.startsWith(w + "-")) return false;
        if (a.op === "^=" && (w === "" || !v.startsWith(w))) return false;
        if (a.op === "$=" && (w === "" || !v.endsWith(w))) return false;
        if (a.op === "*=" && (w === "" || !v.includes(w))) return false;
    }
    for (const p of c.pseudos) {
        const parent = s.parent;
        const siblings = parent ? slot(parent).children.filter((n) => slot(n).type === 1) : [el];
        if (p === "first-child" && siblings[0] !== el) return false;
        if (p === "last-child" && siblings[siblings.length - 1] !== el) return false;
        if (p === "only-child" && siblings.length !== 1) return false;
        if (p === "empty" && s.children.length) return false;
        if (p === "checked" && !s.checked) return false;
        if (p === "disabled" && !el.hasAttribute("disabled")) return false;
        if (p === "enabled" && el.hasAttribute("disabled")) return false;
        if (p === "root" && !(parent && slot(parent).type === 9)) return false;
    }
    return true;
}

function matchSteps(el, steps, k) {
    if (!matchCompound(el, steps[k].compound)) return false;
    if (k === 0) return true;
    const comb = steps[k].combinator;
    const parentOf = (n) => {
        const p = slot(n).parent;
        return p && slot(p).type === 1 ? p : null;
    };
    if (comb === ">") {
        const p = parentOf(el);
        return !!p && matchSteps(p, steps, k - 1);
    }
    if (comb === " ") {
        for (let p = parentOf(el); p; p = parentOf(p)) if (matchSteps(p, steps, k - 1)) return true;
        return false;
    }
    const parent = slot(el).parent;
    if (!parent) return false;
    const sibs = slot(parent).children.filter((n) => slot(n).type === 1);
    const at = sibs.indexOf(el);
    if (comb === "+") return at > 0 && matchSteps(sibs[at - 1], steps, k - 1);
    for (let j = at - 1; j >= 0; j--) if (matchSteps(sibs[j], steps, k - 1)) return true;
    return false;
}

export function matchesSelector(el, groups) {
    return groups.some((steps) => matchSteps(el, steps, steps.length - 1));
}

export function select(root, selector, first) {
    const groups = parseSelector(selector);
    const out = [];
    for (const el of descendants(root, [])) {
        if (matchesSelector(el, groups)) {
            out.push(el);
            if (first) break;
        }
    }
    return out;
}

export function byTag(root, tag) {
    const t = String(tag).toUpperCase();
    return descendants(root, []).filter((e) => t === "*" || slot(e).name === t);
}

export function byClass(root, names) {
    const want = String(names).split(/\s+/).filter(Boolean);
    return descendants(root, []).filter((e) => {
        const cls = (attr(e, "class") || "").split(/\s+/);
        return want.length && want.every((k) => cls.includes(k));
    });
}

export { attr, descendants, insert, listOf, textOf };
