#include "core/generators/CalculationProtocol.h"

namespace zembrel {

void RunUnits(int total, int& progress, CalculationObserver& observer,
              const std::function<void(int)>& unit) {
    progress = 0;
    int reported = -1;
    for (int count = 1; count <= total; ++count) {
        if (observer.StopRequested()) {
            break;
        }
        progress = static_cast<int>(static_cast<long long>(count) * 100 / total);
        // A report is a round trip to the GUI thread: make it only when the value changes.
        if (progress != reported) {
            observer.Report(progress);
            reported = progress;
        }
        unit(count - 1);
        if (observer.StopRequested()) {
            break;
        }
    }
}

void PartProgress::Report(int percent) {
    const int overall = static_cast<int>((part_ * 100LL + percent) / parts_);
    if (overall != reported_) {
        whole_.Report(overall);
        reported_ = overall;
    }
}

} // namespace zembrel
