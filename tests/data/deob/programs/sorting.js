// Sorting: quicksort, merge sort, stable sort of records, binary search.
function quicksort(a) {
    if (a.length < 2) return a;
    var p = a[0], l = [], r = [];
    for (var i = 1; i < a.length; i++) (a[i] < p ? l : r).push(a[i]);
    return quicksort(l).concat([p], quicksort(r));
}
function mergeSort(a) {
    if (a.length < 2) return a;
    var mid = a.length >> 1, l = mergeSort(a.slice(0, mid)), r = mergeSort(a.slice(mid)), out = [];
    while (l.length && r.length) out.push(l[0] <= r[0] ? l.shift() : r.shift());
    return out.concat(l, r);
}
function bsearch(a, x) { var lo = 0, hi = a.length - 1; while (lo <= hi) { var m = (lo + hi) >> 1; if (a[m] === x) return m; if (a[m] < x) lo = m + 1; else hi = m - 1; } return -1; }
var nums = [33, 7, 21, 4, 99, 15, 7, 0, -3, 42];
log(quicksort(nums).join(" "));
log(mergeSort(nums).join(" "));
log(bsearch(mergeSort(nums), 42));
var people = [{ n: "Li", a: 30 }, { n: "Wang", a: 25 }, { n: "Zhao", a: 30 }, { n: "Chen", a: 25 }];
log(people.slice().sort(function (x, y) { return x.a - y.a; }).map(function (p) { return p.n; }).join(","));
