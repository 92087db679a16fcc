// SidebarSection: the sections' names in the window state.
#include "app/projects/SidebarSection.hpp"

#include <array>

namespace pelagrin {
namespace {

constexpr std::array<std::string_view, 5> names{"region", "parameters", "particles", "simulation",
                                                "analysis"};

} // namespace

std::string_view name(SidebarSection section) {
    return names.at(static_cast<std::size_t>(section));
}

std::optional<SidebarSection> sidebarSection(std::string_view text) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == text) {
            return static_cast<SidebarSection>(i);
        }
    }
    return std::nullopt;
}

} // namespace pelagrin
