// The page's document: html, head and body, the cookie jar, the page's address, and the
// factories and look-ups scripts call on document.
import { accessor, create, defineInterface, getters, methods, slot } from "./native.js";
import { byClass, byTag, descendants, insert, listOf, makeElement, Node, HTMLCollection, NodeList, select, Text, Comment, DocumentFragment, attr } from "./dom.js";
import { Event, CustomEvent, UIEvent, MouseEvent, KeyboardEvent, makeEvent } from "./events.js";
import { CookieJar } from "./cookies.js";
import { serialize, urlParts } from "./url.js";
import { domError } from "./text.js";

export const Document = defineInterface("Document", Node);
export const HTMLDocument = defineInterface("HTMLDocument", Document);
export const DocumentType = defineInterface("DocumentType", Node);
export const DOMImplementation = defineInterface("DOMImplementation", null);

function node(ctor, doc, type, name, data) {
    return create(ctor, { type, name, doc, parent: null, children: [], data, attributes: new Map(), html: null });
}

// page: { record, referrer, title } shared with location; clock: the (virtual) time.
export function makeDocument(page, clock) {
    const jar = new CookieJar();
    const doc = create(HTMLDocument, { type: 9, name: "#document", parent: null, children: [], attributes: new Map(), html: null, page, jar, readyState: "complete", title: page.title || "" });
    slot(doc).doc = doc;
    const doctype = node(DocumentType, doc, 10, "html", "");
    const html = makeElement(doc, "html");
    const head = makeElement(doc, "head");
    const body = makeElement(doc, "body");
    insert(doc, doctype);
    insert(doc, html);
    insert(html, head);
    insert(html, body);
    if (!prototypeDone) definePrototype(clock);
    return doc;
}

function cookiePage(page) {
    return { host: page.record.hostname, path: urlParts.pathname(page.record) || "/", secure: page.record.protocol === "https:" };
}

