// Getters and setters on objects and prototypes; defineProperty.
var temperature = {
    _c: 25,
    get fahrenheit() { return this._c * 9 / 5 + 32; },
    set fahrenheit(f) { this._c = (f - 32) * 5 / 9; },
    get celsius() { return this._c; }
};
log(temperature.fahrenheit);
temperature.fahrenheit = 212;
log(temperature.celsius);
var account = {};
var balance = 100;
Object.defineProperty(account, "balance", { get: function () { return balance; }, enumerable: false });
Object.defineProperty(account, "deposit", { value: function (n) { balance += n; return balance; } });
log(account.deposit(50) + "/" + account.balance + "/" + Object.keys(account).length);
function Person(first, last) { this.first = first; this.last = last; }
Object.defineProperty(Person.prototype, "full", { get: function () { return this.first + " " + this.last; } });
log(new Person("Ada", "Lovelace").full);
