// The analysis screen's state as the app sends it: before any run, and during one with two samples.
export function emptyAnalysis(): Record<string, unknown> {
    const card = (title: string, value: string, icon: string, color: string) => ({ title, value, icon, color });
    return {
        cards: [
            card("Total Particles", "0", "circle.grid.hex", "primary"),
            card("Accumulated", "0", "arrow.down.to.line.alt", "orange"),
            card("Active Flow", "0", "wind", "blue"),
            card("Avg Speed (Active)", "0.0 mm/s", "speedometer", "primary"),
            card("Max Speed", "0.0 mm/s", "gauge.with.dots.needle.100percent", "red"),
        ],
        timeline: {
            title: "Accumulation Timeline",
            icon: "clock",
            placeholder: "Run simulation to gather data",
            xAxisTitle: "Time (h:min)",
            yAxisTitle: "Particles",
            time: [],
            stuck: [],
        },
        distribution: {
            title: "Velocity Distribution",
            icon: "speedometer",
            placeholder: "No data",
            xAxisTitle: "Speed (mm/s)",
            yAxisTitle: "Particle Count",
            unit: "mm/s",
            bars: [],
        },
        seed: null,
    };
}

export function filledAnalysis(): Record<string, unknown> {
    const empty = emptyAnalysis();
    const counts = [5, 0, 1, 0, 0];
    return {
        ...empty,
        timeline: { ...(empty["timeline"] as object), placeholder: null, time: [0.5, 12.5], stuck: [0, 4] },
        distribution: {
            ...(empty["distribution"] as object),
            placeholder: null,
            bars: counts.map((count, index) => ({ range: `${index * 5}–${index * 5 + 5}`, count })),
        },
        seed: { value: 12345, command: "pelagrin run '/home/a/Lake Study.pelagrinproj' --seed 12345 --speed 1" },
    };
}
