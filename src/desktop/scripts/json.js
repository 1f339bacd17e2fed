// The update record's reader. The record comes from the network, so its text is only
// ever handed to JSON.parse: nothing in it is run as code.
var myobj;

// Parses the text, keeps the value in myobj and returns it.
function parse(text) {
    myobj = JSON.parse(String(text));
    return myobj;
}

// The JSON text of a value.
function tostring(value) {
    return JSON.stringify(value);
}

// The names of the value's enumerable members, joined by ",".
function GetAllKey(value) {
    var names = [];
    for (var name in value)
        names.push(name);
    return names.join(",");
}

// The length of the array at a path below the parsed value; 0 for anything that is not
// an array (a text has a length too, but it is no list).
function arrayLengthAt(root, path) {
    var value = valueAt(root, path);
    return Array.isArray(value) ? value.length : 0;
}

// The member that a path such as "info.download[0]" names, or undefined. Only own
// members are followed, so a path never reaches into prototypes.
function valueAt(root, path) {
    var parts = String(path).match(/[^.\[\]]+/g) || [];
    var value = root;
    for (var i = 0; i < parts.length; i++) {
        if (value === null || typeof value !== "object" ||
            !Object.prototype.hasOwnProperty.call(value, parts[i]))
            return undefined;
        value = value[parts[i]];
    }
    return value;
}
