#include "host/core/ErrorGuard.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace flicko {
namespace {

struct RecordingReport : IErrorReport {
    std::vector<std::string> texts;
    std::function<void()> whileShown;
    void ShowErrorBox(const std::string& text) override {
        texts.push_back(text);
        if (whileShown) whileShown();
    }
};

TEST(ErrorGuardTest, ValueOrFallbackAndEachExceptionShownOnce) {
    RecordingReport report;
    TErrorGuard guard(report);
    EXPECT_EQ(guard.Run(0, [] { return 7; }), 7);
    EXPECT_EQ(guard.Run(-1, []() -> int { throw EFlError("bad rule"); }), -1);
    guard.Run([] { throw std::runtime_error("tick failed"); });
    EXPECT_EQ(report.texts, (std::vector<std::string>{"bad rule", "tick failed"}));
}

TEST(ErrorGuardTest, NonStandardExceptionIsReportedToo) {
    RecordingReport report;
    TErrorGuard guard(report);
    guard.Run([] { throw 42; });
    ASSERT_EQ(report.texts.size(), 1u);
    EXPECT_FALSE(report.texts[0].empty());
}

TEST(ErrorGuardTest, ExceptionWhileABoxIsOpenIsNotStacked) {
    RecordingReport report;
    TErrorGuard guard(report);
    // The box's modal loop handles another hooked event that fails too.
    report.whileShown = [&] { guard.Run([] { throw std::runtime_error("second"); }); };
    guard.Run([] { throw std::runtime_error("first"); });
    EXPECT_EQ(report.texts, (std::vector<std::string>{"first"}));
    EXPECT_EQ(guard.Suppressed(), 1);
    // Once the box is closed the next failure shows again.
    report.whileShown = nullptr;
    guard.Run([] { throw std::runtime_error("third"); });
    EXPECT_EQ(report.texts.back(), "third");
}

TEST(ErrorGuardTest, FailingReportDoesNotEscape) {
    struct ThrowingReport : IErrorReport {
        void ShowErrorBox(const std::string&) override { throw std::runtime_error("no box"); }
    } report;
    TErrorGuard guard(report);
    EXPECT_NO_THROW(guard.Run([] { throw std::runtime_error("x"); }));
    EXPECT_EQ(guard.Reported(), 1);
}

}  // namespace
}  // namespace flicko
