// The 2D canvas: a real pixel buffer for rectangles and image data, the drawing state
// scripts read back (fillStyle, font, ...), text measured from the font size, and
// toDataURL writing the pixels as a PNG. WebGL is not offered (getContext gives null, as
// on a machine without a GPU).
import { accessor, create, defineInterface, getters, methods, slot } from "./native.js";
import { btoa } from "./text.js";

export const CanvasRenderingContext2D = defineInterface("CanvasRenderingContext2D", null);
export const ImageData = defineInterface("ImageData", null, function (a, b, c) {
    const data = a instanceof Uint8ClampedArray ? a : new Uint8ClampedArray((a >>> 0) * (b >>> 0) * 4);
    const width = a instanceof Uint8ClampedArray ? b >>> 0 : a >>> 0;
    const height = a instanceof Uint8ClampedArray ? (c === undefined ? data.length / 4 / width : c >>> 0) : b >>> 0;
    Object.assign(imageState(this), { data, width, height });
});
const imageStates = new WeakMap();
function imageState(o) {
    let s = imageStates.get(o);
    if (!s) imageStates.set(o, (s = {}));
    return s;
}
for (const k of ["data", "width", "height"])
    Object.defineProperty(ImageData.prototype, k, { get: Object.defineProperty(function () { return imageState(this)[k]; }, "name", { value: "get " + k }), enumerable: true, configurable: true });
getters(CanvasRenderingContext2D.prototype, { canvas: (s) => s.canvas });

const named = { black: [0, 0, 0], white: [255, 255, 255], red: [255, 0, 0], green: [0, 128, 0], blue: [0, 0, 255], yellow: [255, 255, 0], gray: [128, 128, 128], grey: [128, 128, 128], orange: [255, 165, 0], transparent: [0, 0, 0, 0] };
function parseColor(text) {
    const t = String(text).trim().toLowerCase();
    let m;
    if ((m = /^#([0-9a-f]{3,8})$/.exec(t))) {
        let h = m[1];
        if (h.length === 3 || h.length === 4) h = h.split("").map((c) => c + c).join("");
        const n = [0, 2, 4, 6].map((i) => (i < h.length ? parseInt(h.slice(i, i + 2), 16) : 255));
        return n;
    }
    if ((m = /^rgba?\(([^)]*)\)$/.exec(t))) {
        const p = m[1].split(/[\s,/]+/).filter(Boolean).map(parseFloat);
        return [p[0] | 0, p[1] | 0, p[2] | 0, p.length > 3 ? Math.round(p[3] * 255) : 255];
    }
    if (named[t]) return named[t].length === 4 ? named[t] : named[t].concat(255);
    return null;
}

function pixels(s) {
    const w = s.canvas.width, h = s.canvas.height;
    if (!s.data || s.w !== w || s.h !== h) {
        s.data = new Uint8ClampedArray(w * h * 4);
        s.w = w;
        s.h = h;
    }
    return s.data;
}

function paintRect(s, x, y, w, h, rgba) {
    const data = pixels(s);
    const x0 = Math.max(0, Math.round(x + s.tx)), y0 = Math.max(0, Math.round(y + s.ty));
    const x1 = Math.min(s.w, Math.round(x + s.tx + w)), y1 = Math.min(s.h, Math.round(y + s.ty + h));
    const a = rgba ? (rgba[3] / 255) * s.alpha : 0;
    for (let yy = y0; yy < y1; yy++) {
        for (let xx = x0; xx < x1; xx++) {
            const i = (yy * s.w + xx) * 4;
            if (!rgba) {
                data[i] = data[i + 1] = data[i + 2] = data[i + 3] = 0;
                continue;
            }
            const da = data[i + 3] / 255;
            const oa = a + da * (1 - a);
            for (let c = 0; c < 3; c++) data[i + c] = oa ? (rgba[c] * a + data[i + c] * da * (1 - a)) / oa : 0;
            data[i + 3] = oa * 255;
        }
    }
}

