// SidebarSection: the five screens of the project window.
#pragma once

#include <optional>
#include <string_view>

namespace pelagrin {

/// In sidebar order.
enum class SidebarSection { region, parameters, particles, simulation, analysis };

/// "region", "parameters", "particles", "simulation" or "analysis".
std::string_view name(SidebarSection section);

/// The section of that name; absent for any other text.
std::optional<SidebarSection> sidebarSection(std::string_view name);

} // namespace pelagrin
