// Time as the host's virtual clock tells it: Date.now(), new Date(), Date() and
// performance.now() move on when a timer's time comes (a setTimeout(f, 1000) runs at once,
// 1000 ms later by these clocks). With fixed time and random numbers the clock starts at
// the chosen moment and Math.random() follows the chosen seed, so a run can be repeated.

import { define, markNative, method } from "./native.js";

export function installClock(host) {
    const RealDate = Date;
    const now = () => Math.floor(host.now());
    const construct = Reflect.construct;

    // Named Date, as the engine's own is.
    const VirtualDate = {
        Date: function (...args) {
            if (new.target === undefined) return new RealDate(now()).toString();
            return construct(RealDate, args.length ? args : [now()], new.target);
        },
    }.Date;
    Object.defineProperty(VirtualDate, "length", { value: 7 });
    Object.defineProperty(VirtualDate, "prototype", { value: RealDate.prototype, writable: false });
    markNative(VirtualDate, "Date");
    define(VirtualDate, "now", method("now", 0, now));
    define(VirtualDate, "parse", RealDate.parse);
    define(VirtualDate, "UTC", RealDate.UTC);
    define(RealDate.prototype, "constructor", VirtualDate);
    define(globalThis, "Date", VirtualDate);

    const clock = {
        performanceNow: () => host.performanceNow(),
    };
    if (typeof globalThis.performance === "undefined") {
        const performance = {};
        define(performance, "now", method("now", 0, () => host.performanceNow()));
        define(performance, "timeOrigin", host.timeOrigin);
        define(globalThis, "performance", performance);
    }
    if (host.fixed) define(Math, "random", method("random", 0, () => host.random()));
    return clock;
}
