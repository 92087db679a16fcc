import { describe, expect, it } from "vitest";
import { truncateMiddle } from "../../src/app/text";

describe("paths lose their middle when too long", () => {
    it.each([
        ["/home/u/Lake.pelagrinproj", 40, "/home/u/Lake.pelagrinproj"],
        ["/home/someone/Documents/Projects/Lakes/Zurich.pelagrinproj", 21, "/home/some…lagrinproj"],
        ["abcdef", 4, "ab…f"],
        // Characters count, not UTF-16 units.
        ["αβγδεζηθ", 5, "αβ…ηθ"],
        ["🌊🌊🌊🌊🌊", 3, "🌊…🌊"],
    ])("%s within %d is %s", (text, length, shown) => expect(truncateMiddle(text, length)).toBe(shown));
});
