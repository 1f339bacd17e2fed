// Regular expressions: groups, named groups, global replace, sticky and unicode flags.
var text = "Order #123 shipped 2024-03-15; order #456 pending 2024-04-01.";
var ids = [];
text.replace(/#(\d+)/g, function (m, id) { ids.push(+id); return m; });
log(ids.join("+") + "=" + ids.reduce(function (a, b) { return a + b; }, 0));
var m = /(?<y>\d{4})-(?<mo>\d{2})-(?<d>\d{2})/.exec(text);
log(m.groups.d + "/" + m.groups.mo + "/" + m.groups.y);
log(text.replace(/\b(\w)(\w*)\b/g, function (all, a, b) { return a.toUpperCase() + b; }).slice(0, 30));
log("a1b22c333".split(/\d+/).join("|"));
log(/^[\u4e00-\u9fa5]+$/.test("中文") + "," + /^\p{L}+$/u.test("héllo"));
log("x-y_z".replace(/[-_](.)/g, (s, c) => c.toUpperCase()));
