// The benchmark's two calls, loaded after crypto-js, jsbn and the generated RSA key into
// the service and into the node anchor alike: a small one, MD5 of a short string, and a
// heavy one, an RSA signature (PKCS#1 v1.5 over SHA-256 with a 2048-bit key).
function md5(text) {
    return CryptoJS.MD5(text).toString();
}

// As the RSA code in web pages does it (jsbn's BigInteger, the private key's CRT parts).
var rsaKey = null;
function rsaSign(text) {
    if (!rsaKey) {
        var big = function (hex) { return new jsbn.BigInteger(hex, 16); };
        rsaKey = { n: big(RSA_KEY.n), p: big(RSA_KEY.p), q: big(RSA_KEY.q), dp: big(RSA_KEY.dp),
                   dq: big(RSA_KEY.dq), qi: big(RSA_KEY.qi), bytes: RSA_KEY.n.length / 2 };
    }
    var k = rsaKey.bytes;
    var info = "3031300d060960864801650304020105000420" + CryptoJS.SHA256(text).toString();
    var em = new jsbn.BigInteger("0001" + "ff".repeat(k - 3 - info.length / 2) + "00" + info, 16);
    var m1 = em.modPow(rsaKey.dp, rsaKey.p);
    var m2 = em.modPow(rsaKey.dq, rsaKey.q);
    var h = m1.subtract(m2).multiply(rsaKey.qi).mod(rsaKey.p);
    var signature = h.multiply(rsaKey.q).add(m2).toString(16);
    while (signature.length < 2 * k)
        signature = "0" + signature;
    return signature;
}

// The function's own time in milliseconds a call, measured inside the engine.
function ownTime(name, arg, times) {
    var fn = this[name];
    var start = Date.now();
    for (var i = 0; i < times; ++i)
        fn(arg);
    return (Date.now() - start) / times;
}
