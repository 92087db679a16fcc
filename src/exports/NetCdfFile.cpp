// NetCdfFile: the nc_* calls, their statuses turned into exceptions, and the rename that completes a file.
#include "exports/NetCdfFile.hpp"

#include "support/AtomicWrite.hpp"

#include <functional>
#include <hdf5.h>
#include <numeric>
#include <system_error>
#include <utility>

namespace pelagrin {

namespace {

// A file whose write failed stays half closed inside HDF5, and HDF5's own clean-up at exit then crashes on
// it, turning a clear error into a segmentation fault. Every file here is closed or removed by its owner, so
// that clean-up has nothing to save. It can only be turned off before HDF5's first call.
void keepHdf5FromClosingFilesAtExit() {
    static const bool done = [] {
        H5dont_atexit();
        return true;
    }();
    (void)done;
}

} // namespace

NetCdfFile::NetCdfFile(std::filesystem::path path, std::string what)
    : path_(std::move(path)), what_(std::move(what)) {
    keepHdf5FromClosingFilesAtExit();
    try {
        temporary_ = createTemporaryBeside(path_);
    } catch (const std::system_error& error) {
        fail(error.code().message());
    }
    const int status = nc_create(temporary_.c_str(), NC_CLOBBER | NC_NETCDF4, &id_);
    if (status != NC_NOERR) {
        id_ = -1;
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        check(status);
    }
    // Every value of every variable is written, so filling them first would only write the file twice.
    int previousMode = 0;
    check(nc_set_fill(id_, NC_NOFILL, &previousMode));
}

NetCdfFile::~NetCdfFile() {
    if (id_ >= 0) {
        nc_close(id_);
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

int NetCdfFile::addDimension(const std::string& name, std::size_t length) {
    int dimension = 0;
    check(nc_def_dim(id_, name.c_str(), length == 0 ? NC_UNLIMITED : length, &dimension));
    return dimension;
}

int NetCdfFile::addVariable(const std::string& name, nc_type type, const std::vector<int>& dimensions) {
    int variable = 0;
    check(nc_def_var(id_, name.c_str(), type, static_cast<int>(dimensions.size()), dimensions.data(),
                     &variable));
    return variable;
}

void NetCdfFile::setChunking(int variable, const std::vector<std::size_t>& sizes) {
    check(nc_def_var_chunking(id_, variable, NC_CHUNKED, sizes.data()));
    // The cache holds one whole chunk. With less, the library still builds every write in a chunk-sized
    // buffer, allocated and freed each time, and the allocator gives that memory back to the system and
    // faults it in anew on the next write: for a trajectory file that churn cost more than the writing
    // itself (17,000 page faults for 721 samples of 20,000 particles, against 1,500 with the chunk kept).
    // Few slots suffice for one chunk; full preemption drops a chunk once it is written whole.
    nc_type type = NC_NAT;
    check(nc_inq_vartype(id_, variable, &type));
    std::size_t valueBytes = 0;
    check(nc_inq_type(id_, type, nullptr, &valueBytes));
    const std::size_t chunkBytes =
        std::accumulate(sizes.begin(), sizes.end(), valueBytes, std::multiplies<>());
    check(nc_set_var_chunk_cache(id_, variable, chunkBytes, 101, 1.0f));
}

void NetCdfFile::putText(int variable, const std::string& name, const std::string& text) {
    check(nc_put_att_text(id_, variable, name.c_str(), text.size(), text.data()));
}

void NetCdfFile::putDoubles(int variable, const std::string& name, std::span<const double> values) {
    check(nc_put_att_double(id_, variable, name.c_str(), NC_DOUBLE, values.size(), values.data()));
}

void NetCdfFile::putBytes(int variable, const std::string& name, std::span<const signed char> values) {
    check(nc_put_att_schar(id_, variable, name.c_str(), NC_BYTE, values.size(), values.data()));
}

void NetCdfFile::putAttribute(int variable, const NetCdfAttribute& attribute) {
    const char* name = attribute.name.c_str();
    if (const auto* text = std::get_if<std::string>(&attribute.value)) {
        putText(variable, attribute.name, *text);
    } else if (const auto* real = std::get_if<double>(&attribute.value)) {
        check(nc_put_att_double(id_, variable, name, NC_DOUBLE, 1, real));
    } else {
        const long long whole = std::get<std::int64_t>(attribute.value);
        check(nc_put_att_longlong(id_, variable, name, NC_INT64, 1, &whole));
    }
}

void NetCdfFile::endDefinitions() {
    check(nc_enddef(id_));
}

void NetCdfFile::close() {
    const int status = nc_close(std::exchange(id_, -1));
    std::error_code error;
    if (status == NC_NOERR) {
        std::filesystem::rename(temporary_, path_, error);
    }
    if (status != NC_NOERR || error) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
    check(status);
    if (error) {
        fail(error.message());
    }
}

void NetCdfFile::check(int status) const {
    if (status != NC_NOERR) {
        fail(nc_strerror(status));
    }
}

void NetCdfFile::fail(const std::string& reason) const {
    throw NetCdfError("Cannot write " + what_ + " to " + path_.string() + ": " + reason);
}

} // namespace pelagrin
