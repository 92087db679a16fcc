// Chart.js with only the parts the analysis screen draws, so the bundle carries no other chart types.
import {
    BarController,
    BarElement,
    CategoryScale,
    Chart,
    type ChartConfiguration,
    Filler,
    LinearScale,
    LineController,
    LineElement,
    PointElement,
    Tooltip,
} from "chart.js";
import type { ChartConfig } from "./chartData";

Chart.register(
    BarController,
    BarElement,
    CategoryScale,
    Filler,
    LinearScale,
    LineController,
    LineElement,
    PointElement,
    Tooltip,
);
// A grey that reads on the light and the dark backdrop alike.
Chart.defaults.color = "rgba(128, 128, 128, 0.95)";
Chart.defaults.borderColor = "rgba(128, 128, 128, 0.2)";

/** A chart on a canvas, redrawn in place from a new configuration of the same type. */
export interface DrawnChart {
    update(config: ChartConfig): void;
    destroy(): void;
}

export function createChart(canvas: HTMLCanvasElement, config: ChartConfig): DrawnChart {
    const chart = new Chart(canvas, config as ChartConfiguration);
    return {
        update(next) {
            chart.data = next.data as ChartConfiguration["data"];
            chart.options = (next.options ?? {}) as NonNullable<ChartConfiguration["options"]>;
            chart.update("none");
        },
        destroy: () => chart.destroy(),
    };
}
