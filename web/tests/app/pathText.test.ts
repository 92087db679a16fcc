import { describe, expect, it } from "vitest";
import { displayPath } from "../../src/app/pathText";

describe("path text", () => {
    it("shows a path as the user reads it, with U+FFFD where it is not UTF-8", () => {
        const cases: [string, string][] = [
            ["/home/u/Lake Study.pelagrinproj", "/home/u/Lake Study.pelagrinproj"],
            ["/home/u/50%", "/home/u/50%"],
            ["\u0000/tmp/%FF", "/tmp/\ufffd"],
            ["\u0000/tmp/50%25%E4/%C3%A4", "/tmp/50%\ufffd/ä"],
        ];
        for (const [text, shown] of cases) expect(displayPath(text), text).toBe(shown);
    });
});
