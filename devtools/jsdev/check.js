// Dev check, run from the repository root:
//   jsc devtools/jsdev/check.js -- tests/data/tools/*.js tests/data/tools/packed/*.js
// Every ordinary fixture is run before and after format / minify in fresh
// global objects and its __result() compared; format must be idempotent
// after the editor's CR LF fix-up.  Packed fixtures are unpacked as the
// "eval解密" button does and compared with their .expected.js.
var DIR = "build/src/tools/";
var BEAUTIFIER = readFile(DIR + "beautifier.js");
var MINIFIER = readFile(DIR + "jsmin.js");
var UNPACKER = readFile(DIR + "unpacker.js");
var failures = 0, checks = 0;

function fail(file, what, detail) {
    failures++;
    print("FAIL " + file + ": " + what + (detail ? "\n    " + detail : ""));
}
function expect(file, what, ok, detail) {
    checks++;
    if (!ok) fail(file, what, detail);
}
// __result() of a script in a fresh global object, or "THROWS ..." when it fails.
function resultOf(code) {
    var realm = $.createRealm();
    try {
        realm.evalScript(code);
        return String(realm.global.__result());
    } catch (e) {
        return "THROWS " + e;
    }
}
// The formatting routine as the program runs it: private instance, fix-up.
function formatted(code) {
    var realm = $.createRealm();
    realm.evalScript(BEAUTIFIER);
    var raw = realm.global.format(code, "", "", "", "");
    return { raw: raw, text: raw.split("\n    ").join("\r\n") };
}
function minified(code) {
    var realm = $.createRealm();
    realm.evalScript(MINIFIER);
    var r = realm.global.jsmin("", code, 2);
    return r.charAt(0) === "\n" ? r.slice(1) : r; // the editor drops the first empty line
}
function unpacked(code) {
    var realm = $.createRealm();
    realm.evalScript(UNPACKER);
    return realm.global.unpacker_filter(code, "", "", "", "");
}
function firstDifference(a, b) {
    var i = 0;
    while (i < a.length && a[i] === b[i]) i++;
    return "at " + i + ": " + JSON.stringify(a.slice(Math.max(0, i - 60), i + 40)) + " vs " +
        JSON.stringify(b.slice(Math.max(0, i - 60), i + 40));
}
// Every line break of the raw result must carry the four-space base indent.
function contractHolds(raw) {
    return !/\n(?! {4})/.test(raw) && !/(^|\n) *$/.test(raw.replace(/^$/, "x"));
}

function checkPlain(file) {
    var src = readFile(file);
    var base = resultOf(src);
    expect(file, "runs", base.indexOf("THROWS") !== 0, base);
    var f1 = formatted(src), f2 = formatted(f1.text);
    expect(file, "format keeps __result", resultOf(f1.text) === base, resultOf(f1.text) + "\n    " + base);
    expect(file, "format is idempotent", f1.text === f2.text, firstDifference(f1.text, f2.text));
    expect(file, "format output contract", contractHolds(f1.raw), JSON.stringify(f1.raw.slice(-80)));
    var m = minified(src);
    expect(file, "minify keeps __result", resultOf(m) === base, resultOf(m) + "\n    " + base);
    expect(file, "minify is stable", minified(m) === m, firstDifference(m, minified(m)));
    expect(file, "format of minified keeps __result", resultOf(formatted(m).text) === base);
    expect(file, "minify of formatted keeps __result", resultOf(minified(f1.text)) === base);
    expect(file, "minified smaller", m.length < src.length);
}

function checkPacked(file) {
    var src = readFile(file);
    var expectedFile = file.replace(/\.js$/, ".expected.js");
    var expected;
    try { expected = readFile(expectedFile); } catch (e) { expected = null; }
    var u = unpacked(src);
    expect(file, "unpacked", u !== src);
    if (expected !== null) {
        expect(file, "unpacked text equals " + expectedFile, u === expected, firstDifference(u, expected));
        var want = resultOf(expected);
        expect(file, "expected text runs", want.indexOf("THROWS") !== 0, want);
        var direct = resultOf(src);
        if (direct.indexOf("THROWS") !== 0) expect(file, "packed and unpacked agree", direct === want, direct + " vs " + want);
        expect(file, "formatted unpacked text keeps __result", resultOf(formatted(u).text) === want);
    }
}

var t0 = preciseTime();
for (var i = 0; i < arguments.length; i++) {
    var f = arguments[i];
    if (/\.expected\.js$/.test(f)) continue;
    if (/\/packed\//.test(f)) checkPacked(f);
    else checkPlain(f);
}
print(checks + " checks, " + failures + " failures (" + ((preciseTime() - t0) * 1000).toFixed(0) + " ms)");
if (failures) throw new Error("check failed");
