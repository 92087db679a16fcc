// Grid construction: crossed cells first, then one inside test per run of clear cells.
#include "simulation/ContainmentGrid.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pelagrin {

namespace {

// About this many cells per vertex, within these bounds: a few percent of the cells lie along the shore.
constexpr std::size_t kCellsPerVertex = 64;
constexpr std::size_t kMinCells = 1 << 14;
constexpr std::size_t kMaxCells = 1 << 20;
// Below this size every rounding error met here is bounded by the margins (as in the boundary index).
constexpr double kTameCoordinate = 1e150;
// Margins, relative to the magnitudes involved, far above the few units in the last place that a crossing,
// a clipped edge or a cell index can be off by.
constexpr double kRelativeMargin = 1e-9;

// Why a clear cell has one answer: within its (widened) rectangle, every edge that spans one of its heights
// lies wholly left or wholly right of it, and the inside test's computed crossing stays within the margin
// of the true one. A point's count of crossings is then the number of right-hand edges spanning its height.
// As the height moves, that count changes only at vertices, and a vertex at one of the cell's heights has
// both its edges on its own side, so the count changes by two or not at all: the parity, the answer, is
// constant. Two neighbouring clear cells of a row form a clear rectangle as well, so a run shares it.

} // namespace

ContainmentGrid::ContainmentGrid(const std::vector<Vec2>& vertices,
                                 const std::function<bool(Vec2)>& isInside) {
    const std::size_t n = vertices.size();
    if (n < 3) {
        return;
    }
    double minX = vertices[0].x;
    double maxX = minX;
    double minY = vertices[0].y;
    double maxY = minY;
    for (const Vec2& v : vertices) {
        if (!(std::abs(v.x) < kTameCoordinate && std::abs(v.y) < kTameCoordinate)) {
            return;
        }
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    const double width = maxX - minX;
    const double height = maxY - minY;
    if (!(width > 0 && height > 0)) {
        return;
    }

    // Nearly square cells, as many as the vertex count asks for.
    const std::size_t target = std::clamp(n * kCellsPerVertex, kMinCells, kMaxCells);
    const double aspect = width / height;
    const auto columns = static_cast<std::size_t>(std::clamp(
        std::round(std::sqrt(static_cast<double>(target) * aspect)), 1.0, static_cast<double>(target)));
    const std::size_t rows = std::max<std::size_t>(target / columns, 1);
    const double cellWidth = width / static_cast<double>(columns);
    const double cellHeight = height / static_cast<double>(rows);
    const double columnsPerUnit = static_cast<double>(columns) / width;
    const double rowsPerUnit = static_cast<double>(rows) / height;
    if (!(std::isfinite(columnsPerUnit) && std::isfinite(rowsPerUnit) && cellWidth > 0 && cellHeight > 0)) {
        return;
    }

    // How far a point may lie outside the nominal rectangle of the cell its rounded index names.
    const double slackX = kRelativeMargin * (std::abs(minX) + std::abs(maxX) + cellWidth);
    const double slackY = kRelativeMargin * (std::abs(minY) + std::abs(maxY) + cellHeight);
    auto indexOf = [](double offset, double perUnit, std::size_t count) {
        return static_cast<std::size_t>(
            std::clamp(std::floor(offset * perUnit), 0.0, static_cast<double>(count - 1)));
    };

    std::vector<Cell> cells(columns * rows, Cell::Outside);
    for (std::size_t k = 0; k < n; ++k) {
        const Vec2 a = vertices[k];
        const Vec2 b = vertices[(k + 1) % n];
        const double low = std::min(a.y, b.y);
        const double high = std::max(a.y, b.y);
        const double leftmost = std::min(a.x, b.x);
        const double rightmost = std::max(a.x, b.x);
        const double margin = kRelativeMargin * (std::abs(a.x) + std::abs(b.x)) + slackX;
        // The x of a slanted edge at height y, kept within the edge's own x extent.
        auto xAt = [&](double y) {
            return std::clamp(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y), leftmost, rightmost);
        };
        const std::size_t firstRow = indexOf(low - slackY - minY, rowsPerUnit, rows);
        const std::size_t lastRow = indexOf(high + slackY - minY, rowsPerUnit, rows);
        for (std::size_t row = firstRow; row <= lastRow; ++row) {
            const double rowLow = minY + static_cast<double>(row) * cellHeight - slackY;
            const double rowHigh = minY + static_cast<double>(row + 1) * cellHeight + slackY;
            const double clippedLow = std::max(low, rowLow);
            const double clippedHigh = std::min(high, rowHigh);
            if (clippedLow > clippedHigh) {
                continue;
            }
            const double x0 = a.y == b.y ? leftmost : xAt(clippedLow);
            const double x1 = a.y == b.y ? rightmost : xAt(clippedHigh);
            const std::size_t firstColumn =
                indexOf(std::min(x0, x1) - margin - minX, columnsPerUnit, columns);
            const std::size_t lastColumn = indexOf(std::max(x0, x1) + margin - minX, columnsPerUnit, columns);
            std::fill(cells.begin() + static_cast<std::ptrdiff_t>(row * columns + firstColumn),
                      cells.begin() + static_cast<std::ptrdiff_t>(row * columns + lastColumn + 1),
                      Cell::Crossed);
        }
    }

    for (std::size_t row = 0; row < rows; ++row) {
        std::optional<Cell> run; // the answer of the run of clear cells the scan is in
        for (std::size_t column = 0; column < columns; ++column) {
            Cell& cell = cells[row * columns + column];
            if (cell == Cell::Crossed) {
                run.reset();
                continue;
            }
            if (!run) {
                const Vec2 centre{minX + (static_cast<double>(column) + 0.5) * cellWidth,
                                  minY + (static_cast<double>(row) + 0.5) * cellHeight};
                run = isInside(centre) ? Cell::Inside : Cell::Outside;
            }
            cell = *run;
        }
    }

    minX_ = minX;
    minY_ = minY;
    columnsPerUnit_ = columnsPerUnit;
    rowsPerUnit_ = rowsPerUnit;
    columnCount_ = static_cast<double>(columns);
    rowCount_ = static_cast<double>(rows);
    columns_ = columns;
    cells_ = std::move(cells);
}

} // namespace pelagrin
