export default class Store {
    #notes = [];
    add(note) {
        this.#notes.push({ id: this.#notes.length + 1, ...note });
    }
    get size() {
        return this.#notes.length;
    }
    all() {
        return this.#notes.slice();
    }
    tagged(tag) {
        return this.#notes.filter((n) => n.tags.includes(tag));
    }
}
