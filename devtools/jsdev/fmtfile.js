// jsc fmtfile.js -- in.js out.js : format in.js, apply the editor's CR LF
// fix-up, check that a second pass changes nothing, write the result.
load(arguments[2] || "build/src/tools/beautifier.js");
var src = readFile(arguments[0]);
var t0 = preciseTime();
var once = format(src).split("\n    ").join("\r\n");
var ms = (preciseTime() - t0) * 1000;
var twice = format(once).split("\n    ").join("\r\n");
if (once !== twice) {
    var i = 0;
    while (i < once.length && once[i] === twice[i]) i++;
    print("NOT IDEMPOTENT " + arguments[0] + " at " + i);
    print(JSON.stringify(once.slice(Math.max(0, i - 160), i + 80)));
    print(JSON.stringify(twice.slice(Math.max(0, i - 160), i + 80)));
}
writeFile(arguments[1], once);
print("format " + arguments[0] + " " + src.length + " chars " + ms.toFixed(1) + " ms");
