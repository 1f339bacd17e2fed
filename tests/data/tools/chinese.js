// 中文字符串、中文标识符和注释
var 问候 = "你好，世界！";   // 行尾注释：不能丢
var 数量 = 3;
/* 块注释
   第二行 */
function 重复(文本, 次数) {
    var 结果 = [];
    for (var 序号 = 0; 序号 < 次数; 序号++) 结果.push(文本 + 序号);
    return 结果.join("、");
}
const 对象 = { 名字: "张三", "年龄": 30, 城市: '北京', 说话() { return `我是${this.名字}` } };
var \u0061bc = "escaped identifier", \u{62}cd = 'braced escape';
var 混合Name_1 = 问候.length + 数量;
var 全角 = "，。！？“”‘’（）【】";
var emoji = "😀👍", len = emoji.length;
var escaped = "\u4e2d\u6587" + '\x41' + "\u{1F600}";
var 正则 = /[\u4e00-\u9fa5]+/g;
var 匹配 = "abc中文def汉字".match(正则).join("|");

function __result() {
    return [问候, 重复("项", 数量), 对象.说话(), 对象.年龄, abc, bcd, 混合Name_1, 全角, len, escaped, 匹配].join("；");
}
