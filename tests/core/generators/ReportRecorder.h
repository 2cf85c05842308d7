#pragma once

#include "core/generators/CalculationProtocol.h"

#include <vector>

namespace zembrel::test {

// Records the progress reports of a calculation; can request a stop before the first unit
// (stopAfter 0) or after a given report.
class ReportRecorder : public CalculationObserver {
public:
    explicit ReportRecorder(int stopAfter = -1) : stopAfter_(stopAfter), stop_(stopAfter == 0) {}
    bool StopRequested() const override { return stop_; }
    void Report(int percent) override {
        reports.push_back(percent);
        if (static_cast<int>(reports.size()) == stopAfter_) {
            stop_ = true;
        }
    }
    std::vector<int> reports;

private:
    int stopAfter_;
    bool stop_;
};

} // namespace zembrel::test
