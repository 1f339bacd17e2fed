// JSON: building, stringifying with replacer and indentation, parsing with a reviver.
var data = { name: "widget", tags: ["a", "b"], price: 9.5, nested: { ok: true, none: null } };
log(JSON.stringify(data));
log(JSON.stringify(data, ["name", "price"]));
log(JSON.stringify(data.nested, null, 2).split("\n").length);
var back = JSON.parse('{"d":"2024-01-02","n":"42"}', function (k, v) { return k === "n" ? Number(v) * 2 : v; });
log(back.n + back.d);
try { JSON.parse("{bad"); } catch (e) { log("error: " + e.name); }
