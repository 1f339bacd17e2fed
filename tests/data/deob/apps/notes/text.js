export { shout, initials } from "./words.js";
export const version = "notes 1.0";
