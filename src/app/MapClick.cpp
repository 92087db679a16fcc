// MapClick: the checks of a reported click and its routing by modifier keys.
#include "app/MapClick.hpp"

#include "app/Intent.hpp"

#include <string>

namespace pelagrin {
namespace {

/// The number `key` of `intent`, refused outside [-limit, limit].
double degrees(const Intent& intent, const char* key, double limit) {
    const double value = intent.number(key);
    if (value < -limit || value > limit) {
        const std::string bound = std::to_string(static_cast<int>(limit));
        throw intent.error(std::string("\"") + key + "\" must lie in [-" + bound + ", " + bound + "]");
    }
    return value;
}

} // namespace

MapClick MapClick::fromIntent(const Intent& intent) {
    const GeoCoordinate coordinate{degrees(intent, "latitude", 90.0), degrees(intent, "longitude", 180.0)};
    const bool alt = intent.boolean("alt");
    const bool shift = intent.boolean("shift");
    const bool ctrl = intent.boolean("ctrl");
    const bool meta = intent.boolean("meta");
    return {coordinate, alt || shift, ctrl || meta};
}

ClickEffect routeClick(const MapClick& click, bool offersDetection) {
    if (click.isOptionHeld) {
        return ClickEffect::setEmissionPoint;
    }
    if (offersDetection) {
        return ClickEffect::startDetection;
    }
    return click.isCommandHeld ? ClickEffect::none : ClickEffect::addVertex;
}

} // namespace pelagrin
