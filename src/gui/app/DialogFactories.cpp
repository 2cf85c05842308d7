#include "app/DialogFactories.h"

DialogFactories InstalledDialogs() {
    DialogFactories dialogs;
    // One line per dialog that exists, for example:
    //   dialogs.Sine = GeneratorDialog<TFDlgSineGen>();
    //   dialogs.Statistics1 = AnalyserDialog<TFDlgStatistics>();
    return dialogs;
}
