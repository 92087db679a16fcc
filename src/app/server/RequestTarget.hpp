// RequestTarget: the path and the query of an HTTP request target.
#pragma once

#include <string_view>

namespace pelagrin {

/// A request target split at its first '?'; both views point into the target.
struct RequestTarget {
    std::string_view path;
    std::string_view query; ///< without the '?'; empty when there is none

    explicit RequestTarget(std::string_view target)
        : path(target.substr(0, target.find('?'))),
          query(path.size() < target.size() ? target.substr(path.size() + 1) : std::string_view{}) {}
};

} // namespace pelagrin
