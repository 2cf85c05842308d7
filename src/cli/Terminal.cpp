#include "cli/Terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace cli {

namespace {

// Lock-free, so the handler may set it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

} // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // a write to a pipe in progress is not cut short
    sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() {
    return interrupted.load();
}

TerminalProgress::TerminalProgress(std::string label)
    : label_(std::move(label)), terminal_(isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() {
    Clear();
}

bool TerminalProgress::StopRequested() const {
    return Interrupted();
}

void TerminalProgress::Report(int percent) {
    if (!terminal_) {
        return;
    }
    constexpr int width = 40;
    const int filled = percent * width / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(width - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar.c_str(), percent);
    std::fflush(stderr);
    shown_ = true;
}

void TerminalProgress::Clear() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
}

} // namespace cli
