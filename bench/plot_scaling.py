#!/usr/bin/env python3
"""Plots particle-steps per second against particle count and against vertex count as SVG files.

Reads the JSON of `engine_step_bench --benchmark_format=json` (or --benchmark_out) and takes the median of
repeated runs when there is one. Usage: plot_scaling.py RESULTS.json OUTPUT_FOLDER
"""
import json
import math
import sys
from pathlib import Path

WIDTH, HEIGHT = 640, 400
LEFT, RIGHT, TOP, BOTTOM = 80, 20, 40, 60
COLOURS = {"Engine": "#1f6fb4", "Reference": "#d0542b"}


def series(benchmarks, prefix, argument):
    """(argument value, M particle-steps/s) of the benchmarks named prefix/..., medians preferred."""
    rows = [b for b in benchmarks if b["name"].startswith(prefix + "/")]
    medians = [b for b in rows if b.get("aggregate_name") == "median"]
    points = []
    for b in medians or [b for b in rows if b.get("run_type", "iteration") == "iteration"]:
        fields = dict(part.split(":") for part in b["run_name"].split("/")[1:] if ":" in part)
        points.append((float(fields[argument]), b["particle_steps_per_s"] / 1e6))
    return sorted(points)


def svg(title, x_label, lines):
    xs = [x for _, points in lines for x, _ in points]
    top = max(y for _, points in lines for _, y in points) * 1.15
    low, high = math.log10(min(xs)), math.log10(max(xs))
    plot_w, plot_h = WIDTH - LEFT - RIGHT, HEIGHT - TOP - BOTTOM

    def at(x, y):
        return (LEFT + (math.log10(x) - low) / (high - low) * plot_w, TOP + plot_h - y / top * plot_h)

    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
           f'font-family="sans-serif" font-size="12">',
           f'<rect width="{WIDTH}" height="{HEIGHT}" fill="white"/>',
           f'<text x="{WIDTH / 2}" y="22" text-anchor="middle" font-size="14">{title}</text>',
           f'<line x1="{LEFT}" y1="{TOP + plot_h}" x2="{LEFT + plot_w}" y2="{TOP + plot_h}" stroke="black"/>',
           f'<line x1="{LEFT}" y1="{TOP}" x2="{LEFT}" y2="{TOP + plot_h}" stroke="black"/>',
           f'<text x="{LEFT + plot_w / 2}" y="{HEIGHT - 15}" text-anchor="middle">{x_label} (log scale)</text>',
           f'<text transform="translate(20 {TOP + plot_h / 2}) rotate(-90)" text-anchor="middle">'
           'M particle-steps/s</text>']
    step = 10 ** math.floor(math.log10(top / 2))
    tick = 0.0
    while tick <= top:
        _, y = at(min(xs), tick)
        out.append(f'<line x1="{LEFT}" y1="{y:.1f}" x2="{LEFT + plot_w}" y2="{y:.1f}" stroke="#ddd"/>')
        out.append(f'<text x="{LEFT - 6}" y="{y + 4:.1f}" text-anchor="end">{tick:g}</text>')
        tick += step
    for x in sorted(set(xs)):
        px, _ = at(x, 0)
        out.append(f'<text x="{px:.1f}" y="{TOP + plot_h + 18}" text-anchor="middle">{x:g}</text>')
    for row, (name, points) in enumerate(lines):
        colour = COLOURS.get(name, "black")
        path = " ".join(f"{px:.1f},{py:.1f}" for px, py in (at(x, y) for x, y in points))
        out.append(f'<polyline points="{path}" fill="none" stroke="{colour}" stroke-width="2"/>')
        for x, y in points:
            px, py = at(x, y)
            out.append(f'<circle cx="{px:.1f}" cy="{py:.1f}" r="3" fill="{colour}"/>')
        out.append(f'<text x="{LEFT + 10}" y="{TOP + 16 + 16 * row}" fill="{colour}">{name}</text>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    benchmarks = json.loads(Path(sys.argv[1]).read_text())["benchmarks"]
    folder = Path(sys.argv[2])
    by_particles = [("Engine", series(benchmarks, "EngineByParticles", "particles"))]
    by_vertices = [("Engine", series(benchmarks, "EngineByVertices", "vertices")),
                   ("Reference", series(benchmarks, "ReferenceByVertices", "vertices"))]
    (folder / "performance-particles.svg").write_text(
        svg("Engine, 200 vertices, turbulence 0.3", "particles", by_particles))
    (folder / "performance-vertices.svg").write_text(
        svg("20,000 particles, turbulence 0.3", "lake vertices", by_vertices))


if __name__ == "__main__":
    main()
