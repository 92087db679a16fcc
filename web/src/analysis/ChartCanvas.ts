// A lit-html directive that keeps one chart on its canvas across redraws and ends it with the canvas.
import { nothing } from "lit-html";
import { AsyncDirective, directive, type ElementPart, type PartInfo, PartType } from "lit-html/async-directive.js";
import type { ChartConfig } from "./chartData";
import { createChart, type DrawnChart } from "./chartLibrary";

class ChartDirective extends AsyncDirective {
    private chart_: DrawnChart | null = null;

    constructor(partInfo: PartInfo) {
        super(partInfo);
        if (partInfo.type !== PartType.ELEMENT) throw new Error("chartCanvas() belongs on a <canvas> element");
    }

    render(_config: ChartConfig): typeof nothing {
        return nothing;
    }

    override update(part: ElementPart, [config]: [ChartConfig]): typeof nothing {
        // Updating in place keeps the canvas and its size; a new chart per state message would flicker.
        if (this.chart_ === null) this.chart_ = createChart(part.element as HTMLCanvasElement, config);
        else this.chart_.update(config);
        return nothing;
    }

    protected override disconnected(): void {
        this.chart_?.destroy();
        this.chart_ = null;
    }
}

/** `<canvas ${chartCanvas(config)}>`: draws `config` there, and redraws it when the view is drawn again. */
export const chartCanvas = directive(ChartDirective);
