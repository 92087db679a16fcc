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

/** A view of the map: its centre and how far it reaches, degrees. */
export interface MapArea {
    center: Coordinate;
    span: { latitudeDelta: number; longitudeDelta: number };
}

/** The app's request to show an area; the map moves once for each new `sequence`, else the view is the user's. */
export interface ViewRequest extends MapArea {
    sequence: number;
}

export interface RegionMapState {
    viewRequest: ViewRequest;
    mapType: number;
    mapTypeChoices: MapTypeChoice[];
    /** The pins, each only with its point; both may stand on the same spot. */
    markers: MapMarker[];
    /** The polygon's vertices as handles to drag and delete; empty for an outline too long to edit by hand. */
    vertexHandles: Coordinate[];
    /** The filled water polygon, `null` below 3 vertices. */
    polygon: Coordinate[] | null;
    /** Where particles are released: the emission point with the release radius in metres. */
    emissionDisc: (Coordinate & { radius: number }) | null;
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

/** A button that says why it is disabled. */
export interface ReasonedButton extends LabelledButton {
    reason: string | null;
}

export interface RegionControlBar {
    title: string;
    /** The selected point as "%.4f, %.4f", or the prompt to click. */
    subtitle: string;
    autoDetect: { label: string; symbol: SymbolName; help: string; isOn: boolean };
    clear: LabelledButton;
    vertexCount: { label: string; value: number };
    /** How vertices are moved, deleted and edits undone. */
    editHelp: string;
    /** Shown in place of the emission radius slider while there is no emission point. */
    emissionHint: { symbol: SymbolName; text: string } | null;
    /** The warning while the emission point lies outside the polygon. */
    emissionWarning: string | null;
    apply: ReasonedButton;
}

export interface RegionState {
    selectedPoint: Coordinate | null;
    vertices: Coordinate[];
    emissionPoint: Coordinate | null;
    /** The emission point lies outside a polygon that bounds water. */
    isEmissionOutside: boolean;
    isAutoDetect: boolean;
    isDetecting: boolean;
    /** An `undo` would apply. */
    canUndo: boolean;
    /** A `redo` would apply. */
    canRedo: boolean;
    map: RegionMapState;
    /** The card over the dimmed map while a detection runs, with its Cancel button and that button's key. */
    overlay: { title: string; subtitle: string; cancel: { label: string; shortcut: string } } | null;
    /** What the last detection said, until dismissed or the next detection. */
    banner: string | null;
    /** What the last "Apply Region" did, until the selection changes. */
    appliedNotice: string | null;
    /** Whether `banner` tells of a failure or of a choice made (the nearest water used). */
    bannerKind: "error" | "notice" | null;
    /** The flow direction always; the emission radius only while there is an emission point. */
    sliders: SliderControl[];
    controlBar: RegionControlBar;
    placeSearch: PlaceSearchState;
}

const coordinate = object<Coordinate>({ latitude: number, longitude: number });

const labelledButton = object<LabelledButton>({ label: string, symbol: symbolName, isEnabled: boolean });

const span = object({ latitudeDelta: number, longitudeDelta: number });

export const decodeRegion: Decoder<RegionState | null> = nullable(
    object<RegionState>({
        selectedPoint: nullable(coordinate),
        vertices: array(coordinate),
        emissionPoint: nullable(coordinate),
        isEmissionOutside: boolean,
        isAutoDetect: boolean,
        isDetecting: boolean,
        canUndo: boolean,
        canRedo: boolean,
        map: object<RegionMapState>({
            viewRequest: object<ViewRequest>({ sequence: number, center: coordinate, span }),
            mapType: number,
            mapTypeChoices: array(object<MapTypeChoice>({ label: string, value: number })),
            markers: array(
                object<MapMarker>({ title: oneOf(["Selected", "Emission"]), latitude: number, longitude: number }),
            ),
            vertexHandles: array(coordinate),
            polygon: nullable(array(coordinate)),
            emissionDisc: nullable(
                object<Coordinate & { radius: number }>({ latitude: number, longitude: number, radius: number }),
            ),
        }),
        overlay: nullable(
            object({ title: string, subtitle: string, cancel: object({ label: string, shortcut: string }) }),
        ),
        banner: nullable(string),
        appliedNotice: nullable(string),
        bannerKind: nullable(oneOf(["error", "notice"])),
        sliders: array(decodeSlider),
        controlBar: object<RegionControlBar>({
            title: string,
            subtitle: string,
            autoDetect: object({ label: string, symbol: symbolName, help: string, isOn: boolean }),
            clear: labelledButton,
            vertexCount: object({ label: string, value: number }),
            editHelp: string,
            emissionHint: nullable(object({ symbol: symbolName, text: string })),
            emissionWarning: nullable(string),
            apply: object<ReasonedButton>({
                label: string,
                symbol: symbolName,
                isEnabled: boolean,
                reason: nullable(string),
            }),
        }),
        placeSearch: object<PlaceSearchState>({
            isSearching: boolean,
            results: array(object({ name: string, type: string })),
            message: nullable(string),
        }),
    }),
);
