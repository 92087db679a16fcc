// EnsemblePanel: runMembers on a thread of its own, its progress and results posted back to the app thread.
#include "app/analysis/EnsemblePanel.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "app/analysis/DepositsPanel.hpp"
#include "ensemble/EnsembleRunner.hpp"
#include "ensemble/EnsembleStatistics.hpp"
#include "projects/Project.hpp"
#include "projects/Region.hpp"
#include "support/BackgroundTask.hpp"

#include <atomic>
#include <boost/asio/post.hpp>
#include <chrono>
#include <fmt/format.h>

namespace pelagrin {

using nlohmann::json;

namespace {

/// The share of `members` that left plastic on each bed cell and shore stretch of `project`'s deposit map,
/// in percent, shaped as the deposit map's JSON; null without an outline.
json probabilityJson(std::span<const MemberResult> members, const Project& project) {
    const std::optional<DepositMap> map = depositMapOf(project, {});
    if (!map) {
        return nullptr;
    }
    const auto percent = [](std::vector<double> shares) {
        for (double& share : shares) {
            share *= 100.0;
        }
        return shares;
    };
    json probability = DepositsPanel::mapJson(*map, project.region.get()->waterVertices());
    probability["heatmap"]["particlesPerKm2"] = percent(shareOfMembers(members, &MemberResult::bedCells));
    probability["heatmap"]["max"] = 100.0;
    probability["heatmap"]["legend"] = EnsemblePanel::bedLegend;
    const std::vector<double> shore = percent(shareOfMembers(members, &MemberResult::shoreSegments));
    json& segments = probability["shore"]["segments"];
    for (std::size_t i = 0; i < segments.size() && i < shore.size(); ++i) {
        segments[i]["per100m"] = shore[i];
    }
    probability["shore"]["max"] = 100.0;
    probability["shore"]["legend"] = EnsemblePanel::shoreLegend;
    probability["top"] = json::array();
    return probability;
}

/// The band of the stuck particles across `members` (at least one).
json bandJson(std::span<const MemberResult> members) {
    const TimelineSummary summary = TimelineSummary::of(members);
    // The chart's series is the CSV's stuck particles, the first column after the time.
    constexpr std::size_t stuckColumn = 0;
    json p5 = json::array();
    json p50 = json::array();
    json p95 = json::array();
    for (const Band& band : summary.bands.at(stuckColumn)) {
        p5.push_back(band.p5);
        p50.push_back(band.p50);
        p95.push_back(band.p95);
    }
    return {{"legend", EnsemblePanel::bandLegend(members.size())},
            {"time", summary.times},
            {"p5", std::move(p5)},
            {"p50", std::move(p50)},
            {"p95", std::move(p95)}};
}

} // namespace

/// What the member threads and the app thread share of one ensemble.
struct EnsemblePanel::Job {
    EnsembleSetup setup;
    std::atomic<bool> stopRequested{false};
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::size_t membersDone = 0; ///< as last posted; app thread only
    /// The panel the results go to; cleared on the app thread when the panel goes, so that late posts land
    /// nowhere.
    EnsemblePanel* owner = nullptr;
};

std::string EnsemblePanel::bandLegend(std::size_t memberCount) {
    return fmt::format("5–95 % of {} member{}", memberCount, memberCount == 1 ? "" : "s");
}

EnsemblePanel::EnsemblePanel(boost::asio::any_io_executor executor, std::function<void()> changed)
    : executor_(std::move(executor)), changed_(std::move(changed)) {}

EnsemblePanel::~EnsemblePanel() {
    if (job_) {
        job_->owner = nullptr;
        job_->stopRequested = true;
    }
}

void EnsemblePanel::start(EnsembleSetup setup, unsigned threadCount) {
    auto job = std::make_shared<Job>();
    job->setup = std::move(setup);
    job->owner = this;
    job_ = job;
    error_.reset();
    const std::weak_ptr<Job> weak = job;
    const auto deliverer = [weak](auto action) {
        return [weak, action](auto&&... arguments) {
            const std::shared_ptr<Job> alive = weak.lock();
            if (alive && alive->owner != nullptr && alive->owner->job_ == alive) {
                action(*alive->owner, arguments...);
            }
        };
    };
    const auto onProgress = [executor = executor_,
                             deliver = deliverer([](EnsemblePanel& panel, std::size_t done) {
                                 panel.receiveProgress(done);
                             })](const EnsembleProgress& progress) {
        boost::asio::post(executor, [deliver, done = progress.membersDone] { deliver(done); });
    };
    runInBackground(
        executor_,
        [job, threadCount, onProgress] {
            std::vector<std::size_t> indices(job->setup.plan.members.size());
            for (std::size_t k = 0; k < indices.size(); ++k) {
                indices[k] = k;
            }
            return runMembers(job->setup, indices, threadCount, job->stopRequested, onProgress);
        },
        deliverer([](EnsemblePanel& panel, const std::vector<MemberResult>& members,
                     const std::string& failure) { panel.receiveResults(members, failure); }));
}

void EnsemblePanel::stop() {
    if (job_) {
        job_->stopRequested = true;
    }
}

void EnsemblePanel::clear() {
    members_.clear();
    timelineBand_ = nullptr;
    probabilityMap_ = nullptr;
    finishedSetup_.reset();
    error_.reset();
}

void EnsemblePanel::receiveProgress(std::size_t membersDone) {
    if (membersDone != job_->membersDone) {
        job_->membersDone = membersDone;
        changed_();
    }
}

void EnsemblePanel::receiveResults(std::vector<MemberResult> members, const std::string& failure) {
    const std::shared_ptr<Job> job = std::move(job_);
    if (!failure.empty()) {
        error_ = failure;
    } else if (!members.empty()) {
        // A stop before the first member finished leaves the previous results as they were.
        members_ = std::move(members);
        finishedSetup_ = job->setup;
        timelineBand_ = bandJson(members_);
        probabilityMap_ = probabilityJson(members_, *finishedSetup_->project);
    }
    changed_();
}

json EnsemblePanel::state() const {
    json progress = nullptr;
    if (job_) {
        const std::size_t total = job_->setup.plan.members.size();
        const std::size_t done = job_->membersDone;
        json secondsLeft = nullptr;
        if (done > 0) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - job_->started;
            secondsLeft = elapsed.count() / static_cast<double>(done) * static_cast<double>(total - done);
        }
        progress = {{"done", done}, {"total", total}, {"secondsLeft", secondsLeft}};
    }
    json result = nullptr;
    if (!members_.empty()) {
        result = {{"members", members_.size()},
                  {"total", finishedSetup_->plan.members.size()},
                  {"seed", finishedSetup_->plan.baseSeed}};
    }
    return {{"isRunning", isRunning()},
            {"progress", std::move(progress)},
            {"error", error_ ? json(*error_) : json(nullptr)},
            {"result", std::move(result)}};
}

} // namespace pelagrin
