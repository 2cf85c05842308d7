// Every generator on values decoded from the input, after the same checks its dialog makes: a
// value the checks let through must never reach undefined behaviour, and the samples before
// scaling must be finite numbers (a NaN would be scaled to silence and reported as success).

#include "FuzzSupport.h"

#include "generators/CalculationProtocol.h"
#include "generators/EnvelopGenerator.h"
#include "generators/FinishSignal.h"
#include "generators/FrequencyModulationGenerator.h"
#include "generators/FrequencySweepGenerator.h"
#include "generators/FunctionGenerator.h"
#include "generators/InputRules.h"
#include "generators/ModulationInputRules.h"
#include "generators/NoiseGenerator.h"
#include "generators/PseudoNoiseList.h"
#include "generators/SineGenerator.h"
#include "signal/SignalBase.h"

#include <cmath>
#include <cstdlib>

namespace {

using namespace zembrel;

struct Silent : CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

// Runs of more lines than this are planned but not computed, so that one input takes
// milliseconds; the planning is where counts can overflow.
constexpr double kMaxLines = 2e5;

bool Numbers(std::initializer_list<double> values) {
    for (double v : values) {
        if (!IsValidNumber(v)) {
            return false;
        }
    }
    return true;
}

// Returns false when the dialog would refuse the input.
bool Generate(fuzzsupport::Input& in, SignalBase& signal) {
    const double fs = signal.SampleRate;
    Silent observer;
    int progress = 0;
    switch (in.Byte() % 9) {
    case 0: { // sine: Add Sine / OK
        const double f = in.Value(fs), a = in.Value(fs), p = in.Value(fs), o = in.Value(fs);
        if (!IsValidFrequency(f, fs) || !Numbers({a, p, o})) {
            return false;
        }
        SineGenerator(signal, f, a, p, o);
        return true;
    }
    case 1: { // square, triangle, sawtooth
        const auto waveform = static_cast<Waveform>(in.Byte() % 3);
        const double f = in.Value(fs), p = in.Value(fs), o = in.Value(fs);
        if (!IsValidFrequency(f, fs) || !Numbers({p, o}) || fs * 0.5 / f > kMaxLines) {
            return false;
        }
        RunFunctionGenerator(signal, waveform, f, p, o, progress, observer);
        return true;
    }
    case 2: { // amplitude modulation
        const double fc = in.Value(fs), fm = in.Value(fs), phase = in.Value(fs),
                     offset = in.Value(fs), m = in.Value(fs);
        if (!CheckAmplitudeModulation(fc, fm, phase, offset, m, 0.0, fs).Valid()) {
            return false;
        }
        SineGenerator(signal, fc, 1.0, 0.0);
        EnvelopGenerator(signal, fm, m, phase, offset);
        return true;
    }
    case 3: { // frequency modulation
        const double fc = in.Value(fs), fm = in.Value(fs), m = in.Value(fs);
        if (!CheckFrequencyModulation(fc, fm, m, 0.0, fs).Valid()) {
            return false;
        }
        FrequencyModulationGenerator(signal, fc, fm, m);
        return true;
    }
    case 4: { // sweep
        const double f1 = in.Value(fs), f2 = in.Value(fs);
        const int type = in.Byte() % kSweepCharacteristicCount;
        if (!CheckFrequencySweep(f1, f2, 0.0, fs).Valid()) {
            return false;
        }
        FrequencySweepGenerator(signal, f1, f2, type);
        return true;
    }
    case 5: { // sine with pn-phase: Add Sine / OK
        const double f = in.Value(fs), a = in.Value(fs), o = in.Value(fs);
        if (!IsValidFrequency(f, fs) || !Numbers({a, o})) {
            return false;
        }
        SineGenerator(signal, f, a, true, o);
        return true;
    }
    case 6:   // white noise band
    case 7: { // pink noise band
        const bool pink = in.Byte() % 2 == 1;
        const double start = in.Value(fs), stop = in.Value(fs), step = in.Value(fs),
                     a = in.Value(fs), o = in.Value(fs);
        const NoiseBandChecks checks = CheckNoiseBand(start, stop, step, fs);
        if (checks.BadStart || checks.BadStop || checks.BadStep || !Numbers({a, o})) {
            return false;
        }
        if (PlanNoiseBand(start, stop, step).Count > kMaxLines) {
            return false;
        }
        RunNoiseBand(signal, start, stop, step, a, o, pink ? NoiseMode::Pink : NoiseMode::White,
                     progress, observer);
        return true;
    }
    default: { // imported lists: values are taken as they stand in the file (finite)
        const bool pn = in.Byte() % 2 == 1;
        const int count = in.Byte() % 16;
        std::vector<std::vector<double>> records;
        for (int i = 0; i < count; ++i) {
            records.push_back({in.Value(fs), in.Value(fs), in.Value(fs)});
            if (!Numbers({records.back()[0], records.back()[1], records.back()[2]})) {
                return false;
            }
        }
        if (pn) {
            AddPseudoNoiseList(signal, records);
        } else {
            for (const auto& r : records) {
                SineGenerator(signal, r[0], r[1], r[2]);
            }
        }
        return true;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::Input in(data, size);
    const double rates[] = {4000.0, 8000.0, 11025.0, 44100.0, 48000.0, 1.0, 3200.5};
    const double rate = rates[in.Byte() % 7];
    const int channels = 1 + in.Byte() % 2;
    const int bits = in.Byte() % 2 == 0 ? 16 : 8;
    const double duration = 0.001 * (1 + in.Byte() % 50); // s, short: one input, milliseconds
    SignalBase signal(rate, duration, bits, bits == 8 ? 128 : 32768, channels);
    const double level = in.Value(rate);
    if (!IsValidLevel(level) || !Generate(in, signal)) {
        return 0;
    }
    for (const auto* channel : signal.ChannelArrays()) {
        for (double v : *channel) {
            if (!std::isfinite(v)) {
                std::abort(); // would be scaled to silence and reported as finished
            }
        }
    }
    FinishSignal(signal, level);
    const double low = bits == 8 ? 0.0 : -32768.0;
    const double high = bits == 8 ? 256.0 : 32768.0;
    for (const auto* channel : signal.ChannelArrays()) {
        for (double v : *channel) {
            if (!(v >= low && v <= high)) {
                std::abort();
            }
        }
    }
    return 0;
}
