// The program behind "格式化": defines the global format(source, ...).
import { format } from "../beautifier.js";

globalThis.format = format;
