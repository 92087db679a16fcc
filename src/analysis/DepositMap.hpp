// DepositMap: where the particles of a run came to rest, on the bed and along the shore, in degrees.
#pragma once

#include "analysis/BedHeatmap.hpp"
#include "simulation/CanvasMapping.hpp"
#include "simulation/GeoCoordinate.hpp"
#include "simulation/Particle.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pelagrin {

/// One stretch of the shore, walked along the outline in its order.
struct ShoreSegment {
    /// The stretch's polyline in degrees: its start, the outline's vertices within it, its end.
    std::vector<GeoCoordinate> points;
    /// The point halfway along the stretch, degrees.
    GeoCoordinate midpoint;
    /// Length on the ground, m: `segmentLengthM`, the last one of an outline shorter.
    double lengthM = 0.0;
    /// Stranded particles nearest to this stretch.
    std::int64_t stranded = 0;

    /// Stranded particles per 100 m of this stretch's shore.
    double perHundredMetres() const { return lengthM > 0 ? stranded * 100.0 / lengthM : 0.0; }
};

/// The deposits of one run, from a particle snapshot. A particle counts as stranded
/// when it is stuck, and as sedimented when it lies on the bed without being stuck.
struct DepositMap {
    /// The shore is cut into stretches of this length, m.
    static constexpr double segmentLengthM = 100.0;
    /// Cells along the longer side of the lake's bounding box on the ground.
    static constexpr int cellsAlongLongerSide = 50;

    /// All particles of the snapshot, stranded and sedimented ones.
    std::int64_t particleCount = 0;
    std::int64_t strandedCount = 0;
    std::int64_t sedimentedCount = 0;
    /// The sedimented particles on a grid over the outline's bounding box, cells about square on the ground.
    BedHeatmap bed;
    /// The whole outline, implicitly closed, cut into stretches; empty for an outline under 2 vertices.
    std::vector<ShoreSegment> shore;

    /// Works the map out. `mapping` takes the particles' simulation px to degrees; `outline` is the lake's
    /// polygon in degrees, the one the run's boundary was fitted from. A stranded particle goes to the
    /// stretch of the outline edge nearest to it on the canvas.
    static DepositMap compute(std::span<const Particle> particles, const CanvasMapping& mapping,
                              std::span<const GeoCoordinate> outline);

    /// Indices into `shore` of up to `count` stretches with stranded particles, most first (ties in shore
    /// order).
    std::vector<std::size_t> topSegments(std::size_t count) const;
    /// Index into `bed` of the densest cell (per km², the first of equals); absent without sedimented
    /// particles.
    std::optional<std::size_t> hotspot() const;
    /// The centre of cell `index` of `bed`, degrees.
    GeoCoordinate cellCentre(std::size_t index) const;
    /// The greatest `bed.particlesPerKm2`, 0 for an empty grid.
    double maxParticlesPerKm2() const;
    /// Whether a particle counts as stranded, or as sedimented.
    static bool isStranded(const Particle& p) { return p.isStuck; }
    static bool isSedimented(const Particle& p) { return p.isSedimented && !p.isStuck; }
};

} // namespace pelagrin
