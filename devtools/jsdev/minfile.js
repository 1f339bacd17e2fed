// jsc minfile.js -- in.js out.js : minify in.js at level 2 and write the
// result without the leading line feed (as the editor shows it).
load(arguments[2] || "build/src/tools/jsmin.js");
var src = readFile(arguments[0]);
var t0 = preciseTime();
var r;
try {
    r = jsmin("", src, 2);
} catch (e) {
    print("ERROR " + arguments[0] + ": " + e);
    r = "";
}
var ms = (preciseTime() - t0) * 1000;
writeFile(arguments[1], r.charAt(0) === "\n" ? r.slice(1) : r);
print("minify " + arguments[0] + " " + src.length + " -> " + r.length + " chars " + ms.toFixed(1) + " ms");
