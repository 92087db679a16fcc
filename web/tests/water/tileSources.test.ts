import { describe, expect, it } from "vitest";
import { defaultTileSources, tileSourcesFrom } from "../../src/water/tileSources";

const from = (parameters: Record<string, string>) => tileSourcesFrom(`?${new URLSearchParams(parameters).toString()}`);

describe("the map's tile sources", () => {
    it("take each layer's template from its own parameter, keep its credit, and else the public servers", () => {
        expect(tileSourcesFrom("")).toEqual(defaultTileSources);
        expect(from({ other: "1" })).toEqual(defaultTileSources);
        const sources = from({
            mapTiles: "http://127.0.0.1:8080/osm/{z}/{x}/{y}.png",
            labelTiles: "https://tiles.example/labels/{z}/{y}/{x}",
        });
        expect(sources.map).toEqual({ ...defaultTileSources.map, url: "http://127.0.0.1:8080/osm/{z}/{x}/{y}.png" });
        expect(sources.labels.url).toBe("https://tiles.example/labels/{z}/{y}/{x}");
        expect(sources.imagery).toEqual(defaultTileSources.imagery);
    });

    it.each(["", "javascript:alert(1)//{z}{x}{y}", "http://host/{z}/{x}.png", "file:///tiles/{z}/{x}/{y}"])(
        "pass over %j, no http(s) tile template",
        (value) => expect(from({ mapTiles: value }).map.url).toBe(defaultTileSources.map.url),
    );
});
