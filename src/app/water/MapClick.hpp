// MapClick: one click on the region map with the modifier keys held, and the effect it has.
#pragma once

#include "simulation/GeoCoordinate.hpp"

namespace pelagrin {

class Intent;

/// A single primary-button click on the map, turned into a geographic point by the browser's map.
struct MapClick {
    GeoCoordinate coordinate;   ///< degrees; latitude in [-90, 90], longitude in [-180, 180]
    bool isOptionHeld = false;  ///< Alt or Shift: some desktops take Alt-click for moving windows
    bool isCommandHeld = false; ///< Ctrl or Meta

    /// The click of a "mapClick" intent: `latitude`, `longitude` (numbers in range) and `alt`, `shift`,
    /// `ctrl`, `meta` (booleans), all required. Throws IntentError naming the argument.
    static MapClick fromIntent(const Intent& intent);
};

/// What a click does besides moving the "Selected" pin.
enum class ClickEffect { setEmissionPoint, startDetection, addVertex, none };

/// Option places the emission point whatever else is held. Otherwise, with auto-detection offered, a plain
/// or Command click detects; without it a plain click adds a vertex and a Command click does nothing more.
ClickEffect routeClick(const MapClick& click, bool offersDetection);

} // namespace pelagrin
