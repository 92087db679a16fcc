// NetCdfFile: a failed or abandoned write says why and leaves the destination as it was.
#include "exports/NetCdfFile.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gtest/gtest.h>

namespace pelagrin::test {
namespace {

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(NetCdfFile, AFailedWriteNamesThePathAndTheCauseAndLeavesTheEarlierFile) {
    TemporaryFolder folder;
    const std::filesystem::path path = folder / "run.nc";
    writeFile(path, "an earlier export");
    const std::string prefix = "Cannot write trajectories to " + path.string() + ": ";

    try {
        NetCdfFile file(folder / "missing" / "run.nc", "trajectories");
        ADD_FAILURE() << "a file in a missing folder was started";
    } catch (const NetCdfError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot write trajectories to " +
                                                 (folder / "missing" / "run.nc").string() +
                                                 ": No such file or directory");
    }
    try {
        NetCdfFile file(path, "trajectories");
        file.addDimension("obs", 0);
        file.addVariable("lon", NC_DOUBLE, {7});
        ADD_FAILURE() << "a variable over an unknown dimension was added";
    } catch (const NetCdfError& error) {
        EXPECT_EQ(std::string(error.what()), prefix + "NetCDF: Invalid dimension ID or name");
    }
    {
        NetCdfFile abandoned(path, "trajectories");
        abandoned.addDimension("obs", 0);
    }
    EXPECT_EQ(readFile(path), "an earlier export");
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"run.nc"});

    NetCdfFile file(path, "trajectories");
    file.putText(NC_GLOBAL, "title", "a run");
    file.close();
    EXPECT_TRUE(readFile(path).starts_with("\x89HDF")) << "a netCDF-4 file replaces the earlier one";
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string>{"run.nc"});
}

} // namespace
} // namespace pelagrin::test
