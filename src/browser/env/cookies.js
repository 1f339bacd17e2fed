// The cookie jar behind document.cookie, with the rules of RFC 6265 as browsers apply
// them to scripts: a write sets or replaces one cookie (by name, domain and path) and an
// expiry in the past deletes it; a read lists the cookies whose domain and path match the
// page, newest paths first, without HttpOnly ones (scripts cannot set those at all).

function isIp(host) {
    return /^[0-9.]+$/.test(host) || host.startsWith("[");
}

function domainMatches(host, domain) {
    if (host === domain) return true;
    return !isIp(host) && host.endsWith("." + domain);
}

function pathMatches(requestPath, cookiePath) {
    if (requestPath === cookiePath) return true;
    if (!requestPath.startsWith(cookiePath)) return false;
    return cookiePath.endsWith("/") || requestPath[cookiePath.length] === "/";
}

// The cookie-date algorithm of RFC 6265 (5.1.1): a time, a day, a month and a year in
// any order among delimiters; NaN when one is missing or out of range.
const months = ["jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"];
export function cookieDate(text) {
    let time = null, day = null, month = null, year = null;
    for (const token of String(text).split(/[\x09\x20-\x2f\x3b-\x40\x5b-\x60\x7b-\x7e]+/)) {
        if (token === "") continue;
        let m;
        if (time === null && (m = /^([0-9]{1,2}):([0-9]{1,2}):([0-9]{1,2})(?:[^0-9]|$)/.exec(token))) time = [+m[1], +m[2], +m[3]];
        else if (day === null && (m = /^([0-9]{1,2})(?:[^0-9]|$)/.exec(token))) day = +m[1];
        else if (month === null && months.indexOf(token.slice(0, 3).toLowerCase()) >= 0) month = months.indexOf(token.slice(0, 3).toLowerCase());
        else if (year === null && (m = /^([0-9]{2,4})(?:[^0-9]|$)/.exec(token))) year = +m[1];
    }
    if (year !== null && year >= 70 && year <= 99) year += 1900;
    if (year !== null && year >= 0 && year <= 69) year += 2000;
    if (time === null || day === null || month === null || year === null || day < 1 || day > 31 || year < 1601 ||
        time[0] > 23 || time[1] > 59 || time[2] > 59) return NaN;
    return utcMs(year, month + 1, day) + ((time[0] * 60 + time[1]) * 60 + time[2]) * 1000;
}

// Milliseconds since 1970 at midnight UTC of a calendar day (proleptic Gregorian).
function utcMs(y, m, d) {
    y -= m <= 2 ? 1 : 0;
    const era = Math.floor(y / 400);
    const yoe = y - era * 400;
    const doy = Math.floor((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5) + d - 1;
    const doe = yoe * 365 + Math.floor(yoe / 4) - Math.floor(yoe / 100) + doy;
    return (era * 146097 + doe - 719468) * 86400000;
}

export function defaultPath(pathname) {
    if (!pathname.startsWith("/")) return "/";
    const last = pathname.lastIndexOf("/");
    return last <= 0 ? "/" : pathname.slice(0, last);
}

export class CookieJar {
    constructor() {
        this.cookies = [];
        this.serial = 0;
    }

    // page: { host, path, secure }; now: milliseconds.
    set(text, page, now) {
        const parts = String(text).split(";");
        const pair = parts[0];
        const eq = pair.indexOf("=");
        const name = (eq < 0 ? "" : pair.slice(0, eq)).trim();
        const value = (eq < 0 ? pair : pair.slice(eq + 1)).trim();
        if (name === "" && value === "") return;
        if (name.length + value.length > 4096 || /[\x00-\x08\x0a-\x1f\x7f]/.test(name + value)) return;
        const cookie = { name, value, domain: page.host, hostOnly: true, path: defaultPath(page.path), secure: false, expires: Infinity };
        let maxAge = null;
        for (let i = 1; i < parts.length; i++) {
            const a = parts[i];
            const aeq = a.indexOf("=");
            const key = (aeq < 0 ? a : a.slice(0, aeq)).trim().toLowerCase();
            const val = aeq < 0 ? "" : a.slice(aeq + 1).trim();
            if (key === "expires") {
                const t = cookieDate(val);
                if (!isNaN(t)) cookie.expires = t;
            } else if (key === "max-age") {
                if (/^-?[0-9]+$/.test(val)) maxAge = parseInt(val, 10);
            } else if (key === "domain") {
                let d = val.replace(/^\./, "").toLowerCase();
                if (d !== "") {
                    if (!domainMatches(page.host, d)) return; // another site's domain
                    if (d !== page.host) {
                        cookie.domain = d;
                        cookie.hostOnly = false;
                    }
                }
            } else if (key === "path") {
                cookie.path = val.startsWith("/") ? val : defaultPath(page.path);
            } else if (key === "secure") {
                cookie.secure = true;
            } else if (key === "httponly") {
                return;
            }
        }
        if (maxAge !== null) cookie.expires = maxAge <= 0 ? -Infinity : now + maxAge * 1000;
        if (cookie.secure && !page.secure) return;
        if (name.startsWith("__Secure-") && !cookie.secure) return;
        if (name.startsWith("__Host-") && (!cookie.secure || !cookie.hostOnly || cookie.path !== "/")) return;
        const i = this.cookies.findIndex((c) => c.name === name && c.domain === cookie.domain && c.path === cookie.path);
        if (i >= 0) {
            if (this.cookies[i].secure && !page.secure) return;
            cookie.created = this.cookies[i].created;
            this.cookies.splice(i, 1);
        } else {
            cookie.created = this.serial++;
        }
        if (cookie.expires > now) this.cookies.push(cookie);
    }

    get(page, now) {
        this.cookies = this.cookies.filter((c) => c.expires > now);
        return this.cookies
            .filter((c) => (c.hostOnly ? c.domain === page.host : domainMatches(page.host, c.domain)) &&
                pathMatches(page.path, c.path) && (!c.secure || page.secure))
            .sort((a, b) => b.path.length - a.path.length || a.created - b.created)
            .map((c) => (c.name === "" ? c.value : c.name + "=" + c.value))
            .join("; ");
    }
}
