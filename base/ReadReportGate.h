// How the reports of one reading reach the user when each is a modal box.
// A file that is no rules file at all gives hundreds of reports, one box
// each; after the first few the user is offered to skip the rest, and at the
// end of the reading is told how many there were.
#pragma once

#include <string>

namespace flicko {

enum class TReportVerdict {
    Show,   // show this report
    Offer,  // ask whether to skip the rest first, then Answer()
    Skip,   // count it, show nothing
};

class TReadReportGate {
public:
    // Reports shown one by one before the offer to skip the rest.
    static constexpr int kShownBeforeOffer = 5;

    // Readings may nest; only the outermost one counts.
    void BeginReading();
    // The closing text when reports were skipped, else empty.
    std::string EndReading();

    // For each report of the reading (outside a reading: always Show).
    TReportVerdict Next();
    // The user's answer to the offer: skip this report and the rest, or
    // show it and every later one.
    void Answer(bool skipRest);

    // The question of the offer.
    std::string OfferText() const;

private:
    int depth_ = 0;
    int total_ = 0;
    int shown_ = 0;
    bool offered_ = false;
    bool skipping_ = false;
};

}  // namespace flicko
