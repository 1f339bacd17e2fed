// jsc runfmt.js -- file : format the file once (for process timing).
load("src/tools/scripts/beautifier.js");
var r = format(readFile(arguments[0]));
if (arguments[1]) writeFile(arguments[1], r);
