(() => {
  var __getOwnPropNames = Object.getOwnPropertyNames;
  var __commonJS = (cb, mod) => function __require() {
    return mod || (0, cb[__getOwnPropNames(cb)[0]])((mod = { exports: {} }).exports, mod), mod.exports;
  };

  // format.js
  var require_format = __commonJS({
    "format.js"(exports) {
      exports.money = function(n) {
        var fixed = (Math.round(n * 100) / 100).toFixed(2);
        return "\xA5" + fixed.replace(/\B(?=(\d{3})+(?!\d))/g, ",");
      };
      exports.table = function(rows) {
        var widths = [];
        rows.forEach(function(r) {
          r.forEach(function(c, i) {
            widths[i] = Math.max(widths[i] || 0, c.length);
          });
        });
        return rows.map(function(r) {
          return r.map(function(c, i) {
            return c + new Array(widths[i] - c.length + 1).join(" ");
          }).join(" | ");
        }).join("\n");
      };
    }
  });

  // cart.js
  var require_cart = __commonJS({
    "cart.js"(exports, module) {
      var format2 = require_format();
      function Cart2() {
        this.items = [];
      }
      Cart2.prototype.add = function(name, qty, price) {
        var found = this.items.filter(function(i) {
          return i.name === name;
        })[0];
        if (found)
          found.qty += qty;
        else
          this.items.push({ name, qty, price });
      };
      Cart2.prototype.count = function() {
        return this.items.reduce(function(n, i) {
          return n + i.qty;
        }, 0);
      };
      Cart2.prototype.total = function() {
        return this.items.reduce(function(s, i) {
          return s + i.qty * i.price;
        }, 0);
      };
      Cart2.prototype.lines = function() {
        return this.items.map(function(i) {
          return [i.name, String(i.qty), format2.money(i.qty * i.price)];
        });
      };
      module.exports = Cart2;
    }
  });

  // tax.js
  var require_tax = __commonJS({
    "tax.js"(exports, module) {
      var rates = { cn: 0.13, hk: 0, jp: 0.1 };
      module.exports = {
        of: function(amount, region) {
          if (!(region in rates))
            throw new Error("unknown region " + region);
          return amount * rates[region];
        },
        regions: Object.keys(rates)
      };
    }
  });

  // index.js
  var Cart = require_cart();
  var format = require_format();
  var tax = require_tax();
  var cart = new Cart();
  cart.add("\u8336\u53F6", 2, 35.5);
  cart.add("\u676F\u5B50", 1, 12);
  cart.add("\u8336\u58F6", 1, 88);
  log("items " + cart.count());
  log("subtotal " + format.money(cart.total()));
  log("tax " + format.money(tax.of(cart.total(), "cn")));
  log("total " + format.money(cart.total() + tax.of(cart.total(), "cn")));
  log(format.table(cart.lines()));
})();
