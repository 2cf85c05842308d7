#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class TMainform;

namespace zembrel {
class SignalBase;
}

// Builds a generator or signal-parameter dialog from the arguments every such dialog takes:
// the temporary playback file name (a copy), the main window and the shared current signal,
// which the dialog changes in place and never owns. Such a dialog has no owner widget.
using GeneratorDialogFactory = std::function<std::unique_ptr<QDialog>(
    QString tempFileName, TMainform* mainform, zembrel::SignalBase* signal)>;

// Builds an analysis dialog, which only reads the current signal.
using AnalyserDialogFactory = std::function<std::unique_ptr<QDialog>(zembrel::SignalBase* signal)>;

template <class Dialog> GeneratorDialogFactory MakeGeneratorDialog() {
    return [](QString tempFileName, TMainform* mainform, zembrel::SignalBase* signal) {
        return std::unique_ptr<QDialog>(
            std::make_unique<Dialog>(nullptr, std::move(tempFileName), mainform, signal));
    };
}

template <class Dialog> AnalyserDialogFactory AnalyserDialog() {
    return [](zembrel::SignalBase* signal) {
        return std::unique_ptr<QDialog>(std::make_unique<Dialog>(nullptr, signal));
    };
}

// The dialog behind each menu item of the main window, named after the item. An item whose
// factory is empty is shown disabled.
struct DialogFactories {
    GeneratorDialogFactory Sine;
    GeneratorDialogFactory FunctionGen;
    GeneratorDialogFactory AmplitudeModulation;
    GeneratorDialogFactory FrequencyModulation;
    GeneratorDialogFactory FrequencySweep;
    GeneratorDialogFactory SynchronizedSweep;
    GeneratorDialogFactory Sinepnphase;
    GeneratorDialogFactory BandNoise;
    GeneratorDialogFactory PinkNoise;
    GeneratorDialogFactory Aes17Tone;
    GeneratorDialogFactory TwinTone;
    GeneratorDialogFactory Multitone;
    AnalyserDialogFactory Frequency1;
    AnalyserDialogFactory Statistics1;
    AnalyserDialogFactory Distortion1;
    AnalyserDialogFactory SweepResponse1;
    GeneratorDialogFactory ShowParameters1; // also opened by File New
};

// The dialogs of this build. A new dialog is made available by one line in
// DialogFactories.cpp, e.g. "dialogs.Sine = MakeGeneratorDialog<TFDlgSineGen>();".
DialogFactories InstalledDialogs();
