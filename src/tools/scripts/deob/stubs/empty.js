// Node built-ins the bundled libraries name but never need in the tool engine.
module.exports = {};
