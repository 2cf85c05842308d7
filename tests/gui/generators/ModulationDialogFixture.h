#pragma once

#include "tests/gui/app/MainformFixture.h"

#include "core/signal/SignalBase.h"

#include <QLineEdit>
#include <QStatusBar>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

// A generator dialog as its menu command opens it: on the cleared current signal, shown, with
// the error window replaced by a recorder that also notes what the edits held while the
// message was up.
template <class Dialog> class ModulationDialogFixture : public MainformFixture {
protected:
    std::unique_ptr<Dialog> Open(bool show = true) {
        auto d = this->template OpenDialog<Dialog>(show);
        Dialog* dialog = d.get();
        d->ShowErrorMessage = [this, dialog](const QString& text) {
            errors.append(text);
            atMessage.clear();
            for (QLineEdit* edit : dialog->template findChildren<QLineEdit*>()) {
                atMessage[edit->objectName()] = edit->text();
            }
        };
        return d;
    }

    // A committed stereo signal at 48 kHz, so that the dialogs see a stereo format.
    void UseStereo(double duration = 0.1) {
        Commit(zembrel::SignalBase(48000.0, duration, 16, 32768, 2));
    }

    bool IsSilent() const {
        for (const zembrel::SampleArray* channel : form->Signal()->ChannelArrays()) {
            if (std::any_of(channel->begin(), channel->end(), [](double v) { return v != 0.0; })) {
                return false;
            }
        }
        return true;
    }

    static double PeakOf(const zembrel::SampleArray& x) {
        double peak = 0.0;
        for (double v : x) {
            peak = std::max(peak, std::abs(v));
        }
        return peak;
    }

    std::map<QString, QString> atMessage; // edit name -> text while the message was shown
};
