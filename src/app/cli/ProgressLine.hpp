// ProgressLine: a headless command's progress, one terminal line redrawn in place or plain lines in a log.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace pelagrin {

/// Where a command reports how far it has come: on a terminal a bar redrawn in place at most ten times a
/// second and closed by a newline at the end; elsewhere (a pipe, a log file) one plain line per report at
/// most every `pipedInterval`, so a log stays readable.
class ProgressLine {
public:
    ProgressLine(std::FILE* out, std::chrono::milliseconds pipedInterval);

    bool isTerminal() const { return isTerminal_; }
    /// Whether enough time has passed since the previous report (or the start) for the next one.
    bool isDue() const;
    /// Seconds since the line was made.
    double elapsed() const;
    /// Shows `figures`: on a terminal after a bar `share` (0 to 1) full, over the previous report;
    /// elsewhere as a line of its own.
    void show(double share, const std::string& figures);
    /// Ends the reports: the terminal's line is closed, so what follows starts on a line of its own.
    void close();

private:
    std::FILE* out_;
    bool isTerminal_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point startedAt_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point reportedAt_ = startedAt_;
};

} // namespace pelagrin
