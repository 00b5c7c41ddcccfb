#include "base/ReadReportGate.h"

#include <gtest/gtest.h>

#include <vector>

namespace flicko {
namespace {

// Runs one reading of n reports through the gate, answering the offer with
// skipRest; returns the verdicts in order and the closing text.
struct Reading {
    std::vector<TReportVerdict> verdicts;
    std::string closing;
};

Reading RunReading(TReadReportGate& gate, int n, bool skipRest) {
    Reading r;
    gate.BeginReading();
    for (int i = 0; i < n; ++i) {
        const TReportVerdict v = gate.Next();
        r.verdicts.push_back(v);
        if (v == TReportVerdict::Offer) gate.Answer(skipRest);
    }
    r.closing = gate.EndReading();
    return r;
}

int CountOf(const Reading& r, TReportVerdict v) {
    int n = 0;
    for (TReportVerdict x : r.verdicts) n += x == v;
    return n;
}

TEST(ReadReportGate, FiveReportsAreShownWithoutAnOfferAndNothingIsSaidAtTheEnd) {
    TReadReportGate gate;
    const Reading r = RunReading(gate, TReadReportGate::kShownBeforeOffer, true);
    EXPECT_EQ(CountOf(r, TReportVerdict::Show), 5);
    EXPECT_EQ(r.closing, "");
}

TEST(ReadReportGate, SixthReportBringsTheOfferAndSkippingTellsHowManyThereWere) {
    TReadReportGate gate;
    const Reading r = RunReading(gate, 614, true);
    ASSERT_EQ(r.verdicts.size(), 614u);
    EXPECT_EQ(CountOf(r, TReportVerdict::Show), 5);
    EXPECT_EQ(r.verdicts[5], TReportVerdict::Offer);
    EXPECT_EQ(CountOf(r, TReportVerdict::Skip), 608);
    EXPECT_EQ(r.closing, "Reports of this reading of the scroll-data file: 614 in all, 609 not shown.");
}

TEST(ReadReportGate, DecliningTheOfferShowsEveryReportAndIsNotAskedAgain) {
    TReadReportGate gate;
    const Reading r = RunReading(gate, 40, false);
    EXPECT_EQ(CountOf(r, TReportVerdict::Offer), 1);
    EXPECT_EQ(CountOf(r, TReportVerdict::Show), 39);
    EXPECT_EQ(r.closing, "");
}

TEST(ReadReportGate, EachReadingStartsAfreshAndNestedReadingsAreOne) {
    TReadReportGate gate;
    RunReading(gate, 20, true);
    gate.BeginReading();
    gate.BeginReading();  // an include read on its own inside the reading
    for (int i = 0; i < 5; ++i) EXPECT_EQ(gate.Next(), TReportVerdict::Show) << "skipping ended with its reading";
    EXPECT_EQ(gate.EndReading(), "");
    EXPECT_EQ(gate.Next(), TReportVerdict::Offer) << "still the same reading";
    gate.Answer(true);
    EXPECT_EQ(gate.EndReading(), "Reports of this reading of the scroll-data file: 6 in all, 1 not shown.");
    // Outside a reading every report is shown.
    for (int i = 0; i < 10; ++i) EXPECT_EQ(gate.Next(), TReportVerdict::Show);
}

}  // namespace
}  // namespace flicko