const stateNames = {
    fillStyle: "#000000", strokeStyle: "#000000", font: "10px sans-serif", textAlign: "start", textBaseline: "alphabetic",
    lineWidth: 1, lineCap: "butt", lineJoin: "miter", miterLimit: 10, shadowBlur: 0, shadowColor: "rgba(0, 0, 0, 0)",
    shadowOffsetX: 0, shadowOffsetY: 0, globalCompositeOperation: "source-over", imageSmoothingEnabled: true,
    direction: "ltr", filter: "none", lineDashOffset: 0,
};
for (const name of Object.keys(stateNames)) {
    accessor(CanvasRenderingContext2D.prototype, name, function () {
        return slot(this).state[name];
    }, function (value) {
        const s = slot(this);
        if (name === "fillStyle" || name === "strokeStyle") {
            if (typeof value === "string") {
                const c = parseColor(value);
                if (!c) return;
                s.state[name] = c[3] === 255 ? "#" + c.slice(0, 3).map((v) => (v < 16 ? "0" : "") + v.toString(16)).join("")
                    : "rgba(" + c.slice(0, 3).join(", ") + ", " + +(c[3] / 255).toFixed(3) + ")";
            } else s.state[name] = value;
            return;
        }
        s.state[name] = typeof stateNames[name] === "number" ? +value : typeof stateNames[name] === "boolean" ? !!value : String(value);
    });
}
accessor(CanvasRenderingContext2D.prototype, "globalAlpha", function () {
    return slot(this).alpha;
}, function (v) {
    v = +v;
    if (v >= 0 && v <= 1) slot(this).alpha = v;
});

function noop() {}
const drawing = {};
for (const name of ["beginPath", "closePath", "moveTo", "lineTo", "bezierCurveTo", "quadraticCurveTo", "arc", "arcTo", "ellipse", "rect", "roundRect",
    "fill", "stroke", "clip", "strokeRect", "strokeText", "drawImage", "setLineDash", "resetTransform", "scale", "rotate", "transform", "setTransform", "drawFocusIfNeeded"])
    drawing[name] = noop;
methods(CanvasRenderingContext2D.prototype, drawing);
methods(CanvasRenderingContext2D.prototype, {
    fillRect(x, y, w, h) { const s = slot(this); paintRect(s, +x, +y, +w, +h, parseColor(s.state.fillStyle)); },
    clearRect(x, y, w, h) { paintRect(slot(this), +x, +y, +w, +h, null); },
    fillText(text, x, y) {
        // No glyphs: a faint mark where the text goes keeps drawings of different texts
        // apart in the pixels that are read back.
        const s = slot(this);
        const str = String(text);
        let h = 0;
        for (let i = 0; i < str.length; i++) h = (h * 31 + str.charCodeAt(i)) >>> 0;
        const c = parseColor(s.state.fillStyle) || [0, 0, 0, 255];
        paintRect(s, +x, +y - 1, Math.max(1, measure(s, str)), 1, [c[0] ^ (h & 7), c[1] ^ ((h >> 3) & 7), c[2] ^ ((h >> 6) & 7), c[3]]);
    },
    measureText(text) {
        const s = slot(this);
        const width = measure(s, String(text));
        const size = fontSize(s);
        return { width, actualBoundingBoxLeft: 0, actualBoundingBoxRight: width, actualBoundingBoxAscent: size * 0.8, actualBoundingBoxDescent: size * 0.2, fontBoundingBoxAscent: size * 0.9, fontBoundingBoxDescent: size * 0.25 };
    },
    save() { const s = slot(this); s.saved.push([Object.assign({}, s.state), s.alpha, s.tx, s.ty]); },
    restore() { const s = slot(this); const p = s.saved.pop(); if (p) [s.state, s.alpha, s.tx, s.ty] = [p[0], p[1], p[2], p[3]]; },
    translate(x, y) { const s = slot(this); s.tx += +x || 0; s.ty += +y || 0; },
    getImageData(x, y, w, h) {
        const s = slot(this);
        const data = pixels(s);
        const out = new Uint8ClampedArray(Math.max(0, w) * Math.max(0, h) * 4);
        for (let yy = 0; yy < h; yy++)
            for (let xx = 0; xx < w; xx++) {
                const sx = x + xx, sy = y + yy;
                if (sx < 0 || sy < 0 || sx >= s.w || sy >= s.h) continue;
                out.set(data.subarray((sy * s.w + sx) * 4, (sy * s.w + sx) * 4 + 4), (yy * w + xx) * 4);
            }
        return new ImageData(out, w, h);
    },
    putImageData(image, x, y) {
        const s = slot(this);
        const data = pixels(s);
        for (let yy = 0; yy < image.height; yy++)
            for (let xx = 0; xx < image.width; xx++) {
                const dx = x + xx, dy = y + yy;
                if (dx < 0 || dy < 0 || dx >= s.w || dy >= s.h) continue;
                data.set(image.data.subarray((yy * image.width + xx) * 4, (yy * image.width + xx) * 4 + 4), (dy * s.w + dx) * 4);
            }
    },
    createImageData(w, h) { return new ImageData(w >>> 0, h >>> 0); },
    createLinearGradient() { return { addColorStop: noop }; },
    createRadialGradient() { return { addColorStop: noop }; },
    createConicGradient() { return { addColorStop: noop }; },
    createPattern() { return {}; },
    getLineDash() { return []; },
    isPointInPath() { return false; },
    isPointInStroke() { return false; },
    getTransform() { const s = slot(this); return { a: 1, b: 0, c: 0, d: 1, e: s.tx, f: s.ty }; },
    getContextAttributes() { return { alpha: true, colorSpace: "srgb", desynchronized: false, willReadFrequently: false }; },
});

