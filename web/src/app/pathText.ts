// Paths as the app sends them: the path itself when it is UTF-8, else a NUL and its bytes with "%XX" escapes.
// The page shows them decoded and sends back the text it got, so that no byte is lost on the way.

const decoder = new TextDecoder("utf-8");

/** What a path looks like to the user: escapes resolved, bytes that are not UTF-8 shown as U+FFFD. */
export function displayPath(text: string): string {
    if (!text.startsWith("\u0000")) return text;
    const bytes: number[] = [];
    for (let i = 1; i < text.length; i += 1) {
        const escaped = text[i] === "%" ? Number.parseInt(text.slice(i + 1, i + 3), 16) : Number.NaN;
        if (Number.isNaN(escaped)) {
            bytes.push(text.charCodeAt(i));
        } else {
            bytes.push(escaped);
            i += 2;
        }
    }
    return decoder.decode(new Uint8Array(bytes));
}
