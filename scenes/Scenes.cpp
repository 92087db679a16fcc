// The shared scenes.
#include "scenes/Scenes.hpp"

#include <cassert>
#include <cmath>
#include <numbers>

namespace pelagrin::scenes {

std::vector<Vec2> openSquare() {
    return {{100, 100}, {100, 500}, {700, 500}, {700, 100}};
}

std::vector<Vec2> lakeWithIsland() {
    return {
        {100, 100},     {100, 500},     {700, 500}, {700, 100}, {400, 100}, // shore, back to the cut
        {400, 250},     {350, 250},     {350, 350}, {450, 350}, {450, 250}, // round the island
        {400.001, 250}, {400.001, 100},                                     // back out along the cut
    };
}

std::vector<Vec2> narrowChannel() {
    return {{50, 290}, {50, 310}, {750, 310}, {750, 290}};
}

std::vector<Vec2> wigglyLake(std::size_t vertexCount) {
    assert(vertexCount >= 3);
    std::vector<Vec2> vertices;
    vertices.reserve(vertexCount);
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const double angle = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(vertexCount);
        const double radius = 225 + 45 * std::sin(7 * angle) + 20 * std::cos(23 * angle);
        vertices.push_back({400 + radius * std::cos(angle), 300 + radius * 0.9 * std::sin(angle)});
    }
    return vertices;
}

SimulationEngineParameters stillWater(double turbulence) {
    SimulationEngineParameters params;
    params.viscosity = 1.0;
    params.turbulence = turbulence;
    params.gravityScale = 1.0;
    params.waterDensity = 1.0;
    params.pixelsPerMeter = 1.0;
    params.waterDepth = 10.0;
    return params;
}

} // namespace pelagrin::scenes
