// Hashes: FNV-1a, CRC-32 and a tiny string checksum, written as signing code often is.
function fnv1a(str) {
    var h = 0x811c9dc5;
    for (var i = 0; i < str.length; i++) {
        h ^= str.charCodeAt(i);
        h = (h + ((h << 1) + (h << 4) + (h << 7) + (h << 8) + (h << 24))) >>> 0;
    }
    return ("00000000" + h.toString(16)).slice(-8);
}
var crcTable = (function () {
    var t = [];
    for (var n = 0; n < 256; n++) {
        var c = n;
        for (var k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        t[n] = c >>> 0;
    }
    return t;
})();
function crc32(str) {
    var crc = 0 ^ -1;
    for (var i = 0; i < str.length; i++) crc = (crc >>> 8) ^ crcTable[(crc ^ str.charCodeAt(i)) & 0xff];
    return ((crc ^ -1) >>> 0).toString(16);
}
function sign(params) {
    var keys = Object.keys(params).sort();
    var text = keys.map(function (k) { return k + "=" + params[k]; }).join("&") + "&key=secret";
    return fnv1a(text) + crc32(text);
}
log(fnv1a("hello world"));
log(crc32("The quick brown fox jumps over the lazy dog"));
log(sign({ b: 2, a: "x", time: 1700000000 }));
