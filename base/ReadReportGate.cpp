#include "base/ReadReportGate.h"

namespace flicko {

void TReadReportGate::BeginReading() {
    if (depth_++ > 0) return;
    total_ = 0;
    shown_ = 0;
    offered_ = false;
    skipping_ = false;
}

std::string TReadReportGate::EndReading() {
    if (depth_ == 0 || --depth_ > 0) return {};
    const int skipped = total_ - shown_;
    if (skipped <= 0) return {};
    return "Reports of this reading of the scroll-data file: " + std::to_string(total_) + " in all, " +
           std::to_string(skipped) + " not shown.";
}

TReportVerdict TReadReportGate::Next() {
    if (depth_ == 0) return TReportVerdict::Show;
    ++total_;
    if (skipping_) return TReportVerdict::Skip;
    if (shown_ == kShownBeforeOffer && !offered_) {
        offered_ = true;
        return TReportVerdict::Offer;
    }
    ++shown_;
    return TReportVerdict::Show;
}

void TReadReportGate::Answer(bool skipRest) {
    if (skipRest) {
        skipping_ = true;
    } else {
        ++shown_;
    }
}

std::string TReadReportGate::OfferText() const {
    return "This reading of the scroll-data file has given " + std::to_string(shown_) +
           " reports so far, and there are more.\nSkip the rest?\n(At the end you are told how many there were.)";
}

}  // namespace flicko
