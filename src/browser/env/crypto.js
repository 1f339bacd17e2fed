// crypto: getRandomValues and randomUUID from the host's random source (which the fixed
// seed option makes repeatable), and subtle.digest computed by the host.
import { create, defineInterface, getters, methods, slot } from "./native.js";
import { bytesOf, domError } from "./text.js";

export const Crypto = defineInterface("Crypto", null);
export const SubtleCrypto = defineInterface("SubtleCrypto", null);
export const CryptoKey = defineInterface("CryptoKey", null);

const integerArrays = ["Int8Array", "Uint8Array", "Uint8ClampedArray", "Int16Array", "Uint16Array", "Int32Array", "Uint32Array", "BigInt64Array", "BigUint64Array"];

function hexBytes(hex) {
    const out = new Uint8Array(hex.length / 2);
    for (let i = 0; i < out.length; i++) out[i] = parseInt(hex.substr(i * 2, 2), 16);
    return out;
}

// fill(view): fills a Uint8Array with random bytes; digest(name, binary): hex.
export function makeCrypto(fill, digest) {
    const subtle = create(SubtleCrypto, {});
    const crypto = create(Crypto, { subtle });
    getters(Crypto.prototype, { subtle: (s) => s.subtle });
    methods(Crypto.prototype, {
        getRandomValues(array) {
            slot(this);
            const tag = Object.prototype.toString.call(array).slice(8, -1);
            if (!ArrayBuffer.isView(array) || !integerArrays.includes(tag))
                throw domError("Failed to execute 'getRandomValues' on 'Crypto': The provided ArrayBufferView is of type '" + tag + "', which is not an integer array type.", "TypeMismatchError");
            if (array.byteLength > 65536)
                throw domError("Failed to execute 'getRandomValues' on 'Crypto': The ArrayBufferView's byte length (" + array.byteLength + ") exceeds the number of bytes of entropy available via this API (65536).", "QuotaExceededError");
            fill(new Uint8Array(array.buffer, array.byteOffset, array.byteLength));
            return array;
        },
        randomUUID() {
            slot(this);
            const b = new Uint8Array(16);
            fill(b);
            b[6] = (b[6] & 0x0f) | 0x40;
            b[8] = (b[8] & 0x3f) | 0x80;
            const h = Array.from(b, (x) => (x < 16 ? "0" : "") + x.toString(16)).join("");
            return h.slice(0, 8) + "-" + h.slice(8, 12) + "-" + h.slice(12, 16) + "-" + h.slice(16, 20) + "-" + h.slice(20);
        },
    });
    const names = { "SHA-1": "SHA-1", "SHA-256": "SHA-256", "SHA-384": "SHA-384", "SHA-512": "SHA-512" };
    const unsupported = (op) => function () {
        slot(this);
        return Promise.reject(domError("Failed to execute '" + op + "' on 'SubtleCrypto': Algorithm: Unrecognized name", "NotSupportedError"));
    };
    methods(SubtleCrypto.prototype, {
        digest(algorithm, data) {
            slot(this);
            const name = names[String(typeof algorithm === "object" && algorithm ? algorithm.name : algorithm).toUpperCase()];
            if (!name) return Promise.reject(domError("Failed to execute 'digest' on 'SubtleCrypto': Algorithm: Unrecognized name", "NotSupportedError"));
            const bytes = bytesOf(data);
            if (!bytes) return Promise.reject(new TypeError("Failed to execute 'digest' on 'SubtleCrypto': The provided value is not of type '(ArrayBuffer or ArrayBufferView)'."));
            let binary = "";
            for (let i = 0; i < bytes.length; i += 8192) binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
            return Promise.resolve(hexBytes(digest(name, binary)).buffer);
        },
        encrypt: unsupported("encrypt"), decrypt: unsupported("decrypt"), sign: unsupported("sign"), verify: unsupported("verify"),
        generateKey: unsupported("generateKey"), deriveKey: unsupported("deriveKey"), deriveBits: unsupported("deriveBits"),
        importKey: unsupported("importKey"), exportKey: unsupported("exportKey"), wrapKey: unsupported("wrapKey"), unwrapKey: unsupported("unwrapKey"),
    });
    return crypto;
}
