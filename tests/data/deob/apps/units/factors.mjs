export const factors = {
    m: { kind: "length", scale: 1 }, km: { kind: "length", scale: 1000 }, cm: { kind: "length", scale: 0.01 },
    g: { kind: "mass", scale: 1 }, kg: { kind: "mass", scale: 1000 },
    min: { kind: "time", scale: 60 }, h: { kind: "time", scale: 3600 },
};
