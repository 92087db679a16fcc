// VariedParameter: the project settings an ensemble may vary, their ranges, and `NAME=LOW:HIGH` read from
// text.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelagrin {

class Project;

/// A setting of a project that members of an ensemble may take different values of.
struct VariedParameter {
    std::string_view name; ///< the project-file key, as given to `--vary`
    double min = 0.0;      ///< the least value a member may take, in the key's own unit
    double max = 0.0;      ///< the greatest
    bool isWhole = false;  ///< drawn values are rounded to the nearest whole number
    /// Sets the value on a project that has parameters (particle settings are made when missing).
    void (*apply)(Project& project, double value) = nullptr;
    /// The project's value, or the one a run falls back to where its parameters or particle settings are
    /// missing.
    double (*read)(const Project& project) = nullptr;

    /// Every setting that may be varied, in a fixed order; one row each.
    static std::span<const VariedParameter> all();
    /// The row named `name`; null when none is.
    static const VariedParameter* named(std::string_view name);
};

/// Why a `--vary` could not be read; the message names the text and the problem.
class VariationError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

/// One varied setting of an ensemble: its values lie in [low, high].
struct Variation {
    const VariedParameter* parameter = nullptr;
    double low = 0.0;
    double high = 0.0;

    /// Reads `NAME=LOW:HIGH` (at most 200 characters). Throws `VariationError` for an unknown name, a bound
    /// that is not a finite number, LOW above HIGH, or a bound outside the parameter's range.
    static Variation parse(std::string_view text);
    /// Reads every text in order; throws as `parse` does, and for a name given twice.
    static std::vector<Variation> parseAll(std::span<const std::string> texts);
    /// The value at `share` of the way from low to high ([0, 1]), rounded for a whole-number parameter.
    double valueAt(double share) const;
};

} // namespace pelagrin
