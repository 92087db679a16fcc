// MapClick: the checks of a reported click and its routing by modifier keys.
#include "app/water/MapClick.hpp"

#include "app/Intent.hpp"
#include "app/water/MapArea.hpp"

namespace pelagrin {

MapClick MapClick::fromIntent(const Intent& intent) {
    const GeoCoordinate coordinate = coordinateArgument(intent);
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
