// What every context that runs the user's code gets before it: the console, the timers
// and the virtual clock. Evaluated as the body of a function of `vexoHost`, the host's
// private object (see ScriptRuntime); it leaves no name of its own in the global scope.
// Later parts of the environment find the helpers on vexoHost.

import { installClock } from "../env/clock.js";
import { installConsole } from "../env/console.js";
import { define, markNative, method, installNativeToString } from "../env/native.js";
import { installTimers } from "../env/timers.js";
import { formatArgs, valueText } from "../env/format.js";

/* global vexoHost */
const host = vexoHost;
installNativeToString();
const clock = installClock(host);
installConsole(host, clock);
installTimers(host);
host.markNative = markNative;
host.define = define;
host.method = method;
host.format = formatArgs;
host.preview = (v) => valueText(v, 1);
