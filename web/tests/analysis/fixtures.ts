// The analysis screen's state as the app sends it: a store just reset, and one with two samples.
export function emptyAnalysis(): Record<string, unknown> {
    return {
        cards: [
            { title: "Total Particles", value: "0", icon: "circle.grid.hex", color: "primary" },
            { title: "Accumulated", value: "0", icon: "arrow.down.to.line.alt", color: "orange" },
            { title: "Active Flow", value: "0", icon: "wind", color: "blue" },
            { title: "Avg Speed (Active)", value: "0.0 px/s", icon: "speedometer", color: "primary" },
            { title: "Max Speed", value: "0.0 px/s", icon: "gauge.with.dots.needle.100percent", color: "red" },
        ],
        timeline: {
            title: "Accumulation Timeline",
            icon: "clock",
            placeholder: "Run simulation to gather data",
            xAxisTitle: "Time (s)",
            yAxisTitle: "Particles",
            time: [],
            stuck: [],
        },
        distribution: {
            title: "Velocity Distribution",
            icon: "speedometer",
            placeholder: "No data",
            xAxisTitle: "Speed Range (px/s)",
            yAxisTitle: "Particle Count",
            bars: [],
        },
    };
}

export function filledAnalysis(): Record<string, unknown> {
    const empty = emptyAnalysis();
    return {
        ...empty,
        timeline: { ...(empty["timeline"] as object), placeholder: null, time: [0.5, 12.5], stuck: [0, 4] },
        distribution: {
            ...(empty["distribution"] as object),
            placeholder: null,
            bars: [
                { range: "0-60", count: 5 },
                { range: "60-120", count: 0 },
                { range: "120-180", count: 1 },
                { range: "180-240", count: 0 },
                { range: "240-300", count: 0 },
            ],
        },
    };
}
