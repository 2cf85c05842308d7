#pragma once

#include <functional>

namespace zembrel {

// What a worker needs from whoever runs it: the stop flag that Cancel sets, and a progress
// report that runs on the GUI thread while the worker waits for it.
class CalculationObserver {
public:
    virtual ~CalculationObserver() = default;
    virtual bool StopRequested() const = 0;
    virtual void Report(int percent) = 0;
};

// The unit loop every worker runs. Units are counted from 1 to total. Before each unit, unless
// a stop was requested, progress becomes count * 100 / total (integer division) and is
// reported when it differs from the last report; the unit in hand is finished before a stop takes
// effect. progress therefore reaches exactly 100 only when the last unit was started, which is how
// the caller tells a finished calculation from a cancelled one. unit receives the index from 0 to
// total - 1.
void RunUnits(int total, int& progress, CalculationObserver& observer,
              const std::function<void(int)>& unit);

// A calculation in parts that run one after another, each with its own unit loop: hands the
// reports of part p of n on as the progress of the whole, so that the bar runs once from 0 to 100.
class PartProgress : public CalculationObserver {
public:
    PartProgress(CalculationObserver& whole, int parts) : whole_(whole), parts_(parts) {}

    void StartPart(int part) { part_ = part; }
    bool StopRequested() const override { return whole_.StopRequested(); }
    void Report(int percent) override;

private:
    CalculationObserver& whole_;
    int parts_;
    int part_ = 0;
    int reported_ = -1;
};

} // namespace zembrel
