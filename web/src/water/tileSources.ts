// Where the map's base tiles come from: the public servers by default, or others named in the page's address.
/** One raster tile layer: a `{z}/{x}/{y}` URL template, its credit line and its deepest zoom. */
export interface TileSource {
    url: string;
    attribution: string;
    maxZoom: number;
}

/** The layers the base maps are made of: "Map" draws `map`, "Satellite" `imagery`, "Hybrid" `labels` on it. */
export interface TileSources {
    map: TileSource;
    imagery: TileSource;
    labels: TileSource;
}

const esriCredit = "Tiles &copy; Esri &mdash; Source: Esri, Maxar, Earthstar Geographics, and the GIS User Community";

export const defaultTileSources: TileSources = {
    map: {
        url: "https://tile.openstreetmap.org/{z}/{x}/{y}.png",
        attribution: '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors',
        maxZoom: 19,
    },
    imagery: {
        url: "https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}",
        attribution: esriCredit,
        maxZoom: 19,
    },
    labels: {
        url:
            "https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/MapServer" +
            "/tile/{z}/{y}/{x}",
        attribution: esriCredit,
        maxZoom: 19,
    },
};

/** The query parameter that replaces each layer's URL template. */
export const tileParameters: Record<keyof TileSources, string> = {
    map: "mapTiles",
    imagery: "imageryTiles",
    labels: "labelTiles",
};

/** An http(s) template with all three tile placeholders; anything else cannot draw a map. */
function isTileTemplate(text: string): boolean {
    if (!/^https?:\/\//.test(text)) return false;
    return ["{z}", "{x}", "{y}"].every((placeholder) => text.includes(placeholder));
}

/**
 * The sources for a page address's query (`location.search`): `mapTiles`, `imageryTiles` and `labelTiles`
 * each replace one layer's URL; a value that is no tile template is passed over. A replaced layer keeps its
 * credit line, since it is meant to serve the same data from a mirror or a cache.
 */
export function tileSourcesFrom(search: string): TileSources {
    const query = new URLSearchParams(search);
    const pick = (layer: keyof TileSources): TileSource => {
        const url = query.get(tileParameters[layer]);
        const source = defaultTileSources[layer];
        return url !== null && isTileTemplate(url) ? { ...source, url } : source;
    };
    return { map: pick("map"), imagery: pick("imagery"), labels: pick("labels") };
}
