const labels = { m: "米", km: "千米", cm: "厘米", g: "克", kg: "千克", min: "分钟", h: "小时" };
exports.label = (u) => labels[u] || u;
