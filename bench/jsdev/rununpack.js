// jsc rununpack.js -- packed.js [out.js] : run unpacker_filter once.
load("build/src/tools/unpacker.js");
var r = unpacker_filter(readFile(arguments[0]), "", "", "", "");
if (arguments[1]) writeFile(arguments[1], r);
