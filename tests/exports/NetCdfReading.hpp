// NetCdfReading: a written file read back through the NetCDF C library, and its header as ncdump shows it.
#pragma once

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <netcdf.h>
#include <string>
#include <vector>

namespace pelagrin::test {

class NetCdfReading {
public:
    explicit NetCdfReading(const std::filesystem::path& path) {
        EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id_), NC_NOERR) << path;
    }
    ~NetCdfReading() { nc_close(id_); }
    NetCdfReading(const NetCdfReading&) = delete;
    NetCdfReading& operator=(const NetCdfReading&) = delete;

    std::size_t dimension(const std::string& name) const {
        int dimension = 0;
        std::size_t length = 0;
        EXPECT_EQ(nc_inq_dimid(id_, name.c_str(), &dimension), NC_NOERR) << name;
        nc_inq_dimlen(id_, dimension, &length);
        return length;
    }

    int variable(const std::string& name) const {
        int variable = -1;
        EXPECT_EQ(nc_inq_varid(id_, name.c_str(), &variable), NC_NOERR) << name;
        return variable;
    }

    /// Every value of a variable, converted by the library to T (double, long long or signed char).
    template <class T> std::vector<T> values(const std::string& name) const {
        const int id = variable(name);
        int dimensionCount = 0;
        nc_inq_varndims(id_, id, &dimensionCount);
        std::vector<int> dimensions(static_cast<std::size_t>(dimensionCount));
        nc_inq_vardimid(id_, id, dimensions.data());
        std::size_t size = 1;
        for (const int dimension : dimensions) {
            std::size_t length = 0;
            nc_inq_dimlen(id_, dimension, &length);
            size *= length;
        }
        std::vector<T> result(size);
        if constexpr (std::is_same_v<T, double>) {
            EXPECT_EQ(nc_get_var_double(id_, id, result.data()), NC_NOERR) << name;
        } else if constexpr (std::is_same_v<T, long long>) {
            EXPECT_EQ(nc_get_var_longlong(id_, id, result.data()), NC_NOERR) << name;
        } else {
            EXPECT_EQ(nc_get_var_schar(id_, id, result.data()), NC_NOERR) << name;
        }
        return result;
    }

    /// Every value of a packed variable as a CF reader sees it: add_offset + scale_factor × stored.
    std::vector<double> unpacked(const std::string& name) const {
        const int id = variable(name);
        const double scale = number(id, "scale_factor");
        const double offset = number(id, "add_offset");
        std::vector<double> values = this->values<double>(name);
        for (double& value : values) {
            value = offset + scale * value;
        }
        return values;
    }

    /// A text attribute of a variable, or of the file with NC_GLOBAL.
    std::string text(int variable, const std::string& name) const {
        std::size_t length = 0;
        EXPECT_EQ(nc_inq_attlen(id_, variable, name.c_str(), &length), NC_NOERR) << name;
        std::string value(length, '\0');
        nc_get_att_text(id_, variable, name.c_str(), value.data());
        return value;
    }

    double number(int variable, const std::string& name) const {
        double value = 0.0;
        EXPECT_EQ(nc_get_att_double(id_, variable, name.c_str(), &value), NC_NOERR) << name;
        return value;
    }

private:
    int id_ = -1;
};

/// `ncdump -h` of `path`; empty when the build found no ncdump.
inline std::string ncdumpHeader(const std::filesystem::path& path) {
    const std::string ncdump = PELAGRIN_NCDUMP;
    if (ncdump.empty()) {
        return {};
    }
    std::string output;
    std::FILE* pipe = ::popen((ncdump + " -h '" + path.string() + "'").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    EXPECT_EQ(::pclose(pipe), 0) << output;
    return output;
}

} // namespace pelagrin::test
