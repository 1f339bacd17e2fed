import { factors } from "./factors.mjs";
export function convert(value, from, to) {
    const a = factors[from], b = factors[to];
    if (!a || !b || a.kind !== b.kind) throw new TypeError(`cannot convert ${from} to ${to}`);
    return Math.round((value * a.scale) / b.scale * 1000) / 1000;
}
export const known = () => Object.keys(factors);
