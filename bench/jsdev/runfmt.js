// jsc runfmt.js -- file : format the file once (for process timing).
load("build/src/tools/beautifier.js");
var r = format(readFile(arguments[0]));
if (arguments[1]) writeFile(arguments[1], r);
