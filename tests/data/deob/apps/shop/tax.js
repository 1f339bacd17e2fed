var rates = { cn: 0.13, hk: 0, jp: 0.1 };
module.exports = {
    of: function (amount, region) {
        if (!(region in rates)) throw new Error("unknown region " + region);
        return amount * rates[region];
    },
    regions: Object.keys(rates),
};
