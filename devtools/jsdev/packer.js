// Dev tool: a small packer that writes code in the eval(function(p,a,c,k,e,d)
// form, used to make unpacker fixtures and the 1 MB timing input.
//
//   jsc packer.js -- in.js out.js [radix] [unused] [r|d] [outer] [times] [loop]
//
// radix 2..62 encodes word numbers with 0-9a-zA-Z, 63..95 with the characters
// \xa1.. ("high ASCII").  Every word of the code goes into the dictionary,
// so the decoder can look each encoded word up.  "r" or "d" names the last
// parameter; "outer" writes eval((function(...){...})(...)); times > 1 packs
// the packed text again; "loop" writes the older decoder that replaces one
// dictionary word at a time (radix up to 62).

var DIGITS = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

function highDigits(radix) {
    var s = "";
    for (var i = 0; i < radix; i++) s += String.fromCharCode(0xa1 + i);
    return s;
}
function escapeDigits(s) {
    return s.replace(/[\u00a1-\u00ff]/g, function (ch) {
        return "\\x" + ch.charCodeAt(0).toString(16);
    });
}
function quote(s) {
    return "'" + s.replace(/\\/g, "\\\\").replace(/'/g, "\\'").replace(/\n/g, "\\n")
        .replace(/\r/g, "\\r").replace(/\u2028/g, "\\u2028").replace(/\u2029/g, "\\u2029") + "'";
}

function pack(code, radix, last, outer, style) {
    if (radix < 2 || radix > 95) throw new Error("radix out of range");
    var high = radix > 62;
    var digits = high ? highDigits(radix) : DIGITS.slice(0, radix);
    if (high && /[\u00a1-\u00ff]/.test(code)) throw new Error("code holds characters used as digits");
    function enc(n) {
        var s = "";
        do {
            s = digits.charAt(n % radix) + s;
            n = Math.floor(n / radix);
        } while (n > 0);
        return s;
    }
    // count the words, most frequent first so they get the short codes
    var counts = Object.create(null), words = [];
    code.replace(/\w+/g, function (w) {
        if (counts[w] === undefined) { counts[w] = 0; words.push(w); }
        counts[w]++;
        return w;
    });
    words.sort(function (x, y) { return counts[y] - counts[x] || (x < y ? -1 : x > y ? 1 : 0); });
    // A word that reads as the code of some slot must sit in that slot, or
    // the one-word-at-a-time decoder would replace it a second time.
    var slots = new Array(words.length), rest = [], i;
    var decode = Object.create(null);
    for (i = 0; i < words.length; i++) decode[enc(i)] = i;
    for (i = 0; i < words.length; i++) {
        var at = decode[words[i]];
        if (at !== undefined) slots[at] = words[i];
        else rest.push(words[i]);
    }
    for (i = 0; i < slots.length; i++) if (slots[i] === undefined) slots[i] = rest.shift();
    words = slots;
    var index = Object.create(null);
    for (i = 0; i < words.length; i++) index[words[i]] = i;
    var body = code.replace(/\w+/g, function (w) { return enc(index[w]); });
    var dict = [];
    for (i = 0; i < words.length; i++) dict.push(enc(i) === words[i] ? "" : words[i]);

    var match = high ? "[\\xa1-\\xff]+" : "\\w+";
    if (style === "loop" && !high) {
        // older decoder shape: one regular expression per dictionary word
        fn = "function(p,a,c,k,e," + last + "){e=function(c){return c.toString(a)};" +
            "if(a>36)e=function(n){return(n<a?'':e(n/a|0))+'" + digits + "'.charAt(n%a)};" +
            "while(c--)if(k[c])p=p.replace(new RegExp('\\\\b'+e(c)+'\\\\b','g'),k[c]);return p}";
    }
    else var fn = "function(p,a,c,k,e," + last + "){e=function(n){return(n<a?'':e(n/a|0))+'" +
        escapeDigits(digits) + "'.charAt(n%a)};" + last + "={};while(c--)" + last + "[e(c)]=k[c]||e(c);" +
        "return p.replace(/" + match + "/g,function(w){return " + last + "[w]})}";
    var args = "(" + quote(body) + "," + radix + "," + words.length + "," + quote(dict.join("|")) +
        ".split('|'),0,{})";
    return outer ? "eval((" + fn + ")" + args + ")" : "eval(" + fn + args + ")";
}

if (typeof arguments !== "undefined" && arguments.length >= 2) {
    var text = readFile(arguments[0]);
    var radix = arguments[2] ? Number(arguments[2]) : 62;
    var last = arguments[4] || "d";
    var times = arguments[6] ? Number(arguments[6]) : 1;
    for (var t = 0; t < times; t++) text = pack(text, radix, last, arguments[5] === "outer", arguments[7]);
    writeFile(arguments[1], text);
    print("packed " + text.length + " chars");
}
