// Feeds arbitrary bytes to the Overpass answer decoder and the outline choice after it: every input must end
// in an outline or an error value, whatever the numbers in it.
#include "simulation/GeoCoordinate.hpp"
#include "water/WaterBoundaryService.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    std::ostringstream log;
    // A click inside the real answers of the seed corpus, so that both ways of choosing are reached.
    (void)pelagrin::interpretOverpassAnswer(body, pelagrin::GeoCoordinate{42.5788, 1.6398}, log);
    return 0;
}
