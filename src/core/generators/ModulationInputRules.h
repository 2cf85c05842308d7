#pragma once

namespace zembrel {

class SignalBase;

// The checks the modulation generator dialogs make on OK, one flag per edit field (true: the
// value is acceptable). Every check is made, so a dialog can empty every field in error after
// one message (kAmplitudeModulationErrorText, kFrequencyModulationErrorText,
// kFrequencySweepErrorText) and the command line can name every option in error. A non-finite
// number (NaN, infinity) is never acceptable, also in fields that have no range of their own.
// Frequencies in Hz, levels in dB, fs the signal's sample rate.

struct AmplitudeModulationCheck {
    bool CarrierFrequency = true;    // 0 < fc <= fs/2
    bool ModulationFrequency = true; // fc - |fm| >= 0, fc + |fm| <= fs/2: sidebands in band
    bool ModulationPhase = true;     // degrees, any number
    bool PhaseOffset = true;         // degrees, any number
    bool ModulationIndex = true;     // m > 0 (and at most kLargestMagnitude)
    bool Level = true;               // <= 0 dB

    bool Valid() const {
        return CarrierFrequency && ModulationFrequency && ModulationPhase && PhaseOffset &&
               ModulationIndex && Level;
    }
};

AmplitudeModulationCheck CheckAmplitudeModulation(double carrierFrequency,
                                                  double modulationFrequency,
                                                  double modulationPhase, double phaseOffset,
                                                  double modulationIndex, double level,
                                                  double sampleRate);

// The amplitude modulation generator's input; the ranges are those of the check above.
struct AmplitudeModulationInput {
    double CarrierFrequency = 0.0;    // Hz
    double ModulationFrequency = 0.0; // Hz
    double ModulationPhase = 0.0;     // degrees
    double PhaseOffset = 0.0;         // degrees, right channel's envelope only
    double ModulationIndex = 1.0;
    double Level = 0.0; // dB
};

AmplitudeModulationCheck CheckAmplitudeModulation(const AmplitudeModulationInput& input,
                                                  double sampleRate);

// The synthesis before scaling: a carrier of amplitude 1 with the same phase in every channel,
// added to the signal, then multiplied by the envelope (EnvelopGenerator), whose right channel
// alone carries the L/R offset.
void SynthesizeAmplitudeModulation(SignalBase& signal, const AmplitudeModulationInput& input);

// No limit ties fm or m to fc or fs: sidebands beyond fs/2 are the user's choice.
struct FrequencyModulationCheck {
    bool CarrierFrequency = true;    // 0 < fc <= fs/2
    bool ModulationFrequency = true; // fm > 0 (and at most kLargestMagnitude)
    bool ModulationIndex = true;     // m > 0, radians (and at most kLargestMagnitude)
    bool Level = true;               // <= 0 dB

    bool Valid() const {
        return CarrierFrequency && ModulationFrequency && ModulationIndex && Level;
    }
};

FrequencyModulationCheck CheckFrequencyModulation(double carrierFrequency,
                                                  double modulationFrequency,
                                                  double modulationIndex, double level,
                                                  double sampleRate);

struct FrequencyModulationInput {
    double CarrierFrequency = 0.0;    // Hz
    double ModulationFrequency = 0.0; // Hz
    double ModulationIndex = 1.0;     // radians of peak phase deviation
    double Level = 0.0;               // dB
};

FrequencyModulationCheck CheckFrequencyModulation(const FrequencyModulationInput& input,
                                                  double sampleRate);

// The stop frequency may lie below the start (a falling sweep) or equal it (a steady tone).
struct FrequencySweepCheck {
    bool StartFrequency = true; // 0 < f1 <= fs/2
    bool StopFrequency = true;  // 0 < f2 <= fs/2
    bool Level = true;          // <= 0 dB

    bool Valid() const { return StartFrequency && StopFrequency && Level; }
};

FrequencySweepCheck CheckFrequencySweep(double startFrequency, double stopFrequency, double level,
                                        double sampleRate);

struct FrequencySweepInput {
    double StartFrequency = 0.0; // Hz
    double StopFrequency = 0.0;  // Hz
    int Characteristic = 0;      // a SweepCharacteristic
    double Level = 0.0;          // dB
};

FrequencySweepCheck CheckFrequencySweep(const FrequencySweepInput& input, double sampleRate);

} // namespace zembrel
