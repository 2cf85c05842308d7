#pragma once

namespace zembrel {

// The checks the modulation generator dialogs make on OK, one flag per edit field (true: the
// value is acceptable). Every check is made, so a dialog can empty every field in error after
// one message. A non-finite number (NaN, infinity) is never acceptable, also in fields that
// have no range of their own. Frequencies in Hz, levels in dB, fs the signal's sample rate.

struct AmplitudeModulationCheck {
    bool CarrierFrequency = true;    // 0 < fc <= fs/2
    bool ModulationFrequency = true; // fc - fm >= 0 and fc + fm <= fs/2: both sidebands in band
    bool ModulationPhase = true;     // degrees, any number
    bool PhaseOffset = true;         // degrees, any number
    bool ModulationIndex = true;     // m > 0
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

// No limit ties fm or m to fc or fs: sidebands beyond fs/2 are the user's choice.
struct FrequencyModulationCheck {
    bool CarrierFrequency = true;    // 0 < fc <= fs/2
    bool ModulationFrequency = true; // fm > 0
    bool ModulationIndex = true;     // m > 0, radians
    bool Level = true;               // <= 0 dB

    bool Valid() const {
        return CarrierFrequency && ModulationFrequency && ModulationIndex && Level;
    }
};

FrequencyModulationCheck CheckFrequencyModulation(double carrierFrequency,
                                                  double modulationFrequency,
                                                  double modulationIndex, double level,
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

} // namespace zembrel
