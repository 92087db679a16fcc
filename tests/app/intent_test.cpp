// Intent: the shape and argument checks every browser message goes through.
#include "app/Intent.hpp"

#include <gtest/gtest.h>
#include <limits>

namespace pelagrin {
namespace {

std::string refusal(const nlohmann::json& message, const char* key = nullptr) {
    try {
        const Intent intent(message);
        if (key != nullptr) {
            (void)intent.number(key);
        }
    } catch (const IntentError& error) {
        return error.what();
    }
    return "";
}

TEST(Intent, AMessageMustBeAnObjectWithAStringName) {
    EXPECT_EQ(refusal(nlohmann::json::array()), "an intent must be a JSON object");
    EXPECT_EQ(refusal("selectSection"), "an intent must be a JSON object");
    EXPECT_EQ(refusal({{"section", "region"}}), "an intent must have a string \"intent\"");
    EXPECT_EQ(refusal({{"intent", 4}}), "an intent must have a string \"intent\"");
    EXPECT_EQ(Intent(nlohmann::json{{"intent", "selectSection"}}).name(), "selectSection");
}

TEST(Intent, ArgumentsAreCheckedForPresenceAndTypeAndNamedInTheError) {
    const Intent intent(
        {{"intent", "setControl"}, {"id", "count"}, {"value", 500}, {"flag", true}, {"text", 3}});
    EXPECT_EQ(intent.string("id"), "count");
    EXPECT_EQ(intent.number("value"), 500.0);
    EXPECT_TRUE(intent.boolean("flag"));
    EXPECT_THROW((void)intent.string("text"), IntentError);
    EXPECT_THROW((void)intent.boolean("value"), IntentError);
    EXPECT_THROW((void)intent.number("id"), IntentError);
    EXPECT_EQ(refusal({{"intent", "setControl"}}, "value"), "setControl: \"value\" is missing");
    EXPECT_EQ(refusal({{"intent", "setControl"}, {"value", "1"}}, "value"),
              "setControl: \"value\" must be a number");
}

TEST(Intent, ANumberMustBeFinite) {
    const Intent intent(
        nlohmann::json{{"intent", "setControl"}, {"value", std::numeric_limits<double>::infinity()}});
    EXPECT_THROW((void)intent.number("value"), IntentError);
}

} // namespace
} // namespace pelagrin
