// Region: the water body of a project, its emission point and their mapping onto the simulation canvas.
#pragma once

#include "simulation/CanvasMapping.hpp"
#include "simulation/GeoCoordinate.hpp"
#include "simulation/Observable.hpp"
#include "simulation/Vec2.hpp"

#include <optional>
#include <string>
#include <vector>

namespace pelagrin {

/// The simulation canvas every caller maps onto, in simulation pixels.
inline constexpr double kCanvasWidth = 800.0;
inline constexpr double kCanvasHeight = 600.0;

/// Where the water is and where particles enter it. The three polygons and points are kept as compact JSON
/// byte strings; the computed members below read and write them and never report an error.
class Region {
public:
    Region(std::string regionName, double selectedLatitude, double selectedLongitude, double direction = 0.0)
        : name(std::move(regionName)), latitude(selectedLatitude), longitude(selectedLongitude),
          flowDirection(direction) {}

    Observable<std::string> name;
    Observable<double> latitude;  ///< degrees; the selected point, stands in for an unset emission latitude
    Observable<double> longitude; ///< degrees; stands in for an unset emission longitude
    Observable<double> flowDirection;        ///< direction of the mean current, degrees
    Observable<double> emissionLat{0.0};     ///< degrees; exactly 0 means unset
    Observable<double> emissionLon{0.0};     ///< degrees; exactly 0 means unset
    Observable<double> emissionRadius{10.0}; ///< radius of the release disc, m
    /// Polygon in simulation px: `[{"latitude": x, "longitude": y}, …]`.
    Observable<std::optional<std::string>> waterVerticesSimData;
    /// Emission point in simulation px: `[x, y]`.
    Observable<std::optional<std::string>> emissionPointSimData;
    /// Polygon in degrees: `[{"latitude": …, "longitude": …}, …]`.
    Observable<std::optional<std::string>> waterVerticesData;

    /// The geographic polygon, in order; empty when absent or undecodable.
    std::vector<GeoCoordinate> waterVertices() const;
    /// Stores the polygon; a vertex that cannot be encoded (not finite) makes the field absent.
    void setWaterVertices(const std::vector<GeoCoordinate>& vertices);

    /// The polygon in simulation px; empty when absent or undecodable.
    std::vector<Vec2> waterVerticesSim() const;
    void setWaterVerticesSim(const std::vector<Vec2>& vertices);

    /// The emission point in simulation px; absent unless the field decodes to exactly two numbers.
    std::optional<Vec2> emissionPointSim() const;
    void setEmissionPointSim(std::optional<Vec2> point);

    /// The emission point, each coordinate falling back on the selected point's while it is unset.
    GeoCoordinate emissionCoordinate() const;
    /// The emission point lies outside a polygon that bounds water, so a run would release its particles on
    /// land; false while the polygon bounds no water (see `outlineProblem`). For the region screen's warning
    /// and for whoever starts a run.
    bool emissionOutsideOutline() const;

    /// Bounds of `waterVertices`, degrees; 0 when the polygon is empty.
    double minLatitude() const;
    double maxLatitude() const;
    double minLongitude() const;
    double maxLongitude() const;

    /// The polygon's bounding box fitted onto a width × height canvas; absent when the polygon is empty or
    /// has no extent on an axis.
    std::optional<CanvasMapping> canvasMapping(double width, double height) const;

    /// The polygon and the emission point fitted onto a canvas, simulation px.
    struct CanvasLayout {
        std::vector<Vec2> vertices;
        Vec2 emissionPoint;
    };
    /// The polygon's bounding box fitted onto a width × height canvas (north up), with the emission point;
    /// absent when the polygon is empty or has no extent on an axis.
    std::optional<CanvasLayout> canvasLayout(double width, double height) const;

    /// Fits the polygon's bounding box onto a width × height canvas (north up) and rewrites the simulation
    /// polygon and emission point, or changes nothing when the polygon is empty or has no extent on an axis.
    void updateSimulationCoordinates(double width, double height);

    /// What "Apply Region" does, and every run before it starts: sets the emission point to `emission` when
    /// given, then lays the polygon and the emission point out on the kCanvasWidth × kCanvasHeight canvas.
    /// Writes only the fields whose value changes, so a region laid out already is left exactly as it is.
    void applyLayout(std::optional<GeoCoordinate> emission);

    /// Simulation px per metre along the southern edge of the bounding box (edge at least 10 m).
    double pixelsPerMeter() const;

    /// Calls `visit(key, field)` for every stored field in declaration order.
    template <class Visitor> void forEachField(Visitor&& visit) {
        visit("name", name);
        visit("latitude", latitude);
        visit("longitude", longitude);
        visit("flowDirection", flowDirection);
        visit("emissionLat", emissionLat);
        visit("emissionLon", emissionLon);
        visit("emissionRadius", emissionRadius);
        visit("waterVerticesSimData", waterVerticesSimData);
        visit("emissionPointSimData", emissionPointSimData);
        visit("waterVerticesData", waterVerticesData);
    }
};

/// Why `outline` (degrees) cannot bound water: fewer than 3 distinct vertices, or no area (every vertex on
/// one line); nothing when it can. The text is a sentence for the user.
std::optional<std::string> outlineProblem(const std::vector<GeoCoordinate>& outline);

/// Whether `point` lies outside `outline` by the even-odd rule, in plain degrees (no projection: exact enough
/// at lake scale); false while `outline` bounds no water.
bool isOutsideOutline(GeoCoordinate point, const std::vector<GeoCoordinate>& outline);

/// Great-circle distance between two points on a spherical Earth of mean radius, in metres.
double greatCircleDistance(GeoCoordinate from, GeoCoordinate to);

} // namespace pelagrin
