// jsc runmin.js -- file : minify the file once (for process timing).
load("build/src/tools/jsmin.js");
var r = jsmin("", readFile(arguments[0]), 2);
if (arguments[1]) writeFile(arguments[1], r);
