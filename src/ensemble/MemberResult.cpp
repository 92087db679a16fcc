// MemberResult: the MessagePack form of member results.
#include "ensemble/MemberResult.hpp"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace pelagrin {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(MemberResult, index, seed, values, csv, stuckCount, activeCount, timeRunS,
                                   bedCells, shoreSegments)

std::vector<std::uint8_t> MemberResult::encode(std::span<const MemberResult> results) {
    return nlohmann::json::to_msgpack(
        nlohmann::json(std::vector<MemberResult>(results.begin(), results.end())));
}

std::vector<MemberResult> MemberResult::decode(std::span<const std::uint8_t> bytes) {
    try {
        return nlohmann::json::from_msgpack(bytes.begin(), bytes.end()).get<std::vector<MemberResult>>();
    } catch (const nlohmann::json::exception& error) {
        throw std::invalid_argument(std::string("unreadable member results: ") + error.what());
    }
}

} // namespace pelagrin
