import { describe, expect, it } from "vitest";
import { defaultTileSources, tileSourcesFrom } from "../../src/water/tileSources";

describe("the map's tile sources", () => {
    it("are the public servers when the address names none", () => {
        expect(tileSourcesFrom("")).toEqual(defaultTileSources);
        expect(tileSourcesFrom("?other=1")).toEqual(defaultTileSources);
    });

    it("take each layer's template from its own parameter and keep its credit line", () => {
        const query = new URLSearchParams({
            mapTiles: "http://127.0.0.1:8080/osm/{z}/{x}/{y}.png",
            labelTiles: "https://tiles.example/labels/{z}/{y}/{x}",
        });
        const sources = tileSourcesFrom(`?${query.toString()}`);
        expect(sources.map).toEqual({ ...defaultTileSources.map, url: "http://127.0.0.1:8080/osm/{z}/{x}/{y}.png" });
        expect(sources.labels.url).toBe("https://tiles.example/labels/{z}/{y}/{x}");
        expect(sources.imagery).toEqual(defaultTileSources.imagery);
    });

    it("pass over values that are no http(s) tile template", () => {
        for (const value of ["", "javascript:alert(1)//{z}{x}{y}", "http://host/{z}/{x}.png", "file:///tiles/{z}/{x}/{y}"]) {
            const sources = tileSourcesFrom(`?${new URLSearchParams({ mapTiles: value }).toString()}`);
            expect(sources.map.url, value).toBe(defaultTileSources.map.url);
        }
    });
});
