// payload: what the packed fixtures decode to
var 标题 = "解密成功", path = "C:\x5cdir\x5cfile", re = /\w+\s*=\s*(['"])(.*?)\1/g;
function parse(text) {
    var out = {}, m;
    while ((m = re.exec(text)) !== null) out[m[0].split("=")[0].trim()] = m[2];
    return out;
}
var cfg = parse("name = 'vexo', 版本 = \"1.0\" , mode='$1'");
function __result() {
    return [标题, path, JSON.stringify(cfg), typeof parse, "a|b|c".split("|").length].join(";");
}
