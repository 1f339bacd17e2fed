// The program behind "压缩": defines the globals jsmin(comment, input, level) and ret.
import { jsmin } from "../jsmin.js";

globalThis.jsmin = jsmin;
globalThis.ret = "";
