// A small state machine and event emitter, as page scripts often contain.
function Emitter() { this.handlers = {}; }
Emitter.prototype.on = function (name, fn) { (this.handlers[name] = this.handlers[name] || []).push(fn); return this; };
Emitter.prototype.emit = function (name) {
    var args = Array.prototype.slice.call(arguments, 1), hs = this.handlers[name] || [];
    for (var i = 0; i < hs.length; i++) hs[i].apply(this, args);
    return hs.length;
};
var transitions = { idle: { start: "running" }, running: { pause: "paused", stop: "idle" }, paused: { resume: "running", stop: "idle" } };
var machine = { state: "idle", history: [] };
var bus = new Emitter();
bus.on("event", function (e) {
    var next = transitions[machine.state][e];
    machine.history.push(machine.state + "-" + e + "->" + (next || "x"));
    if (next) machine.state = next;
});
["start", "pause", "start", "resume", "stop", "stop"].forEach(function (e) { bus.emit("event", e); });
log(machine.history.join(" "));
log(machine.state + " " + bus.emit("none"));
