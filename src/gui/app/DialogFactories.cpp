#include "gui/app/DialogFactories.h"

#include "gui/analysis/TFDlgDistortion.h"
#include "gui/analysis/TFDlgFrequencyAnalysis.h"
#include "gui/analysis/TFDlgStatistics.h"
#include "gui/app/TFDlgShowParameters.h"
#include "gui/generators/TFDlgAes17Tone.h"
#include "gui/generators/TFDlgAmplitudeModulationGen.h"
#include "gui/generators/TFDlgBandNoiseGen.h"
#include "gui/generators/TFDlgFrequencyModulationGen.h"
#include "gui/generators/TFDlgFrequencySweepGen.h"
#include "gui/generators/TFDlgFunctionGen.h"
#include "gui/generators/TFDlgMultitone.h"
#include "gui/generators/TFDlgPinkNoise.h"
#include "gui/generators/TFDlgSineGen.h"
#include "gui/generators/TFDlgSineNoiseGen.h"
#include "gui/generators/TFDlgSyncSweepGen.h"
#include "gui/generators/TFDlgTwinTone.h"
#include "gui/measure/TFDlgSweepResponse.h"

DialogFactories InstalledDialogs() {
    DialogFactories dialogs;
    dialogs.Sine = MakeGeneratorDialog<TFDlgSineGen>();
    dialogs.FunctionGen = MakeGeneratorDialog<TFDlgFunctionGen>();
    dialogs.AmplitudeModulation = MakeGeneratorDialog<TFDlgAmplitudeModulationGen>();
    dialogs.FrequencyModulation = MakeGeneratorDialog<TFDlgFrequencyModulationGen>();
    dialogs.FrequencySweep = MakeGeneratorDialog<TFDlgFrequencySweepGen>();
    dialogs.SynchronizedSweep = MakeGeneratorDialog<TFDlgSyncSweepGen>();
    dialogs.Frequency1 = AnalyserDialog<TFDlgFrequencyAnalysis>();
    dialogs.Statistics1 = AnalyserDialog<TFDlgStatistics>();
    dialogs.Distortion1 = AnalyserDialog<TFDlgDistortion>();
    dialogs.SweepResponse1 = AnalyserDialog<TFDlgSweepResponse>();
    dialogs.ShowParameters1 = MakeGeneratorDialog<TFDlgShowParameters>();
    dialogs.Sinepnphase = MakeGeneratorDialog<TFDlgSineNoiseGen>();
    dialogs.BandNoise = MakeGeneratorDialog<TFDlgBandNoiseGen>();
    dialogs.PinkNoise = MakeGeneratorDialog<TFDlgPinkNoise>();
    dialogs.Aes17Tone = MakeGeneratorDialog<TFDlgAes17Tone>();
    dialogs.TwinTone = MakeGeneratorDialog<TFDlgTwinTone>();
    dialogs.Multitone = MakeGeneratorDialog<TFDlgMultitone>();
    return dialogs;
}
