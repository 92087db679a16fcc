// ProgressLine: what a report looks like on a terminal and in a log.
#include "app/cli/ProgressLine.hpp"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ostream>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace pelagrin::test {
namespace {

/// An output that is a terminal (a pseudo-terminal passing bytes through unchanged) or a plain file, and
/// what reached it.
class Output {
public:
    explicit Output(bool isTerminal) {
        if (isTerminal) {
            termios raw{};
            cfmakeraw(&raw);
            EXPECT_EQ(openpty(&reader_, &writer_, nullptr, &raw, nullptr), 0);
            file_ = fdopen(writer_, "w");
        } else {
            file_ = std::tmpfile();
        }
    }
    ~Output() {
        std::fclose(file_);
        if (reader_ >= 0) {
            close(reader_);
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::FILE* file() const { return file_; }
    std::string written() const {
        std::string text;
        char buffer[256];
        if (reader_ >= 0) {
            fcntl(reader_, F_SETFL, O_NONBLOCK);
            for (ssize_t n; (n = read(reader_, buffer, sizeof buffer)) > 0;) {
                text.append(buffer, static_cast<std::size_t>(n));
            }
        } else {
            std::rewind(file_);
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) {
                text.append(buffer, n);
            }
        }
        return text;
    }

private:
    std::FILE* file_ = nullptr;
    int reader_ = -1;
    int writer_ = -1;
};

struct Shape {
    bool isTerminal;
    std::string written;
};

/// Names a case in the test's output by its kind of output, not by its bytes.
void PrintTo(const Shape& shape, std::ostream* out) {
    *out << (shape.isTerminal ? "a terminal" : "a log");
}

class ProgressLineShape : public testing::TestWithParam<Shape> {};

TEST_P(ProgressLineShape, RedrawsOneTerminalLineOrWritesALinePerReport) {
    const Output out(GetParam().isTerminal);
    ProgressLine line(out.file(), std::chrono::hours(1));
    EXPECT_EQ(line.isTerminal(), GetParam().isTerminal);
    line.show(0.5, "half");
    line.show(1.5, "all"); // a share beyond the whole fills the bar and no more
    line.close();
    EXPECT_EQ(out.written(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Outputs, ProgressLineShape,
                         testing::Values(Shape{false, "half\nall\n"},
                                         Shape{true, "\r[###############...............] half\x1b[K"
                                                     "\r[##############################] all\x1b[K\n"}),
                         [](const testing::TestParamInfo<Shape>& shape) {
                             return shape.param.isTerminal ? "Terminal" : "Log";
                         });

TEST(ProgressLine, InALogWaitsItsIntervalBetweenReports) {
    const Output out(false);
    ProgressLine hourly(out.file(), std::chrono::hours(1));
    EXPECT_FALSE(hourly.isDue());
    ProgressLine always(out.file(), std::chrono::milliseconds(0));
    EXPECT_TRUE(always.isDue());
}

} // namespace
} // namespace pelagrin::test