function fontSize(s) {
    const m = /([0-9.]+)px/.exec(s.state.font);
    return m ? parseFloat(m[1]) : 10;
}
function measure(s, text) {
    let units = 0;
    for (const ch of text) units += ch.codePointAt(0) > 0x2e80 ? 1 : /[iljt.,:;'|!]/.test(ch) ? 0.28 : /[mwMW@]/.test(ch) ? 0.83 : 0.55;
    return units * fontSize(s);
}

export function canvasContext(canvas, type) {
    const s = slot(canvas);
    if (type !== "2d") return null;
    if (!s.context)
        s.context = create(CanvasRenderingContext2D, { canvas, state: Object.assign({}, stateNames), saved: [], alpha: 1, tx: 0, ty: 0 });
    return s.context;
}

// PNG: a deflate stream with fixed codes and repeats of the previous byte or pixel, which
// is small for the flat areas canvases mostly hold.
const crcTable = (() => {
    const t = new Int32Array(256);
    for (let n = 0; n < 256; n++) {
        let c = n;
        for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        t[n] = c;
    }
    return t;
})();
function crc32(bytes) {
    let c = -1;
    for (let i = 0; i < bytes.length; i++) c = crcTable[(c ^ bytes[i]) & 255] ^ (c >>> 8);
    return (c ^ -1) >>> 0;
}
const lengthBase = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258];
const lengthExtra = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0];
function deflate(data) {
    const out = [];
    let acc = 0, n = 0;
    const bits = (value, count) => {
        acc |= value << n;
        n += count;
        while (n >= 8) {
            out.push(acc & 255);
            acc >>>= 8;
            n -= 8;
        }
    };
    const huff = (code, len) => {
        let r = 0;
        for (let i = 0; i < len; i++) r |= ((code >> i) & 1) << (len - 1 - i);
        bits(r, len);
    };
    const symbol = (v) => {
        if (v < 144) huff(0x30 + v, 8);
        else if (v < 256) huff(0x190 + v - 144, 9);
        else if (v < 280) huff(v - 256, 7);
        else huff(0xc0 + v - 280, 8);
    };
    bits(1, 1);
    bits(1, 2);
    for (let i = 0; i < data.length;) {
        let best = 0, dist = 0;
        for (const d of [1, 4]) {
            if (i < d) continue;
            let l = 0;
            while (l < 258 && i + l < data.length && data[i + l] === data[i + l - d]) l++;
            if (l > best) [best, dist] = [l, d];
        }
        if (best >= 3) {
            let k = lengthBase.length - 1;
            while (lengthBase[k] > best) k--;
            symbol(257 + k);
            bits(best - lengthBase[k], lengthExtra[k]);
            huff(dist === 1 ? 0 : 3, 5);
            i += best;
        } else symbol(data[i++]);
    }
    symbol(256);
    if (n) out.push(acc & 255);
    return out;
}
function png(width, height, rgba) {
    const raw = new Uint8Array((width * 4 + 1) * height);
    for (let y = 0; y < height; y++) raw.set(rgba.subarray(y * width * 4, (y + 1) * width * 4), y * (width * 4 + 1) + 1);
    let a = 1, b = 0;
    for (let i = 0; i < raw.length; i++) {
        a = (a + raw[i]) % 65521;
        b = (b + a) % 65521;
    }
    const z = [0x78, 0x01].concat(deflate(raw), [(b >>> 8) & 255, b & 255, (a >>> 8) & 255, a & 255]);
    const u32 = (v) => [(v >>> 24) & 255, (v >>> 16) & 255, (v >>> 8) & 255, v & 255];
    const chunk = (type, body) => {
        const t = Array.from(type, (c) => c.charCodeAt(0));
        return u32(body.length).concat(t, body, u32(crc32(t.concat(body))));
    };
    const bytes = [137, 80, 78, 71, 13, 10, 26, 10].concat(
        chunk("IHDR", u32(width).concat(u32(height), [8, 6, 0, 0, 0])), chunk("IDAT", z), chunk("IEND", []));
    let s = "";
    for (let i = 0; i < bytes.length; i += 8192) s += String.fromCharCode.apply(null, bytes.slice(i, i + 8192));
    return s;
}

export function canvasDataURL(canvas) {
    const w = canvas.width, h = canvas.height;
    if (!w || !h) return "data:,";
    const s = slot(canvas);
    const data = s.context ? pixels(slot(s.context)) : new Uint8ClampedArray(w * h * 4);
    return "data:image/png;base64," + btoa(png(w, h, data));
}
