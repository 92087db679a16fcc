import { describe, expect, it } from "vitest";
import {
    bedColor,
    bedLegend,
    heatmapPixels,
    shoreColor,
    shoreEmpty,
    shoreLegend,
} from "../../src/analysis/depositColors";
import { decodeDeposits } from "../../src/analysis/DepositsState";
import { DecodeError } from "../../src/app/decode";

describe("colouring the deposit map", () => {
    it.each([
        ["an empty cell is clear", bedColor(0, 400), [0, 0, 0, 0]],
        ["the densest cell is the dark end", bedColor(400, 400), [165, 0, 38, 230]],
        ["a quarter of the densest is halfway on the square-root scale", bedColor(100, 400), [210, 100, 79, 170]],
        ["beyond the greatest stays at the end", bedColor(900, 400), [165, 0, 38, 230]],
        ["a bare shore is grey", shoreColor(0, 5), shoreEmpty],
        ["the most crowded shore is red", shoreColor(5, 5), "rgb(215, 25, 28)"],
    ])("%s", (_, colour, expected) => {
        expect(colour).toEqual(expected);
    });

    it("draws the grid's northern row at the image's top and labels the legends' ends", () => {
        // Two rows of one cell: the south one holds everything.
        const pixels = heatmapPixels(2, 1, [8, 0], 8);
        expect([...pixels.slice(0, 4)]).toEqual([0, 0, 0, 0]);
        expect([...pixels.slice(4, 8)]).toEqual([165, 0, 38, 230]);
        expect(bedLegend(4044.2)).toMatchObject({ low: "0", high: "4044" });
        expect(shoreLegend(2.5).high).toBe("2.5");
    });

    it("refuses a grid whose cells do not fill its rows and columns", () => {
        const heatmap = {
            south: 0,
            west: 0,
            north: 1,
            east: 1,
            rows: 2,
            columns: 2,
            particlesPerKm2: [1],
            max: 1,
            legend: "",
        };
        const deposits = {
            outline: [],
            heatmap,
            shore: { segments: [], max: 0, legend: "" },
            top: [],
            hotspot: null,
            totals: { particles: 0, stranded: 0, sedimented: 0 },
        };
        expect(() => decodeDeposits(deposits, "deposits")).toThrow(
            new DecodeError('deposits.heatmap: "particlesPerKm2" has 1 cells for 2 × 2'),
        );
        expect(
            decodeDeposits({ ...deposits, heatmap: { ...heatmap, particlesPerKm2: [0, 1, 2, 3] } }, "d")?.heatmap.rows,
        ).toBe(2);
    });
});
