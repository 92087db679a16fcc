// Region: the encoded coordinate fields, the bounds, and the fit of the polygon onto the canvas.
#include "projects/Region.hpp"

#include "projects/WaterVertexDTO.hpp"

#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <cmath>
#include <nlohmann/json.hpp>
#include <numbers>
#include <set>
#include <utility>

namespace pelagrin {
namespace {

using nlohmann::json;

// The encoded fields hold JSON text, and JSON has no NaN or infinity: such a value cannot be encoded, and the
// field becomes absent rather than holding text that would not read back.
bool isEncodable(double value) {
    return std::isfinite(value);
}

// Both outlines are stored alike: a geographic vertex as its latitude and longitude, a canvas one as its x
// and y under the same two keys.
WaterVertexDTO recordOf(const GeoCoordinate& c) {
    return {c.latitude, c.longitude};
}

WaterVertexDTO recordOf(const Vec2& p) {
    return {p.x, p.y};
}

template <class Point> std::optional<std::string> encodeVertices(const std::vector<Point>& points) {
    json array = json::array();
    for (const Point& point : points) {
        const WaterVertexDTO v = recordOf(point);
        if (!isEncodable(v.latitude) || !isEncodable(v.longitude)) {
            return std::nullopt;
        }
        array.push_back({{"latitude", v.latitude}, {"longitude", v.longitude}});
    }
    return array.dump();
}

// Any flaw (absent field, text that is not JSON, an element without both numbers) yields an empty list: the
// encoded fields are derived or user-drawn data whose loss is not worth an error.
template <class Point> std::vector<Point> decodeVertices(const std::optional<std::string>& data) {
    if (!data) {
        return {};
    }
    const json array = json::parse(*data, nullptr, false);
    if (!array.is_array()) {
        return {};
    }
    std::vector<Point> vertices;
    vertices.reserve(array.size());
    for (const json& element : array) {
        if (!element.is_object()) {
            return {};
        }
        const auto latitude = element.find("latitude");
        const auto longitude = element.find("longitude");
        if (latitude == element.end() || longitude == element.end() || !latitude->is_number() ||
            !longitude->is_number()) {
            return {};
        }
        vertices.push_back({latitude->get<double>(), longitude->get<double>()});
    }
    return vertices;
}

struct Bounds {
    double minLatitude = 0.0;
    double maxLatitude = 0.0;
    double minLongitude = 0.0;
    double maxLongitude = 0.0;
};

Bounds boundsOf(const std::vector<GeoCoordinate>& vertices) {
    if (vertices.empty()) {
        return {};
    }
    Bounds b{vertices[0].latitude, vertices[0].latitude, vertices[0].longitude, vertices[0].longitude};
    for (const GeoCoordinate& v : vertices) {
        b.minLatitude = std::min(b.minLatitude, v.latitude);
        b.maxLatitude = std::max(b.maxLatitude, v.latitude);
        b.minLongitude = std::min(b.minLongitude, v.longitude);
        b.maxLongitude = std::max(b.maxLongitude, v.longitude);
    }
    return b;
}

// Outlines as plane polygons on (longitude, latitude) degrees; open or closed, any orientation.
using PlanePoint = boost::geometry::model::d2::point_xy<double>;
using PlanePolygon = boost::geometry::model::polygon<PlanePoint, false, false>;

PlanePolygon planePolygon(const std::vector<GeoCoordinate>& outline) {
    PlanePolygon polygon;
    for (const GeoCoordinate& c : outline) {
        polygon.outer().emplace_back(c.longitude, c.latitude);
    }
    return polygon;
}

} // namespace

std::optional<std::string> outlineProblem(const std::vector<GeoCoordinate>& outline) {
    std::set<std::pair<double, double>> distinct;
    for (const GeoCoordinate& c : outline) {
        distinct.emplace(c.latitude, c.longitude);
    }
    if (distinct.size() < 3) {
        return "The outline needs at least 3 distinct vertices";
    }
    // Collinear vertices leave only rounding noise, tiny beside the area of the box they span.
    const Bounds b = boundsOf(outline);
    const double boxArea = (b.maxLatitude - b.minLatitude) * (b.maxLongitude - b.minLongitude);
    const double area = std::abs(boost::geometry::area(planePolygon(outline)));
    if (!(area > boxArea * 1e-9)) {
        return "The outline has no area: its vertices lie on one line";
    }
    return std::nullopt;
}

bool isOutsideOutline(GeoCoordinate point, const std::vector<GeoCoordinate>& outline) {
    if (outlineProblem(outline)) {
        return false;
    }
    return !boost::geometry::within(PlanePoint(point.longitude, point.latitude), planePolygon(outline));
}

GeoCoordinate Region::emissionCoordinate() const {
    // Exactly 0 means unset; each coordinate falls back to the region's point on its own.
    return {emissionLat.get() != 0.0 ? emissionLat.get() : latitude.get(),
            emissionLon.get() != 0.0 ? emissionLon.get() : longitude.get()};
}

bool Region::emissionOutsideOutline() const {
    return isOutsideOutline(emissionCoordinate(), waterVertices());
}

std::vector<GeoCoordinate> Region::waterVertices() const {
    return decodeVertices<GeoCoordinate>(waterVerticesData);
}

void Region::setWaterVertices(const std::vector<GeoCoordinate>& vertices) {
    waterVerticesData = encodeVertices(vertices);
}

std::vector<Vec2> Region::waterVerticesSim() const {
    return decodeVertices<Vec2>(waterVerticesSimData);
}

void Region::setWaterVerticesSim(const std::vector<Vec2>& vertices) {
    waterVerticesSimData = encodeVertices(vertices);
}

std::optional<Vec2> Region::emissionPointSim() const {
    if (!emissionPointSimData.get()) {
        return std::nullopt;
    }
    const json array = json::parse(*emissionPointSimData.get(), nullptr, false);
    if (!array.is_array() || array.size() != 2 || !array[0].is_number() || !array[1].is_number()) {
        return std::nullopt;
    }
    return Vec2{array[0].get<double>(), array[1].get<double>()};
}

void Region::setEmissionPointSim(std::optional<Vec2> point) {
    if (!point || !isEncodable(point->x) || !isEncodable(point->y)) {
        emissionPointSimData = std::nullopt;
        return;
    }
    emissionPointSimData = json::array({point->x, point->y}).dump();
}

double Region::minLatitude() const {
    return boundsOf(waterVertices()).minLatitude;
}
double Region::maxLatitude() const {
    return boundsOf(waterVertices()).maxLatitude;
}
double Region::minLongitude() const {
    return boundsOf(waterVertices()).minLongitude;
}
double Region::maxLongitude() const {
    return boundsOf(waterVertices()).maxLongitude;
}

std::optional<CanvasMapping> Region::canvasMapping(double width, double height) const {
    const std::vector<GeoCoordinate> vertices = waterVertices();
    if (vertices.empty()) {
        return std::nullopt;
    }
    const Bounds b = boundsOf(vertices);
    // Written as negations so that a NaN range stops here as well.
    if (!(b.maxLatitude - b.minLatitude > 0.0) || !(b.maxLongitude - b.minLongitude > 0.0)) {
        return std::nullopt;
    }
    return CanvasMapping{b.minLatitude, b.maxLatitude, b.minLongitude, b.maxLongitude, width, height};
}

std::optional<Region::CanvasLayout> Region::canvasLayout(double width, double height) const {
    const std::optional<CanvasMapping> mapping = canvasMapping(width, height);
    if (!mapping) {
        return std::nullopt;
    }
    CanvasLayout layout;
    for (const GeoCoordinate& v : waterVertices()) {
        layout.vertices.push_back(mapping->toCanvas(v));
    }
    layout.emissionPoint = mapping->toCanvas(emissionCoordinate());
    return layout;
}

void Region::updateSimulationCoordinates(double width, double height) {
    if (std::optional<CanvasLayout> layout = canvasLayout(width, height)) {
        setWaterVerticesSim(layout->vertices);
        setEmissionPointSim(layout->emissionPoint);
    }
}

void Region::applyLayout(std::optional<GeoCoordinate> emission) {
    if (emission && emission->latitude != emissionLat.get()) {
        emissionLat = emission->latitude;
    }
    if (emission && emission->longitude != emissionLon.get()) {
        emissionLon = emission->longitude;
    }
    const std::optional<CanvasLayout> layout = canvasLayout(kCanvasWidth, kCanvasHeight);
    if (!layout) {
        return;
    }
    // The stored fields read back exactly what was written, so an unchanged layout compares equal.
    if (waterVerticesSim() != layout->vertices) {
        setWaterVerticesSim(layout->vertices);
    }
    if (emissionPointSim() != layout->emissionPoint) {
        setEmissionPointSim(layout->emissionPoint);
    }
}

double Region::pixelsPerMeter() const {
    constexpr double shortestEdge = 10.0; // m; keeps a degenerate polygon from giving an unbounded scale
    const Bounds b = boundsOf(waterVertices());
    const double d = greatCircleDistance({b.minLatitude, b.minLongitude}, {b.minLatitude, b.maxLongitude});
    return kCanvasWidth / std::max(d, shortestEdge);
}

double greatCircleDistance(GeoCoordinate from, GeoCoordinate to) {
    // Haversine on a sphere of the Earth's mean radius (IUGG): well within a metre per kilometre of the
    // ellipsoid at lake scale, which is all a pixel scale needs.
    constexpr double earthRadius = 6'371'008.8; // m
    constexpr double toRadians = std::numbers::pi / 180.0;
    const double phi1 = from.latitude * toRadians;
    const double phi2 = to.latitude * toRadians;
    const double dPhi = phi2 - phi1;
    const double dLambda = (to.longitude - from.longitude) * toRadians;
    const double h = std::sin(dPhi / 2) * std::sin(dPhi / 2) +
                     std::cos(phi1) * std::cos(phi2) * std::sin(dLambda / 2) * std::sin(dLambda / 2);
    return 2.0 * earthRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

} // namespace pelagrin
