#include "generators/CalculationProtocol.h"

namespace zembrel {

void RunUnits(int total, int& progress, CalculationObserver& observer,
              const std::function<void(int)>& unit) {
    progress = 0;
    for (int count = 1; count <= total; ++count) {
        if (observer.StopRequested()) {
            break;
        }
        progress = static_cast<int>(static_cast<long long>(count) * 100 / total);
        observer.Report(progress);
        unit(count - 1);
        if (observer.StopRequested()) {
            break;
        }
    }
}

} // namespace zembrel
