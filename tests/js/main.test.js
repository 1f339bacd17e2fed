// Entry of the JavaScript tests (vexo-jstests runs the bundle of it).
import "./lex.test.js";
import "./format.test.js";
import "./minify.test.js";
import "./deob.test.js";
import "./deoblayers.test.js";
import "./confuser.test.js";
import "./sourcescan.test.js";
import { done } from "./harness.js";

done();
