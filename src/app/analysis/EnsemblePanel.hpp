// EnsemblePanel: an ensemble of the open project run on this machine, and the bands it adds to the analysis.
#pragma once

#include "ensemble/MemberRun.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <cstddef>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin {

/// The ensemble of a project window: its members run over the machine's cores off the app thread, their
/// progress, and once they end the members' results and the timeline summed up across them. The results stay
/// until cleared or replaced by the next ensemble, whatever single runs happen meanwhile.
class EnsemblePanel {
public:
    /// The legend of the timeline's band: "5–95 % of N members".
    static std::string bandLegend(std::size_t memberCount);

    /// `changed` is told, on `executor`'s thread, whenever the progress or the results change.
    EnsemblePanel(boost::asio::any_io_executor executor, std::function<void()> changed);
    /// Stops a running ensemble; its members end on their own threads, their results unseen.
    ~EnsemblePanel();
    EnsemblePanel(const EnsemblePanel&) = delete;
    EnsemblePanel& operator=(const EnsemblePanel&) = delete;

    bool isRunning() const { return job_ != nullptr; }
    /// Starts every member of `setup` (whose project is set) on `threadCount` threads; only while not
    /// running. The previous results stay until this ensemble ends.
    void start(EnsembleSetup setup, unsigned threadCount);
    /// Ends the running members early; those finished are kept as the ensemble's results.
    void stop();
    /// Forgets the results; the analysis shows the single run's view again.
    void clear();

    /// The finished members of the last ensemble, in member order; empty before one ended.
    const std::vector<MemberResult>& members() const { return members_; }
    /// The setup they ran with; only while `members()` is not empty.
    const EnsembleSetup& setup() const { return *finishedSetup_; }

    /// `{"isRunning", "progress": {"done", "total", "secondsLeft"} or null, "error", "result": {"members",
    /// "total", "seed"} or null}`.
    nlohmann::json state() const;
    /// Legend titles of the probability map, in percent of the members.
    static constexpr const char* bedLegend = "Members leaving plastic on the bed (%)";
    static constexpr const char* shoreLegend = "Members stranding plastic per 100 m of shore (%)";
    /// The share of the members that left plastic on each bed cell and each stretch of shore, in percent, on
    /// the deposit map's grid and stretches (as `DepositsPanel::mapJson` gives them, without its sentences);
    /// null without results or when the project has no outline.
    const nlohmann::json& probabilityMap() const { return probabilityMap_; }
    /// The band of the timeline chart's series, the stuck particles: `{"legend", "time", "p5", "p50",
    /// "p95"}`; null without results.
    const nlohmann::json& timelineBand() const { return timelineBand_; }

private:
    struct Job;
    void receiveProgress(std::size_t membersDone);
    void receiveResults(std::vector<MemberResult> members, const std::string& failure);

    boost::asio::any_io_executor executor_;
    std::function<void()> changed_;
    std::shared_ptr<Job> job_;
    std::optional<EnsembleSetup> finishedSetup_;
    std::vector<MemberResult> members_;
    // Worked out once when the members end: the window's state is drawn far more often.
    nlohmann::json timelineBand_;
    nlohmann::json probabilityMap_;
    std::optional<std::string> error_;
};

} // namespace pelagrin
