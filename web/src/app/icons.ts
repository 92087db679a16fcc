// The app's symbols: each system symbol name the screens use, drawn with a Lucide icon of the same meaning.
import {
    ArrowDownToLine,
    ArrowRight,
    ArrowUp,
    ChartLine,
    ChevronRight,
    CircleCheck,
    CircleGauge,
    Clock,
    CirclePlay,
    CircleX,
    Download,
    Droplets,
    File,
    FileText,
    Folder,
    FolderSearch,
    Gauge,
    Hand,
    Hexagon,
    History,
    type IconNode,
    Layers,
    LayoutGridCircles,
    Map as MapIcon,
    Minus,
    PanelLeft,
    Pause,
    Play,
    Plus,
    RotateCcw,
    Settings,
    Share,
    SlidersHorizontal,
    SquarePlus,
    Trash,
    TriangleAlert,
    WandSparkles,
    Wind,
    X,
} from "lucide";
import { html, type TemplateResult } from "lit-html";
import { unsafeSVG } from "lit-html/directives/unsafe-svg.js";
import { type Decoder, oneOf } from "./decode";

/** Lucide has no combined play and pause symbol; this one is drawn on its grid with its stroke. */
const playPause: IconNode = [
    ["path", { d: "M3 6.5v11a.5.5 0 0 0 .8.4l7.2-5.5a.5.5 0 0 0 0-.8L3.8 6.1a.5.5 0 0 0-.8.4z" }],
    ["path", { d: "M16 6v12" }],
    ["path", { d: "M21 6v12" }],
];

/**
 * Filled symbols whose shape survives a fill; the others keep Lucide's outline, since filling them would hide
 * the lines drawn inside.
 */
const filled = new Set(["pause.fill", "play.fill"]);

export const symbols = {
    "plus.app": SquarePlus,
    folder: Folder,
    "xmark.circle": CircleX,
    "square.and.arrow.down": Download,
    "sidebar.left": PanelLeft,
    playpause: playPause,
    "arrow.counterclockwise": RotateCcw,
    map: MapIcon,
    "map.fill": MapIcon,
    "slider.horizontal.3": SlidersHorizontal,
    "circle.grid.2x2": LayoutGridCircles,
    "play.circle": CirclePlay,
    "play.circle.fill": CirclePlay,
    "chart.xyaxis.line": ChartLine,
    "folder.badge.questionmark": FolderSearch,
    "pause.fill": Pause,
    "play.fill": Play,
    plus: Plus,
    minus: Minus,
    "chevron.right": ChevronRight,
    "clock.arrow.circlepath": History,
    "doc.fill": FileText,
    doc: File,
    "hand.wave.fill": Hand,
    "arrow.right": ArrowRight,
    "arrow.up": ArrowUp,
    xmark: X,
    gearshape: Settings,
    "exclamationmark.triangle": TriangleAlert,
    drop: Droplets,
    clock: Clock,
    "circle.grid.hex": Hexagon,
    "arrow.down.to.line.alt": ArrowDownToLine,
    wind: Wind,
    speedometer: Gauge,
    "gauge.with.dots.needle.100percent": CircleGauge,
    "square.and.arrow.up": Share,
    "wand.and.stars": WandSparkles,
    trash: Trash,
    "exclamationmark.triangle.fill": TriangleAlert,
    "checkmark.circle.fill": CircleCheck,
    "square.stack.3d.up": Layers,
} satisfies Record<string, IconNode>;

export type SymbolName = keyof typeof symbols;

/** A symbol name the app sends; one the page cannot draw is a fault of the message. */
export const symbolName: Decoder<SymbolName> = oneOf(Object.keys(symbols) as SymbolName[]);

function attributes(attrs: Record<string, string | number | undefined>): string {
    return Object.entries(attrs)
        .filter(([, value]) => value !== undefined)
        .map(([key, value]) => ` ${key}="${String(value)}"`)
        .join("");
}

const markupCache = new Map<SymbolName, string>();

/** The SVG markup of a symbol; the same string each time, so that a re-render leaves the icon in place. */
export function symbolMarkup(name: SymbolName): string {
    let markup = markupCache.get(name);
    if (markup === undefined) {
        const children = symbols[name].map(([tag, attrs]) => `<${tag}${attributes(attrs)}/>`).join("");
        const fill = filled.has(name) ? "currentColor" : "none";
        markup =
            `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" fill="${fill}" stroke="currentColor"` +
            ` stroke-width="2" stroke-linecap="round" stroke-linejoin="round" aria-hidden="true">${children}</svg>`;
        markupCache.set(name, markup);
    }
    return markup;
}

/** A symbol as an inline icon; `data-symbol` keeps the system name for styling and for tests. */
export function icon(name: SymbolName, className = ""): TemplateResult {
    return html`<span class="icon ${className}" data-symbol=${name}>${unsafeSVG(symbolMarkup(name))}</span>`;
}
