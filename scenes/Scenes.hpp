// Scenes: fixed boundary polygons and run set-ups shared by the tests, the benchmarks and the examples.
#pragma once

#include "simulation/SimulationEngineParameters.hpp"
#include "simulation/Vec2.hpp"

#include <cstddef>
#include <vector>

namespace pelagrin::scenes {

/// The square (100, 100)–(700, 500) of the 800 × 600 canvas, counter-clockwise on screen (y down).
std::vector<Vec2> openSquare();

/// A lake with a square island: one closed ring that walks the shore, enters the island through a hairline
/// cut and walks round it, so that the even-odd rule leaves the island dry.
std::vector<Vec2> lakeWithIsland();

/// A channel 20 px wide and 700 px long across the canvas.
std::vector<Vec2> narrowChannel();

/// A star-shaped lake of `vertexCount` vertices (at least 3) centred on (400, 300), its radius wiggling
/// between about 160 and 290 px, so that every edge matters to the polygon test.
std::vector<Vec2> wigglyLake(std::size_t vertexCount);

/// Calm fresh water of 10 m depth at 1 px/m, with the given turbulence and no current or wind.
SimulationEngineParameters stillWater(double turbulence = 0.0);

} // namespace pelagrin::scenes
