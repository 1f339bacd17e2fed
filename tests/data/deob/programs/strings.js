// String handling: case, padding, splitting, reversing, counting.
function titleCase(s) {
    return s.split(" ").map(function (w) { return w.charAt(0).toUpperCase() + w.slice(1).toLowerCase(); }).join(" ");
}
function reverseWords(s) { return s.split(/\s+/).reverse().join(" "); }
function countVowels(s) { var n = 0; for (var i = 0; i < s.length; i++) if ("aeiouAEIOU".indexOf(s[i]) >= 0) n++; return n; }
var sample = "the quick brown fox jumps over the lazy dog";
log(titleCase(sample));
log(reverseWords(sample));
log(countVowels(sample));
log("abc".padStart(6, "*") + "|" + "abc".padEnd(6, "-"));
log(sample.replace(/o/g, "0").toUpperCase());
log(["x", "y", "z"].join("+") + "=" + "xyz".length);
