// Shared pieces of the fuzz targets.
#pragma once

#include <string>

#include "rules/ReadContext.h"

namespace flicko::fuzz {

class QuietContext : public TReadContext {
public:
    void ReportReadError(const std::string& message) override { reports += message.size() > 0 ? 1 : 0; }
    std::string FileLineText() const override { return "FileName: fuzz\nLine: 1"; }
    int reports = 0;
};

}  // namespace flicko::fuzz
