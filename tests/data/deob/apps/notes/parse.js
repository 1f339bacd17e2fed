export function parseNote(line) {
    const tags = line.match(/#\S+/g) ?? [];
    return { title: line.replace(/#\S+/g, "").trim(), tags: tags.map((t) => t.slice(1)) };
}
export const tagsOf = (notes) => [...new Set(notes.flatMap((n) => n.tags))].sort();
