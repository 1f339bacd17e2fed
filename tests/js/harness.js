// One-line cases for the carried scripts, run by vexo-jstests in JavaScriptCore. The
// programs under test are the ones compiled into the product (carried(name)), each in
// its own global object, called as the program calls them.
let checks = 0, failures = 0, group = "";

export function section(name) {
    group = name;
}

export function check(what, got, want) {
    checks++;
    if (got !== want) {
        failures++;
        print("FAIL " + group + ": " + what + "\n    got  " + JSON.stringify(got) + "\n    want " +
            JSON.stringify(want));
    }
}

// The error a call throws, or "no error".
export function thrown(f) {
    try {
        f();
        return "no error";
    } catch (e) {
        return e;
    }
}

export const B = createRealm(carried("beautifier"));
export const M = createRealm(carried("jsmin"));
export const U = createRealm(carried("unpacker"));
export const S = createRealm(carried("sourcescan"));

// The layout as the "格式化" button shows it: CR LF line ends.
export function formatted(s) {
    return B.format(s, "", "", "", "").split("\n    ").join("\r\n");
}

// Cases are written with "\n": the expected text's line ends become CR LF.
export function expectFormatted(input, output) {
    check(JSON.stringify(input), formatted(input), output.split("\n").join("\r\n"));
}

// The minifier at level 2 (the "压缩" button), without its leading line feed.
export function expectMinified(input, output) {
    check(JSON.stringify(input), M.jsmin("", input, 2).replace(/^\n/, ""), output);
}

export function done() {
    print(checks + " checks, " + failures + " failures");
    globalThis.vexoTestFailures = failures;
}
