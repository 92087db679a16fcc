// NetCdfFile: one NetCDF file being written, its handle closed however the writing ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <netcdf.h>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace pelagrin {

/// Why a NetCDF file could not be written: "Cannot write <what> to <path>: <the library's reason>".
class NetCdfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A global attribute a caller chooses to put in a file: text, a real number or a whole number.
struct NetCdfAttribute {
    std::string name;
    std::variant<std::string, double, std::int64_t> value;
};

/// The library's call that writes a block of values of type T.
template <class T> struct NetCdfValues;
template <> struct NetCdfValues<double> { static constexpr auto put = nc_put_vara_double; };
template <> struct NetCdfValues<int> { static constexpr auto put = nc_put_vara_int; };
template <> struct NetCdfValues<std::int16_t> { static constexpr auto put = nc_put_vara_short; };
template <> struct NetCdfValues<signed char> { static constexpr auto put = nc_put_vara_schar; };
template <> struct NetCdfValues<std::int64_t> {
    // Written as they are: the one whole-number type of that width, so no conversion is needed (the typed
    // call takes long long, which std::int64_t need not be).
    static int put(int file, int variable, const std::size_t* start, const std::size_t* count,
                   const std::int64_t* values) {
        return nc_put_vara(file, variable, start, count, values);
    }
};

/// A netCDF-4 file written in two phases: dimensions, variables and attributes first, then `endDefinitions`
/// and the values. It is written beside its destination and takes the destination's place only on `close`,
/// so a write that fails or is abandoned leaves any earlier file at the path as it was and nothing else
/// behind. Every failure throws `NetCdfError`. Not copyable; one thread at a time.
class NetCdfFile {
public:
    /// Starts the file for `path`; `what` names its contents in error messages ("trajectories").
    NetCdfFile(std::filesystem::path path, std::string what);
    /// Abandons the file unless `close` succeeded.
    ~NetCdfFile();
    NetCdfFile(const NetCdfFile&) = delete;
    NetCdfFile& operator=(const NetCdfFile&) = delete;

    /// Adds a dimension of `length` entries, 0 for an unlimited one; returns its id.
    int addDimension(const std::string& name, std::size_t length);
    /// Adds a variable of `type` over `dimensions` (ids, slowest first); returns its id.
    int addVariable(const std::string& name, nc_type type, const std::vector<int>& dimensions);
    /// Stores `variable` in chunks of `sizes` entries per dimension, the library holding one chunk of it in
    /// memory between writes.
    void setChunking(int variable, const std::vector<std::size_t>& sizes);

    /// Attributes of a variable, or of the file with `NC_GLOBAL`.
    void putText(int variable, const std::string& name, const std::string& text);
    void putDoubles(int variable, const std::string& name, std::span<const double> values);
    void putBytes(int variable, const std::string& name, std::span<const signed char> values);
    void putAttribute(int variable, const NetCdfAttribute& attribute);

    /// Ends the definitions; values may be written from then on.
    void endDefinitions();

    /// Writes the block of `variable` starting at `start` with `count` entries per dimension, row-major, of
    /// any type `NetCdfValues` knows.
    template <class T>
    requires requires { NetCdfValues<T>::put; }
    void write(int variable, const std::vector<std::size_t>& start, const std::vector<std::size_t>& count,
               const T* values) {
        check(NetCdfValues<T>::put(id_, variable, start.data(), count.data(), values));
    }

    /// Finishes the file and puts it at its path.
    void close();

private:
    /// Throws for a status other than NC_NOERR.
    void check(int status) const;
    [[noreturn]] void fail(const std::string& reason) const;

    std::filesystem::path path_;
    std::string what_;
    std::filesystem::path temporary_;
    int id_ = -1;
};

} // namespace pelagrin
