// The region screen's state as the app sends it: a fresh screen, and one with a drawn lake and its emission point.
import { projectChanges } from "../support";

/** A window showing the loaded project's region screen with `region` as its state. */
export function regionWindow(region: Record<string, unknown>, project: Record<string, unknown> = {}) {
    return projectChanges({ selectedSection: "region", region, ...project });
}

const lake = [
    [47.36, 8.54],
    [47.37, 8.54],
    [47.37, 8.56],
    [47.36, 8.56],
].map(([latitude, longitude]) => ({ latitude, longitude }));

function slider(id: string, label: string, value: number, text: string, max: number) {
    return { id, kind: "slider", label, value, text, min: id === "flowDirection" ? 0 : 1, max, step: null };
}

const bar = (clear: boolean, count: number, apply: boolean) => ({
    title: "Region Selection",
    subtitle: "Click map to select",
    autoDetect: { label: "Auto-Detect", symbol: "wand.and.stars", help: "Detect water", isOn: false },
    clear: { label: "Clear", symbol: "trash", isEnabled: clear },
    vertexCount: { label: "Vertices", value: count },
    editHelp: "Drag a vertex to move it, right-click or Alt+Click it to delete it.",
    emissionHint: { symbol: "exclamationmark.triangle.fill", text: "Alt+Click or Shift+Click for Emission" },
    emissionWarning: null,
    apply: {
        label: "Apply Region",
        symbol: "checkmark.circle.fill",
        isEnabled: apply,
        reason: apply ? null : "The outline needs at least 3 distinct vertices",
    },
});

export function freshRegion(): Record<string, unknown> {
    return {
        selectedPoint: null,
        vertices: [],
        emissionPoint: null,
        isEmissionOutside: false,
        isAutoDetect: false,
        isDetecting: false,
        canUndo: false,
        canRedo: false,
        map: {
            viewRequest: {
                sequence: 1,
                center: { latitude: 39, longitude: 35 },
                span: { latitudeDelta: 8, longitudeDelta: 8 },
            },
            mapType: 2,
            mapTypeChoices: ["Map", "Satellite", "Hybrid"].map((label, value) => ({ label, value })),
            markers: [],
            vertexHandles: [],
            polygon: null,
            emissionDisc: null,
        },
        overlay: null,
        banner: null,
        bannerKind: null,
        appliedNotice: null,
        sliders: [{ ...slider("flowDirection", "Flow Direction", 0, "0°", 360), iconRotation: 90 }],
        controlBar: bar(false, 0, false),
        placeSearch: { isSearching: false, results: [], message: null },
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
            vertexHandles: lake,
            polygon: lake,
            emissionDisc: { ...point, radius: 10 },
        },
        sliders: [
            { ...slider("flowDirection", "Flow Direction", 45.7, "45°", 360), iconRotation: 135.7 },
            slider("emissionRadius", "Emission Radius", 10, "10 m", 100),
        ],
        controlBar: { ...bar(true, 4, true), subtitle: "47.3667, 8.5500", emissionHint: null },
    };
}

/** The drawn screen with "Auto-Detect" switched on. */
export function autoDetectingRegion(): Record<string, unknown> {
    const drawn = drawnRegion();
    const controlBar = drawn["controlBar"] as ReturnType<typeof bar>;
    return {
        ...drawn,
        isAutoDetect: true,
        controlBar: { ...controlBar, autoDetect: { ...controlBar.autoDetect, isOn: true } },
    };
}
