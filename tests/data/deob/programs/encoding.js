// Encoding helpers: base64, hex, UTF-8 bytes, Caesar and XOR ciphers.
var B64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
function utf8Bytes(s) { return Array.from(unescape(encodeURIComponent(s)), function (c) { return c.charCodeAt(0); }); }
function base64(bytes) {
    var out = "";
    for (var i = 0; i < bytes.length; i += 3) {
        var n = (bytes[i] << 16) | ((bytes[i + 1] || 0) << 8) | (bytes[i + 2] || 0);
        out += B64[n >> 18 & 63] + B64[n >> 12 & 63] + (i + 1 < bytes.length ? B64[n >> 6 & 63] : "=") + (i + 2 < bytes.length ? B64[n & 63] : "=");
    }
    return out;
}
function hex(bytes) { return bytes.map(function (b) { return (b < 16 ? "0" : "") + b.toString(16); }).join(""); }
function caesar(s, k) { return s.replace(/[a-z]/g, function (c) { return String.fromCharCode((c.charCodeAt(0) - 97 + k) % 26 + 97); }); }
function xor(s, key) { var r = []; for (var i = 0; i < s.length; i++) r.push(s.charCodeAt(i) ^ key.charCodeAt(i % key.length)); return r; }
log(base64(utf8Bytes("Hello, 世界")));
log(hex(utf8Bytes("abc€")));
log(caesar("attack at dawn", 13));
log(hex(xor("secret", "k3y")));
