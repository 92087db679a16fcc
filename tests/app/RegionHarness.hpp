// What the tests of the region screen share: points as the state has them, map clicks with their keys, and a
// window test that opens projects on the region screen and points detection at a fake server.
#pragma once

#include "tests/app/WindowHarness.hpp"

#include <string>
#include <vector>

namespace pelagrin::test {

using Outline = std::vector<GeoCoordinate>;

/// The keys held during a map click.
enum class Keys { none, alt, shift, ctrl, meta, altCtrl };

inline nlohmann::json point(double latitude, double longitude) {
    return {{"latitude", latitude}, {"longitude", longitude}};
}
inline nlohmann::json point(GeoCoordinate c) {
    return point(c.latitude, c.longitude);
}

inline nlohmann::json points(const Outline& outline) {
    nlohmann::json list = nlohmann::json::array();
    for (const GeoCoordinate& c : outline) {
        list.push_back(point(c));
    }
    return list;
}

/// The "mapClick" intent the page sends for a click at (latitude, longitude) with `keys` held.
inline nlohmann::json mapClick(double latitude, double longitude, Keys keys = Keys::none) {
    return {{"intent", "mapClick"},         {"latitude", latitude},
            {"longitude", longitude},       {"alt", keys == Keys::alt || keys == Keys::altCtrl},
            {"shift", keys == Keys::shift}, {"ctrl", keys == Keys::ctrl || keys == Keys::altCtrl},
            {"meta", keys == Keys::meta}};
}

class RegionTest : public WindowTest {
protected:
    /// A window showing a project file `name`, with `region` when one is given.
    std::unique_ptr<MainWindow> windowWith(const std::string& name,
                                           std::shared_ptr<Region> region = nullptr) {
        Project project(name);
        project.region = std::move(region);
        const auto path = projects() / (name + ".pelagrinproj");
        ProjectPersistence::save(project, path);
        auto window = launch->openWindow();
        open(*window, path);
        return window;
    }

    /// Points the detection at the server at `baseUrl`.
    void serve(const std::string& baseUrl) { launch->waterBoundary.setBaseUrl(baseUrl); }

    Region& region() const { return *project().region.get(); }

    static nlohmann::json screen(const MainWindow& window) { return window.state()["project"]["region"]; }
    static void click(MainWindow& window, GeoCoordinate at, Keys keys = Keys::none) {
        send(window, mapClick(at.latitude, at.longitude, keys));
    }
    /// Clicks each vertex of `outline` in turn, with auto-detect off: a hand-drawn outline.
    static void draw(MainWindow& window, const Outline& outline) {
        for (const GeoCoordinate& c : outline) {
            click(window, c);
        }
    }
};

} // namespace pelagrin::test
