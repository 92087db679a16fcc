// The region selection screen's part of the window state, `project.region`, with its decoder.
import { array, boolean, type Decoder, nullable, number, object, oneOf, string } from "../app/decode";
import { type SymbolName, symbolName } from "../app/icons";
import { decodeSlider, type SliderControl } from "../projects/ControlState";

/** A geographic point in degrees, WGS 84. */
export interface Coordinate {
    latitude: number;
    longitude: number;
}

export interface MapMarker extends Coordinate {
    title: "Selected" | "Emission";
}

export interface MapTypeChoice {
    label: string;
    /** 0 "Map", 1 "Satellite", 2 "Hybrid". */
    value: number;
}

export interface RegionMapState {
    /** Where the map opens; applied only when the map is created, its later view is the page's own. */
    center: Coordinate;
    span: { latitudeDelta: number; longitudeDelta: number };
    mapType: number;
    mapTypeChoices: MapTypeChoice[];
    /** The pins, each only with its point; both may stand on the same spot. */
    markers: MapMarker[];
    /** The filled water polygon, `null` below 3 vertices. */
    polygon: Coordinate[] | null;
    /** Where the place search asks the map to go; `null` before its first request. */
    viewRequest: ViewRequest | null;
}

/** A request to move the map, applied once per `id`. */
export interface ViewRequest {
    id: number;
    center: Coordinate;
    span: { latitudeDelta: number; longitudeDelta: number };
}

export interface PlaceSearchState {
    isSearching: boolean;
    /** The places found by the last search, to choose from by index. */
    results: { name: string; type: string }[];
    /** Why there are no results, or how to write a coordinate. */
    message: string | null;
}

export interface LabelledButton {
    label: string;
    symbol: SymbolName;
    isEnabled: boolean;
}

export interface RegionControlBar {
    title: string;
    /** The selected point as "%.4f, %.4f", or the prompt to click. */
    subtitle: string;
    autoDetect: { label: string; symbol: SymbolName; help: string; isOn: boolean };
    clear: LabelledButton;
    vertexCount: { label: string; value: number };
    /** Shown in place of the emission radius slider while there is no emission point. */
    emissionHint: { symbol: SymbolName; text: string } | null;
    apply: LabelledButton;
}

export interface RegionState {
    selectedPoint: Coordinate | null;
    vertices: Coordinate[];
    emissionPoint: Coordinate | null;
    isAutoDetect: boolean;
    isDetecting: boolean;
    /** An `undo` would apply. */
    canUndo: boolean;
    map: RegionMapState;
    /** The card over the dimmed map while a detection runs, with its Cancel button and that button's key. */
    overlay: { title: string; subtitle: string; cancel: { label: string; shortcut: string } } | null;
    /** What the last detection said, until dismissed or the next detection. */
    banner: string | null;
    /** Whether `banner` tells of a failure or of a choice made (the nearest water used). */
    bannerKind: "error" | "notice" | null;
    /** The flow direction always; the emission radius only while there is an emission point. */
    sliders: SliderControl[];
    controlBar: RegionControlBar;
    placeSearch: PlaceSearchState;
}

const coordinate = object<Coordinate>({ latitude: number, longitude: number });

const labelledButton = object<LabelledButton>({ label: string, symbol: symbolName, isEnabled: boolean });

export const decodeRegion: Decoder<RegionState | null> = nullable(
    object<RegionState>({
        selectedPoint: nullable(coordinate),
        vertices: array(coordinate),
        emissionPoint: nullable(coordinate),
        isAutoDetect: boolean,
        isDetecting: boolean,
        canUndo: boolean,
        map: object<RegionMapState>({
            center: coordinate,
            span: object({ latitudeDelta: number, longitudeDelta: number }),
            mapType: number,
            mapTypeChoices: array(object<MapTypeChoice>({ label: string, value: number })),
            markers: array(
                object<MapMarker>({ title: oneOf(["Selected", "Emission"]), latitude: number, longitude: number }),
            ),
            polygon: nullable(array(coordinate)),
            viewRequest: nullable(
                object<ViewRequest>({
                    id: number,
                    center: coordinate,
                    span: object({ latitudeDelta: number, longitudeDelta: number }),
                }),
            ),
        }),
        overlay: nullable(
            object({ title: string, subtitle: string, cancel: object({ label: string, shortcut: string }) }),
        ),
        banner: nullable(string),
        bannerKind: nullable(oneOf(["error", "notice"])),
        sliders: array(decodeSlider),
        controlBar: object<RegionControlBar>({
            title: string,
            subtitle: string,
            autoDetect: object({ label: string, symbol: symbolName, help: string, isOn: boolean }),
            clear: labelledButton,
            vertexCount: object({ label: string, value: number }),
            emissionHint: nullable(object({ symbol: symbolName, text: string })),
            apply: labelledButton,
        }),
        placeSearch: object<PlaceSearchState>({
            isSearching: boolean,
            results: array(object({ name: string, type: string })),
            message: nullable(string),
        }),
    }),
);
