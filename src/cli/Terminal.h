#pragma once

#include "core/generators/CalculationProtocol.h"

#include <string>

namespace cli {

// Ctrl+C (SIGINT) asks the calculation to stop: the handler only sets a flag, which the
// generators read before each unit of work and the program reads before it writes anything.
void InstallInterruptHandler();
bool Interrupted();

// The command line's side of a calculation: stop requests come from Ctrl+C; progress is drawn as
// a bar on standard error when that is a terminal, and not at all otherwise (a log or a pipe
// gets no control characters).
class TerminalProgress : public zembrel::CalculationObserver {
public:
    explicit TerminalProgress(std::string label);
    ~TerminalProgress() override;

    bool StopRequested() const override;
    void Report(int percent) override;

    // Removes the bar, so that messages start on a clean line.
    void Clear();

private:
    std::string label_;
    bool terminal_;
    bool shown_ = false;
};

} // namespace cli
