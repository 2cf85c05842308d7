#include "app/DialogFactories.h"

#include "analysis/TFDlgFrequencyAnalysis.h"
#include "analysis/TFDlgStatistics.h"
#include "app/TFDlgShowParameters.h"
#include "generators/TFDlgAmplitudeModulationGen.h"
#include "generators/TFDlgBandNoiseGen.h"
#include "generators/TFDlgFrequencyModulationGen.h"
#include "generators/TFDlgFrequencySweepGen.h"
#include "generators/TFDlgFunctionGen.h"
#include "generators/TFDlgPinkNoise.h"
#include "generators/TFDlgSineGen.h"
#include "generators/TFDlgSineNoiseGen.h"

DialogFactories InstalledDialogs() {
    DialogFactories dialogs;
    dialogs.Sine = GeneratorDialog<TFDlgSineGen>();
    dialogs.FunctionGen = GeneratorDialog<TFDlgFunctionGen>();
    dialogs.AmplitudeModulation = GeneratorDialog<TFDlgAmplitudeModulationGen>();
    dialogs.FrequencyModulation = GeneratorDialog<TFDlgFrequencyModulationGen>();
    dialogs.FrequencySweep = GeneratorDialog<TFDlgFrequencySweepGen>();
    dialogs.Frequency1 = AnalyserDialog<TFDlgFrequencyAnalysis>();
    dialogs.Statistics1 = AnalyserDialog<TFDlgStatistics>();
    dialogs.ShowParameters1 = GeneratorDialog<TFDlgShowParameters>();
    dialogs.Sinepnphase = GeneratorDialog<TFDlgSineNoiseGen>();
    dialogs.BandNoise = GeneratorDialog<TFDlgBandNoiseGen>();
    dialogs.PinkNoise = GeneratorDialog<TFDlgPinkNoise>();
    return dialogs;
}
