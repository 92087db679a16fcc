// EnsembleStatistics: percentiles, the timelines read back from CSV, and the shares of members.
#include "ensemble/EnsembleStatistics.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <sstream>

namespace pelagrin {

namespace {

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) {
        fields.push_back(field);
    }
    return fields;
}

/// The CSV's rows of numbers, header dropped.
std::vector<std::vector<double>> rowsOf(const std::string& csv) {
    std::vector<std::vector<double>> rows;
    std::stringstream stream(csv);
    std::string line;
    std::getline(stream, line);
    while (std::getline(stream, line)) {
        std::vector<double> row;
        for (const std::string& field : split(line)) {
            double value = 0.0;
            std::from_chars(field.data(), field.data() + field.size(), value);
            row.push_back(value);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

double percentile(std::span<const double> sorted, double percent) {
    assert(!sorted.empty());
    const double rank = static_cast<double>(sorted.size() - 1) * percent / 100.0;
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (rank - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

TimelineSummary TimelineSummary::of(std::span<const MemberResult> members) {
    assert(!members.empty());
    TimelineSummary summary;
    const std::vector<std::string> header =
        split(members.front().csv.substr(0, members.front().csv.find('\n')));
    summary.timeColumn = header.at(0);
    summary.columns.assign(header.begin() + 1, header.end());

    std::vector<std::vector<std::vector<double>>> tables;
    std::size_t sampleCount = SIZE_MAX;
    for (const MemberResult& member : members) {
        tables.push_back(rowsOf(member.csv));
        sampleCount = std::min(sampleCount, tables.back().size());
    }
    for (std::size_t t = 0; t < sampleCount; ++t) {
        summary.times.push_back(tables.front()[t].at(0));
    }
    std::vector<double> values(members.size());
    for (std::size_t c = 0; c < summary.columns.size(); ++c) {
        std::vector<Band>& bands = summary.bands.emplace_back();
        for (std::size_t t = 0; t < sampleCount; ++t) {
            double sum = 0.0;
            for (std::size_t m = 0; m < members.size(); ++m) {
                values[m] = tables[m][t].at(c + 1);
                sum += values[m];
            }
            std::sort(values.begin(), values.end());
            bands.push_back({sum / static_cast<double>(members.size()), percentile(values, 5.0),
                             percentile(values, 50.0), percentile(values, 95.0)});
        }
    }
    return summary;
}

std::vector<double> shareOfMembers(std::span<const MemberResult> members,
                                   std::vector<std::uint8_t> MemberResult::*field) {
    std::vector<double> shares;
    if (members.empty()) {
        return shares;
    }
    std::vector<std::int64_t> hits((members.front().*field).size(), 0);
    for (const MemberResult& member : members) {
        for (std::size_t i = 0; i < hits.size() && i < (member.*field).size(); ++i) {
            hits[i] += (member.*field)[i];
        }
    }
    for (const std::int64_t count : hits) {
        shares.push_back(static_cast<double>(count) / static_cast<double>(members.size()));
    }
    return shares;
}

} // namespace pelagrin
