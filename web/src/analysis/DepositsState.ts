// Where the last run's particles came to rest, `project.analysis.deposits`, and its decoder.
import { array, type Decoder, DecodeError, nullable, number, object, string } from "../app/decode";

export interface GeoPoint {
    latitude: number;
    longitude: number;
}

/** The sedimented particles on a grid over the lake's bounding box, row-major from the south-west cell. */
export interface BedHeatmap {
    south: number;
    west: number;
    north: number;
    east: number;
    rows: number;
    columns: number;
    particlesPerKm2: number[];
    max: number;
    legend: string;
}

export interface ShoreSegment {
    points: GeoPoint[];
    stranded: number;
    per100m: number;
}

export interface Shore {
    segments: ShoreSegment[];
    max: number;
    legend: string;
}

export interface DepositTotals {
    particles: number;
    stranded: number;
    sedimented: number;
}

export interface DepositsState {
    outline: GeoPoint[];
    heatmap: BedHeatmap;
    shore: Shore;
    /** Sentences naming the stretches of shore with the most stranded particles, most first. */
    top: string[];
    hotspot: string | null;
    totals: DepositTotals;
}

const geoPoint = object<GeoPoint>({ latitude: number, longitude: number });

const decodeHeatmap: Decoder<BedHeatmap> = (value, path) => {
    const heatmap = object<BedHeatmap>({
        south: number,
        west: number,
        north: number,
        east: number,
        rows: number,
        columns: number,
        particlesPerKm2: array(number),
        max: number,
        legend: string,
    })(value, path);
    if (heatmap.particlesPerKm2.length !== heatmap.rows * heatmap.columns) {
        const counts = `${heatmap.particlesPerKm2.length} cells for ${heatmap.rows} × ${heatmap.columns}`;
        throw new DecodeError(`${path}: "particlesPerKm2" has ${counts}`);
    }
    return heatmap;
};

export const decodeDeposits: Decoder<DepositsState | null> = nullable(
    object<DepositsState>({
        outline: array(geoPoint),
        heatmap: decodeHeatmap,
        shore: object<Shore>({
            segments: array(object<ShoreSegment>({ points: array(geoPoint), stranded: number, per100m: number })),
            max: number,
            legend: string,
        }),
        top: array(string),
        hotspot: nullable(string),
        totals: object<DepositTotals>({ particles: number, stranded: number, sedimented: number }),
    }),
);
