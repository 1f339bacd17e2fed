// ES5: closures, prototypes, switch, exceptions, arguments
var log = [];

function Counter(start) {
    this.value = start || 0;
}
Counter.prototype.next = function () { return ++this.value; };
Counter.prototype.reset = function () { var old = this.value; this.value = 0; return old; };

function makeAdders(n) {
    var out = [];
    for (var i = 0; i < n; i++) {
        out.push((function (k) { return function (x) { return x + k; }; })(i));
    }
    return out;
}

function classify(v) {
    switch (typeof v) {
        case "number":
            if (v !== v) return "nan";
            return v < 0 ? "negative" : v === 0 ? "zero" : "positive";
        case "string":
        case "boolean":
            return "primitive:" + typeof v;
        default:
            if (v === null) return "null";
            return Object.prototype.toString.call(v);
    }
}

function sum() {
    var t = 0, i = arguments.length;
    while (i--) t += arguments[i];
    return t;
}

function risky(x) {
    try {
        if (x > 2) throw new RangeError("too big: " + x);
        return "ok " + x;
    } catch (e) {
        return e.name + "/" + e.message;
    } finally {
        log.push("finally " + x);
    }
}

var c = new Counter(5);
c.next(); c.next();
var adders = makeAdders(4), total = 0
for (var j = 0; j < adders.length; j++) total += adders[j](10)

var obj = { a: 1, b: { c: [1, 2, { d: "e" }] }, "quoted key": true, 3: "three" }
var keys = []
for (var k in obj) if (obj.hasOwnProperty(k)) keys.push(k)

function __result() {
    return [c.value, c.reset(), total, classify(-3), classify(0 / 0), classify("s"), classify(null),
        classify([]), sum(1, 2, 3, 4), risky(1), risky(5), log.join(","), keys.sort().join("|"),
        JSON.stringify(obj)].join(";");
}
