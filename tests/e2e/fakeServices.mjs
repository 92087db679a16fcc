// The web services the app asks, faked on 127.0.0.1: the Overpass API and the place search (geocoder).
import { createServer } from "node:http";

/** The corners of a faked lake's outline: an octagon, coarse enough to survive the app's thinning. */
export const lakeCorners = 8;
/** A faked lake's radius, in degrees. */
export const lakeRadiusDeg = 0.01;

/** An Overpass answer with one closed way, a lake around (lat, lon), as the real server shapes it. */
export function lakeAnswer(lat, lon) {
    const ring = Array.from({ length: lakeCorners }, (_, index) => {
        const angle = (2 * Math.PI * index) / lakeCorners;
        return { lat: lat + lakeRadiusDeg * Math.sin(angle), lon: lon + lakeRadiusDeg * Math.cos(angle) };
    });
    const nodes = ring.map((_, index) => 9000 + index);
    return {
        version: 0.6,
        generator: "Overpass API 0.7.62",
        osm3s: {
            timestamp_osm_base: "2024-05-01T00:00:00Z",
            copyright: "The data included in this document is from www.openstreetmap.org.",
        },
        elements: [
            {
                type: "way",
                id: 424242,
                bounds: {
                    minlat: lat - lakeRadiusDeg,
                    minlon: lon - lakeRadiusDeg,
                    maxlat: lat + lakeRadiusDeg,
                    maxlon: lon + lakeRadiusDeg,
                },
                nodes: [...nodes, nodes[0]],
                geometry: [...ring, ring[0]],
                tags: { natural: "water", water: "lake", name: "Test Lake" },
            },
        ],
    };
}

/** Listens on a free port of 127.0.0.1 and records what each request asked. */
async function listen(handle) {
    const queries = [];
    const server = createServer((request, response) =>
        handle(new URL(request.url, "http://127.0.0.1"), response, queries),
    );
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    return {
        url: `http://127.0.0.1:${server.address().port}`,
        queries,
        close: () => new Promise((resolve) => server.close(resolve)),
    };
}

/**
 * An Overpass server whose answer to the n-th query (from 0) is `respond(point, n)`: `{ status, body, delayMs }`,
 * where `point` is the clicked { lat, lon } the query asks about, or null. A body that is not a string is sent
 * as JSON. Each query is recorded as { path, query, point }.
 */
export function startFakeOverpass(respond) {
    return listen((url, response, queries) => {
        const query = url.searchParams.get("data") ?? "";
        const match = /is_in\((-?[\d.]+),(-?[\d.]+)\)/.exec(query);
        const point = match === null ? null : { lat: Number(match[1]), lon: Number(match[2]) };
        const { status = 200, body, delayMs = 0 } = respond(point, queries.length);
        queries.push({ path: url.pathname, query, point });
        setTimeout(() => {
            const isText = typeof body === "string";
            response.writeHead(status, { "Content-Type": isText ? "text/plain" : "application/json" });
            response.end(isText ? body : JSON.stringify(body));
        }, delayMs);
    });
}

/** A geocoder that finds one lake at `place` ({ lat, lon }), named `name`, whatever the query; records the queries. */
export function startFakeGeocoder(place, name = "Test Lake") {
    return listen((url, response, queries) => {
        queries.push(url.searchParams.get("q"));
        const box = [place.lat - 0.02, place.lat + 0.02, place.lon - 0.02, place.lon + 0.02].map(String);
        const found = {
            lat: String(place.lat),
            lon: String(place.lon),
            type: "water",
            display_name: name,
            boundingbox: box,
        };
        response.writeHead(200, { "Content-Type": "application/json" });
        response.end(JSON.stringify([found]));
    });
}
