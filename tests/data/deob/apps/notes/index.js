// Notes: ES modules with named, default and re-exported bindings.
import Store from "./store.js";
import { parseNote, tagsOf } from "./parse.js";
import * as text from "./text.js";

const store = new Store();
for (const line of ["买菜 #家务 #今天", "写报告 #工作", "跑步 #健康 #今天", "回邮件 #工作 #今天"]) {
    store.add(parseNote(line));
}
log(`notes: ${store.size}`);
log("today: " + store.tagged("今天").map((n) => n.title).join(", "));
log("tags: " + tagsOf(store.all()).join(" "));
log(text.shout(store.all()[1].title) + " / " + text.initials("hello modular world"));
log(text.version);
