export const shout = (s) => s + "!";
export function initials(s) {
    return s.split(" ").map((w) => w[0].toUpperCase()).join("");
}
