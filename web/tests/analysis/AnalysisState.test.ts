import { describe, expect, it } from "vitest";
import { decodeAnalysis } from "../../src/analysis/AnalysisState";
import { DecodeError } from "../../src/app/decode";
import { emptyAnalysis, filledAnalysis } from "./fixtures";

function withChanged(path: "timeline" | "distribution", patch: Record<string, unknown>): Record<string, unknown> {
    const analysis = filledAnalysis();
    return { ...analysis, [path]: { ...(analysis[path] as object), ...patch } };
}

const withCard = (card: Record<string, unknown>) => ({
    ...emptyAnalysis(),
    cards: [{ title: "T", value: "0", icon: "wind", color: "red", ...card }],
});

describe("decoding the analysis state", () => {
    it("reads the cards, both charts and their placeholders", () => {
        expect(decodeAnalysis(null, "analysis")).toBeNull();
        const empty = decodeAnalysis(emptyAnalysis(), "analysis");
        expect(empty?.cards.map((card) => card.color)).toEqual(["primary", "orange", "blue", "primary", "red"]);
        expect(empty?.distribution.placeholder).toBe("No data");
        const filled = decodeAnalysis(filledAnalysis(), "analysis");
        expect(filled?.timeline).toMatchObject({ placeholder: null, time: [0.5, 12.5], stuck: [0, 4] });
        expect(filled?.distribution).toMatchObject({
            unit: "mm/s",
            bars: [{}, {}, { range: "10–15", count: 1 }, {}, {}],
        });
    });

    it.each([
        [withCard({ color: "green" }), "analysis.cards[0].color"],
        [withCard({ icon: "no.such.symbol" }), "analysis.cards[0].icon"],
        [withCard({ value: 0 }), "analysis.cards[0].value"],
        [withChanged("timeline", { stuck: [0] }), 'analysis.timeline: "time" has 2 values but "stuck" 1'],
        [withChanged("timeline", { time: [0.5, "12.5"] }), "analysis.timeline.time[1]"],
        [
            withChanged("timeline", {
                band: { legend: "5–95 % of 2 members", time: [1, 2], p5: [0], p50: [0, 1], p95: [1, 2] },
            }),
            'analysis.timeline.band: "time" has 2 values but "p5" 1',
        ],
        [withChanged("timeline", { placeholder: undefined }), "analysis.timeline.placeholder"],
        [withChanged("distribution", { bars: [{ range: "0–5" }] }), "analysis.distribution.bars[0].count"],
        [withChanged("distribution", { unit: null }), "analysis.distribution.unit"],
        [{ cards: [], timeline: emptyAnalysis()["timeline"] }, "analysis.distribution"],
        [{ ...filledAnalysis(), seed: { value: "1", command: "pelagrin run" } }, "analysis.seed.value"],
    ])("refuses a malformed state, naming the field (%#)", (value, field) => {
        expect(() => decodeAnalysis(value, "analysis")).toThrow(DecodeError);
        expect(() => decodeAnalysis(value, "analysis")).toThrow(field);
    });
});
