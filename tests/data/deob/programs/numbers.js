// Number handling: formatting, rounding, bit tricks, BigInt, parsing.
log((1234.5678).toFixed(2) + " " + (0.1 + 0.2).toPrecision(3) + " " + (255).toString(2));
log(parseInt("ff", 16) + parseFloat("3.5e2") + Number("0x10"));
log(Math.round(-2.5) + "," + Math.trunc(-2.7) + "," + Math.sign(-3) + "," + Math.hypot(3, 4));
log((5 >>> 1) + (~~7.9) + (1 << 10) + (-16 >> 2));
log(String(2n ** 70n) + " " + (123456789012345678901234567890n % 97n));
log([0.1, 1e21, 1 / 3, -0, NaN].map(String).join("|"));
log(Number.MAX_SAFE_INTEGER - 1 + " " + Number.isInteger(5.0) + " " + (1_000_000).toLocaleString("en-US"));
