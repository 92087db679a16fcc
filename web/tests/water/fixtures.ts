// The region screen's state as the app sends it: a fresh screen, and one with a drawn lake and its emission point.
import { projectChanges } from "../support";

/** A window showing the loaded project's region screen with `region` as its state. */
export function regionWindow(region: Record<string, unknown>, project: Record<string, unknown> = {}) {
    return projectChanges({ selectedSection: "region", region, ...project });
}
const lake = [
    { latitude: 47.36, longitude: 8.54 },
    { latitude: 47.37, longitude: 8.54 },
    { latitude: 47.37, longitude: 8.56 },
    { latitude: 47.36, longitude: 8.56 },
];

function slider(id: string, label: string, value: number, text: string, min: number, max: number) {
    return { id, kind: "slider", label, value, text, min, max, step: null };
}

export function freshRegion(): Record<string, unknown> {
    return {
        selectedPoint: null,
        vertices: [],
        emissionPoint: null,
        isAutoDetect: false,
        isDetecting: false,
        canUndo: false,
        map: {
            center: { latitude: 39, longitude: 35 },
            span: { latitudeDelta: 8, longitudeDelta: 8 },
            mapType: 2,
            mapTypeChoices: [
                { label: "Map", value: 0 },
                { label: "Satellite", value: 1 },
                { label: "Hybrid", value: 2 },
            ],
            markers: [],
            polygon: null,
        },
        overlay: null,
        banner: null,
        sliders: [{ ...slider("flowDirection", "Flow Direction", 0, "0°", 0, 360), iconRotation: 0 }],
        controlBar: {
            title: "Region Selection",
            subtitle: "Click map to select",
            autoDetect: {
                label: "Auto-Detect",
                symbol: "wand.and.stars",
                help: "Automatically detect water boundaries using OpenStreetMap",
                isOn: false,
            },
            clear: { label: "Clear", symbol: "trash", isEnabled: false },
            vertexCount: { label: "Vertices", value: 0 },
            emissionHint: { symbol: "exclamationmark.triangle.fill", text: "Option+Click for Emission" },
            apply: { label: "Apply Region", symbol: "checkmark.circle.fill", isEnabled: false },
        },
    };
}

export function drawnRegion(): Record<string, unknown> {
    const fresh = freshRegion();
    const point = { latitude: 47.3667, longitude: 8.55 };
    return {
        ...fresh,
        selectedPoint: point,
        vertices: lake,
        emissionPoint: point,
        canUndo: true,
        map: {
            ...(fresh["map"] as object),
            markers: [
                { title: "Selected", ...point },
                { title: "Emission", ...point },
            ],
            polygon: lake,
        },
        sliders: [
            { ...slider("flowDirection", "Flow Direction", 45.7, "45°", 0, 360), iconRotation: 45.7 },
            slider("emissionRadius", "Emission Radius", 10, "10 m", 1, 100),
        ],
        controlBar: {
            ...(fresh["controlBar"] as object),
            subtitle: "47.3667, 8.5500",
            clear: { label: "Clear", symbol: "trash", isEnabled: true },
            vertexCount: { label: "Vertices", value: 4 },
            emissionHint: null,
            apply: { label: "Apply Region", symbol: "checkmark.circle.fill", isEnabled: true },
        },
    };
}

/** The drawn screen with "Auto-Detect" switched on. */
export function autoDetectingRegion(): Record<string, unknown> {
    const drawn = drawnRegion();
    const bar = drawn["controlBar"] as Record<string, unknown>;
    return {
        ...drawn,
        isAutoDetect: true,
        controlBar: { ...bar, autoDetect: { ...(bar["autoDetect"] as object), isOn: true } },
    };
}
