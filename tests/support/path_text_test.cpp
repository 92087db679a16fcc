#include "support/PathText.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

namespace pelagrin {
namespace {

TEST(PathText, EveryPathSurvivesAJsonRoundTripAndUtf8PathsAreTheirOwnText) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"/home/anna/Lake Study.pelagrinproj", "/home/anna/Lake Study.pelagrinproj"},
        {"/home/anna/Bodensee \xc3\xa4.pelagrinproj", "/home/anna/Bodensee \xc3\xa4.pelagrinproj"},
        {"/tmp/\xff", std::string(1, '\0') + "/tmp/%FF"},
        {"/tmp/50%\xe4/\xc3\xa4", std::string(1, '\0') + "/tmp/50%25%E4/%C3%A4"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(PathText::encode(bytes), text) << bytes;
        const auto carried = nlohmann::json::parse(nlohmann::json(PathText::encode(bytes)).dump());
        EXPECT_EQ(PathText::decode(carried.get<std::string>()).native(), bytes);
    }
}

TEST(PathText, AnEscapeWithoutTwoHexDigitsIsRefused) {
    for (const std::string bad : {"%F", "%GG", "/a%"}) {
        try {
            PathText::decode(std::string(1, '\0') + bad);
            ADD_FAILURE() << "decoded " << bad;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "an escaped path has a \"%\" without two hex digits");
        }
    }
}

} // namespace
} // namespace pelagrin