let prototypeDone = false;
function definePrototype(clock) {
    prototypeDone = true;
    getters(Document.prototype, {
        documentElement: (s) => s.children.find((c) => slot(c).name === "HTML") || null,
        head: (s, self) => byTag(self, "head")[0] || null,
        body: (s, self) => byTag(self, "body")[0] || null,
        doctype: (s) => s.children.find((c) => slot(c).type === 10) || null,
        URL: (s) => serialize(s.page.record),
        documentURI: (s) => serialize(s.page.record),
        domain: (s) => s.page.record.hostname,
        referrer: (s) => s.page.referrer || "",
        readyState: (s) => s.readyState,
        characterSet: () => "UTF-8",
        charset: () => "UTF-8",
        inputEncoding: () => "UTF-8",
        contentType: () => "text/html",
        compatMode: () => "CSS1Compat",
        visibilityState: () => "visible",
        hidden: () => false,
        hasFocus: () => true,
        lastModified: () => {
            const d = new Date(clock.wallNow());
            const p = (n) => (n < 10 ? "0" : "") + n;
            return p(d.getMonth() + 1) + "/" + p(d.getDate()) + "/" + d.getFullYear() + " " + p(d.getHours()) + ":" + p(d.getMinutes()) + ":" + p(d.getSeconds());
        },
        defaultView: () => globalThis,
        location: () => globalThis.location,
        activeElement: (s, self) => self.body,
        scripts: (s, self) => listOf(HTMLCollection, byTag(self, "script")),
        images: (s, self) => listOf(HTMLCollection, byTag(self, "img")),
        links: (s, self) => listOf(HTMLCollection, byTag(self, "a").filter((a) => attr(a, "href") !== null)),
        forms: (s, self) => listOf(HTMLCollection, byTag(self, "form")),
        all: (s, self) => listOf(HTMLCollection, descendants(self, [])),
        currentScript: () => null,
        implementation: (s) => s.implementation || (s.implementation = create(DOMImplementation, { doc: s.doc })),
        fonts: () => ({ ready: Promise.resolve(), check: () => true, load: () => Promise.resolve([]), status: "loaded", size: 0 }),
        fullscreenElement: () => null,
        pointerLockElement: () => null,
        styleSheets: () => [],
    });
    accessor(Document.prototype, "title", function () {
        return slot(this).title;
    }, function (v) {
        slot(this).title = String(v);
    });
    accessor(Document.prototype, "cookie", function () {
        return slot(this).jar.get(cookiePage(slot(this).page), clock.wallNow());
    }, function (v) {
        slot(this).jar.set(String(v), cookiePage(slot(this).page), clock.wallNow());
    });
    methods(Document.prototype, {
        createElement(tag) {
            if (!/^[a-zA-Z][^\s/>\x00]*$/.test(String(tag)))
                throw domError("Failed to execute 'createElement' on 'Document': The tag name provided ('" + tag + "') is not a valid name.", "InvalidCharacterError");
            return makeElement(slot(this).doc, tag);
        },
        createElementNS(ns, tag) { return makeElement(slot(this).doc, String(tag).replace(/^.*:/, "")); },
        createTextNode(text) { return node(Text, slot(this).doc, 3, "#text", String(text)); },
        createComment(text) { return node(Comment, slot(this).doc, 8, "#comment", String(text)); },
        createDocumentFragment() { return node(DocumentFragment, slot(this).doc, 11, "#document-fragment", ""); },
        createEvent(kind) {
            const ctor = { events: Event, event: Event, htmlevents: Event, customevent: CustomEvent, uievents: UIEvent, uievent: UIEvent, mouseevents: MouseEvent, mouseevent: MouseEvent, keyboardevent: KeyboardEvent }[String(kind).toLowerCase()];
            if (!ctor) throw domError("Failed to execute 'createEvent' on 'Document': The provided event type ('" + kind + "') is invalid.", "NotSupportedError");
            return makeEvent("", ctor);
        },
        createAttribute(name) { return { name: String(name), value: "" }; },
        createRange() { return { setStart() {}, setEnd() {}, selectNodeContents() {}, collapse() {}, getBoundingClientRect: () => ({ x: 0, y: 0, width: 0, height: 0, top: 0, left: 0, right: 0, bottom: 0 }), getClientRects: () => [], createContextualFragment: () => node(DocumentFragment, slot(this).doc, 11, "#document-fragment", "") }; },
        createTreeWalker(root) { return { root, currentNode: root, nextNode: () => null }; },
        getElementById(id) { id = String(id); return descendants(this, []).find((e) => attr(e, "id") === id) || null; },
        getElementsByTagName(tag) { return listOf(HTMLCollection, byTag(this, tag)); },
        getElementsByClassName(names) { return listOf(HTMLCollection, byClass(this, names)); },
        getElementsByName(name) { return listOf(NodeList, descendants(this, []).filter((e) => attr(e, "name") === String(name))); },
        querySelector(selector) { return select(this, selector, true)[0] || null; },
        querySelectorAll(selector) { return listOf(NodeList, select(this, selector, false)); },
        write(...texts) { const b = this.body; if (b) b.insertAdjacentHTML("beforeend", texts.join("")); },
        writeln(...texts) { this.write(texts.join("") + "\n"); },
        open() { return this; },
        close() {},
        hasFocus() { return true; },
        execCommand() { return false; },
        queryCommandSupported() { return false; },
        elementFromPoint() { return null; },
        getSelection() { return { rangeCount: 0, toString: () => "", removeAllRanges() {}, addRange() {} }; },
        exitFullscreen() { return Promise.resolve(); },
        adoptNode(n) { return n; },
        importNode(n, deep) { return n.cloneNode(!!deep); },
    });
    methods(DOMImplementation.prototype, {
        createHTMLDocument(title) {
            return makeDocument({ record: slot(slot(this).doc).page.record, referrer: "", title: title === undefined ? "" : String(title) }, clock);
        },
        hasFeature() { return true; },
        createDocumentType(name) { return node(DocumentType, slot(this).doc, 10, String(name), ""); },
    });
}
