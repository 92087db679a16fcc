import { describe, expect, it } from "vitest";
import { truncateMiddle } from "../../src/app/text";

describe("paths lose their middle when too long", () => {
    it("keeps short text, and both ends of long text within the length", () => {
        expect(truncateMiddle("/home/u/Lake.pelagrinproj", 40)).toBe("/home/u/Lake.pelagrinproj");
        expect(truncateMiddle("/home/someone/Documents/Projects/Lakes/Zurich.pelagrinproj", 21)).toBe(
            "/home/some…lagrinproj",
        );
        expect(truncateMiddle("abcdef", 4)).toBe("ab…f");
    });

    it("counts characters, not UTF-16 units", () => {
        expect(truncateMiddle("αβγδεζηθ", 5)).toBe("αβ…ηθ");
        expect(truncateMiddle("🌊🌊🌊🌊🌊", 3)).toBe("🌊…🌊");
    });
});
