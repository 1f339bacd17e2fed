// The size limit of the code a run handles: the script itself (checked by the host before
// the run) and whatever a layer makes of it. A layer whose code passes the limit ends the
// run, since a packer that grows its payload at every layer would otherwise take all
// memory.
const mebibyte = 1024 * 1024;
let maxBytes = Infinity;

export class TooLarge extends Error {}

export function setSizeLimit(bytes) {
    maxBytes = bytes > 0 ? bytes : Infinity;
}

export function utf8Length(s) {
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

// Sizes in messages: MB with one decimal, rounded up (a text one byte over the limit
// never reads as the limit itself).
export function megabytes(bytes) {
    const tenths = Math.ceil(bytes * 10 / mebibyte);
    return tenths % 10 === 0 ? String(tenths / 10) : (tenths / 10).toFixed(1);
}

// The UTF-8 size of a text that passes the limit; 0 for one within it.
export function excess(text) {
    if (text.length * 3 <= maxBytes) return 0;
    const bytes = utf8Length(text);
    return bytes > maxBytes ? bytes : 0;
}

export function tooLarge(layer, bytes) {
    return new TooLarge("「" + layer + "」解出的代码过大（" + megabytes(bytes) + " MB），解密最多支持 " +
        megabytes(maxBytes) + " MB，已停止");
}
