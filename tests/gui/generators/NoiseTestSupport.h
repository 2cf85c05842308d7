#pragma once

#include "core/generators/CalculationProtocol.h"
#include "core/signal/SampleArray.h"
#include "gui/generators/GeneratorDialog.h"
#include "gui/generators/TFProcessState.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QPushButton>

#include <cmath>
#include <complex>
#include <functional>
#include <vector>

namespace noisetest {

// Watches every progress window that appears while it lives: counts the progress reports each
// one receives (the worker's ShowProgress calls) and lets a test act before a report is shown,
// for example press Cancel. Window w counts from 0 in the order the windows appear.
class ProgressWatcher : public QObject {
public:
    using Action = std::function<void(TFProcessState* window, int w, int report)>;

    explicit ProgressWatcher(Action onReport = {}) : onReport_(std::move(onReport)) {
        qApp->installEventFilter(this);
    }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

    std::vector<int> reports; // per window, the number of reports

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<TFProcessState*>(watched);
        if (!window) {
            return false;
        }
        if (event->type() == QEvent::Show) {
            current_ = window;
            reports.push_back(0);
        } else if (event->type() == QEvent::MetaCall && window == current_) {
            const int count = ++reports.back();
            if (onReport_) {
                onReport_(window, static_cast<int>(reports.size()) - 1, count);
            }
        }
        return false;
    }

private:
    Action onReport_;
    TFProcessState* current_ = nullptr;
};

// Serves events until the dialog's worker has ended and its termination handler has run.
inline void WaitForWorker(const GeneratorDialog& d, int timeoutMs = 120000) {
    QDeadlineTimer deadline(timeoutMs);
    while (d.CalculationRunning() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_FALSE(d.CalculationRunning()) << "the worker did not end";
    QApplication::processEvents();
}

// The component of a channel at whole bin m of its length (m / duration Hz), as a complex
// amplitude: a sine of amplitude a and phase p gives a e^(i (p - 90 deg)).
inline std::complex<double> Bin(const zembrel::SampleArray& x, long m) {
    const long n = static_cast<long>(x.size());
    std::complex<double> sum = 0.0;
    for (long i = 0; i < n; ++i) {
        sum += x[i] * std::polar(1.0, -2.0 * M_PI * static_cast<double>((m * i) % n) / n);
    }
    return 2.0 * sum / static_cast<double>(n);
}

// A worker observer for computing expected signals with the core directly.
struct Silent : zembrel::CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

} // namespace noisetest
