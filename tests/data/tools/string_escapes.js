// Strings with escapes and line continuations
var s1 = "tab\there", s2 = 'quote\'s', s3 = "dq\"", s4 = "back\\slash", s5 = "a\x5cn";
var s6 = "line one\
line two", s7 = 'continued \
  with spaces';
var s8 = "\u00e9\u4e2d\x41\101\0", s9 = "\v\f\b\r\n", s10 = '\a\c\d', s11 = "\u{1F600}";
var s12 = "// not a comment", s13 = '/* nor this */', s14 = "`", s15 = '${no}', s16 = "\/";
var s17 = "  four leading spaces", s18 = "multiple    inner    spaces";
var raw = "	literal tab inside";

function __result() {
    return JSON.stringify([s1, s2, s3, s4, s5, s6, s7, s8, s9, s10, s11, s12, s13, s14, s15, s16, s17, s18, raw]);
}
