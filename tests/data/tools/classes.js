// Classes: fields, static members, private names, accessors, inheritance
class Shape {
    static count = 0;
    static #registry = [];
    #id;
    name = "shape";
    constructor(id) { this.#id = id; Shape.count++; Shape.#registry.push(id) }
    get id() { return this.#id }
    set id(v) { throw new Error("read only") }
    static get registered() { return Shape.#registry.slice() }
    area() { return 0 }
    toString() { return `${this.name}#${this.#id}:${this.area().toFixed(2)}` }
    static { Shape.ready = true; }
    #secret() { return "s" + this.#id }
    reveal() { return this.#secret() }
    static isShape(o) { return #id in o }
}
class Circle extends Shape {
    name = "circle"
    r
    constructor(id, r) { super(id); this.r = r }
    area() { return Math.PI * this.r ** 2 }
    *[Symbol.iterator]() { yield this.r; yield this.r * 2 }
    static async load() { return new Circle(0, 1) }
    get 'quoted name'() { return 'q' }
    static *gen(n) { for (let i = 0; i < n; i++) yield i }
}
const Square = class extends Shape {
    constructor(id, s) { super(id); this.s = s; this.name = 'square' }
    area() { return this.s * this.s }
}
const shapes = [new Circle(1, 2), new Square(2, 3), new Circle(3, 0.5)]
let err = ""
try { shapes[0].id = 9 } catch (e) { err = e.message }

function __result() {
    return [shapes.map(String).join(","), Shape.count, Shape.registered.join("+"), [...shapes[0]].join("/"),
        shapes[1].reveal(), Shape.isShape(shapes[2]), Shape.isShape({}), err, Shape.ready,
        shapes[2]["quoted name"], [...Circle.gen(3)].join(""), typeof Circle.load].join(";")
}
