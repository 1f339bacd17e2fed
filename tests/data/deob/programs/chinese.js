// Chinese text: counting, reversing, mapping digits, templates.
var 问候 = "你好，世界！欢迎使用调试工具。";
var digits = "零一二三四五六七八九";
function toChineseNumber(n) { return String(n).split("").map(function (d) { return digits[+d]; }).join(""); }
log(问候);
log("长度：" + 问候.length);
log(toChineseNumber(2024) + "年");
log(Array.from("春夏秋冬").reverse().join("、"));
var 城市 = { 北京: 2154, 上海: 2428, 广州: 1868 };
log(Object.keys(城市).map(function (k) { return k + "=" + 城市[k] + "万人"; }).join("；"));
log(`模板：${问候.slice(0, 2)}${"😀"}`);
log(encodeURIComponent("测试"));
