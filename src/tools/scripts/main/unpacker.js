// The program behind "eval解密", also loaded into the main engine beside the user's
// script: defines exactly the globals its callers name (see ../unpacker.js).
import * as unpacker from "../unpacker.js";

globalThis.P_A_C_K_E_R = unpacker.P_A_C_K_E_R;
globalThis.EscapedBookmarklet = unpacker.EscapedBookmarklet;
globalThis.JavascriptObfuscator = unpacker.JavascriptObfuscator;
globalThis.trim_leading_comments = unpacker.trim_leading_comments;
globalThis.unpacker_filter = unpacker.unpacker_filter;
