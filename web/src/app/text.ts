// Text shaping the platform's labels do for themselves and a browser does not.

/**
 * `text` cut to at most `maxLength` characters by an ellipsis in its middle, so that both the start and the
 * end of a path stay readable.
 */
export function truncateMiddle(text: string, maxLength: number): string {
    const characters = Array.from(text);
    if (characters.length <= maxLength) return text;
    if (maxLength <= 1) return "…";
    const kept = maxLength - 1;
    const head = Math.ceil(kept / 2);
    const tail = kept - head;
    return `${characters.slice(0, head).join("")}…${tail > 0 ? characters.slice(-tail).join("") : ""}`;
}
