// Classes: inheritance, static members, private fields, getters.
class Shape {
    static count = 0;
    #name;
    constructor(name) { this.#name = name; Shape.count++; }
    get name() { return this.#name; }
    area() { return 0; }
    describe() { return this.name + " with area " + this.area().toFixed(2); }
}
class Circle extends Shape {
    constructor(r) { super("circle"); this.r = r; }
    area() { return Math.PI * this.r * this.r; }
}
class Rect extends Shape {
    #w; #h;
    constructor(w, h) { super("rect"); this.#w = w; this.#h = h; }
    area() { return this.#w * this.#h; }
    static square(s) { return new Rect(s, s); }
}
const shapes = [new Circle(1.5), new Rect(2, 3.5), Rect.square(4)];
for (const s of shapes) log(s.describe());
log("shapes: " + Shape.count);
log(shapes.map((s) => s instanceof Rect).join(","));
