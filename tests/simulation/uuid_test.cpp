// Uuid: fresh identities never repeat, and the text form reads back.
#include "simulation/Uuid.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace pelagrin {
namespace {

TEST(Uuid, IdsFromSeveralThreadsAreDistinctVersionFourAndReadBack) {
    constexpr std::size_t threadCount = 4;
    constexpr std::size_t perThread = 5'000;
    std::vector<Uuid> ids(threadCount * perThread);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < threadCount; ++t) {
        threads.emplace_back([&ids, t] {
            for (std::size_t i = t * perThread; i < (t + 1) * perThread; ++i) {
                ids[i] = Uuid::random();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const Uuid& id : ids) {
        const std::string text = id.toString();
        ASSERT_EQ(text[14], '4') << text;
        ASSERT_NE(std::string("89ab").find(text[19]), std::string::npos) << text;
        ASSERT_EQ(Uuid::fromString(text), id) << text;
    }
    std::sort(ids.begin(), ids.end(), [](const Uuid& a, const Uuid& b) { return a.bytes < b.bytes; });
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST(Uuid, TextFormsReadInEitherCaseAndNothingElse) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0123abcd-4567-4def-89ab-0123456789ab", "0123abcd-4567-4def-89ab-0123456789ab"},
        {"0123ABCD-4567-4DEF-89AB-0123456789AB", "0123abcd-4567-4def-89ab-0123456789ab"},
        {"0123abcd-4567-4def-89ab-0123456789a", ""},
        {"0123abcd-4567-4def-89ab-0123456789abc", ""},
        {"0123abcd+4567-4def-89ab-0123456789ab", ""},
        {"0123abcg-4567-4def-89ab-0123456789ab", ""},
        {"", ""},
    };
    for (const auto& [text, canonical] : cases) {
        const std::optional<Uuid> read = Uuid::fromString(text);
        EXPECT_EQ(read ? read->toString() : "", canonical) << text;
    }
}

} // namespace
} // namespace pelagrin
