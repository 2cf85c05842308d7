// Every generator on values decoded from the input, after the same checks its dialog makes: a
// value the checks let through must never reach undefined behaviour, and the samples before
// scaling must be finite numbers (a NaN would be scaled to silence and reported as success).

#include "fuzz/FuzzSupport.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FrequencyListFile.h"
#include "core/generators/FrequencyModulationGenerator.h"
#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/FunctionGenerator.h"
#include "core/generators/Generate.h"
#include "core/generators/InputRules.h"
#include "core/generators/NoiseGenerator.h"
#include "core/signal/SignalBase.h"

#include <cmath>
#include <cstdlib>

namespace {

using namespace zembrel;

struct Silent : CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

// Runs of more lines than this are checked but not computed, so that one input takes
// milliseconds; the checks are where counts can overflow.
constexpr double kMaxLines = 2e5;

bool Countable(double start, double stop, double step) {
    return PlanNoiseBand(start, stop, step).Count <= kMaxLines;
}

// For the generators whose sum is one formula of the input: the sum before scaling, which
// truncates a NaN into the word range, must hold finite numbers only.
template <class Synthesize>
void RequireFiniteSum(const SignalBase& signal, bool accepted, Synthesize synthesize) {
    if (!accepted) {
        return;
    }
    SignalBase sum(signal.SampleRate, signal.Duration, signal.Bits, signal.NormValue,
                   signal.Channels);
    synthesize(sum);
    for (const auto* channel : sum.ChannelArrays()) {
        for (double v : *channel) {
            if (!std::isfinite(v)) {
                std::abort();
            }
        }
    }
}

// A list as a file would give it: values as they stand (the reader lets any number up to
// kLargestMagnitude through), in records of the list's width.
FrequencyList List(fuzzsupport::Input& in, double fs, std::size_t width, double& listLevel) {
    FrequencyList list;
    list.Level = in.Value(fs);
    if (!(std::isfinite(list.Level) && std::abs(list.Level) <= kLargestMagnitude)) {
        list.Level = 0.0;
    }
    listLevel = list.Level;
    const int count = in.Byte() % 12;
    for (int i = 0; i < count; ++i) {
        std::vector<double> record;
        for (std::size_t v = 0; v < width; ++v) {
            const double value = in.Value(fs);
            record.push_back(std::isfinite(value) && std::abs(value) <= kLargestMagnitude ? value
                                                                                          : 1.0);
        }
        list.Records.push_back(record);
        list.Lines.push_back(i + 2);
    }
    return list;
}

// The entry point of one generator on decoded values; Invalid when its checks refuse them.
// listLevel: the level a list file gave, which is taken as it stands (a positive one clips).
GeneratorStatus Generate(fuzzsupport::Input& in, SignalBase& signal, double level,
                         double& listLevel) {
    const double fs = signal.SampleRate;
    Silent observer;
    const std::uint32_t seed = in.Byte();
    switch (in.Byte() % 11) {
    case 0: { // sine: Add Sine ... OK
        std::vector<SineInput> sines(1 + in.Byte() % 3);
        for (auto& s : sines) {
            s = {in.Value(fs), in.Value(fs), in.Value(fs), in.Value(fs)};
        }
        return GenerateSines(signal, sines, level, observer);
    }
    case 1: { // square, triangle, sawtooth
        const FunctionInput input{static_cast<Waveform>(in.Byte() % 3), in.Value(fs), in.Value(fs),
                                  in.Value(fs), level};
        if (CheckFunction(input, fs).Valid() &&
            HarmonicCount(input.Shape, input.Frequency, fs) > kMaxLines) {
            return GeneratorStatus::Invalid;
        }
        return GenerateFunction(signal, input, observer);
    }
    case 2: {
        const AmplitudeModulationInput input{in.Value(fs), in.Value(fs), in.Value(fs),
                                             in.Value(fs), in.Value(fs), level};
        RequireFiniteSum(signal, CheckAmplitudeModulation(input, fs).Valid(),
                         [&](SignalBase& sum) { SynthesizeAmplitudeModulation(sum, input); });
        return GenerateAmplitudeModulation(signal, input, observer);
    }
    case 3: {
        const FrequencyModulationInput input{in.Value(fs), in.Value(fs), in.Value(fs), level};
        RequireFiniteSum(signal, CheckFrequencyModulation(input, fs).Valid(), [&](SignalBase& sum) {
            FrequencyModulationGenerator(sum, input.CarrierFrequency, input.ModulationFrequency,
                                         input.ModulationIndex);
        });
        return GenerateFrequencyModulation(signal, input, observer);
    }
    case 4: {
        const FrequencySweepInput input{in.Value(fs), in.Value(fs),
                                        in.Byte() % kSweepCharacteristicCount, level};
        RequireFiniteSum(signal, CheckFrequencySweep(input, fs).Valid(), [&](SignalBase& sum) {
            FrequencySweepGenerator(sum, input.StartFrequency, input.StopFrequency,
                                    input.Characteristic);
        });
        return GenerateFrequencySweep(signal, input, observer);
    }
    case 5: { // sine with pn-phase
        std::vector<PnSineInput> sines(1 + in.Byte() % 3);
        for (auto& s : sines) {
            s = {in.Value(fs), in.Value(fs), in.Value(fs)};
        }
        return GeneratePnSines(signal, sines, level, seed, observer);
    }
    case 6: { // white noise bands
        std::vector<NoiseBandInput> bands(1 + in.Byte() % 2);
        for (auto& b : bands) {
            b = {in.Value(fs), in.Value(fs), in.Value(fs), in.Value(fs), in.Value(fs)};
            if (!Countable(b.Start, b.Stop, b.Step)) {
                return GeneratorStatus::Invalid;
            }
        }
        return GenerateWhiteNoise(signal, bands, level, seed, observer);
    }
    case 7: {
        const PinkNoiseInput input{in.Value(fs), in.Value(fs), in.Value(fs), in.Value(fs), level};
        if (!Countable(input.Start, input.Stop, input.Step)) {
            return GeneratorStatus::Invalid;
        }
        return GeneratePinkNoise(signal, input, seed, observer);
    }
    case 8:
        return GenerateSineList(signal, List(in, fs, 3, listLevel), observer);
    case 9:
        return GeneratePnSineList(signal, List(in, fs, 2, listLevel), seed, observer);
    default: {
        const FrequencyList list = List(in, fs, 4, listLevel);
        for (const auto& r : list.Records) {
            if (!Countable(r[0], r[1], r[2])) {
                return GeneratorStatus::Invalid;
            }
        }
        return GenerateWhiteNoiseList(signal, list, seed, observer);
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
    // The scaling maps the peak to the level: a finished signal lies in the word range. The
    // scaling truncates into that range, so a NaN in a sum comes out as a word: the sums of the
    // one-formula generators are checked before it (RequireFiniteSum).
    double listLevel = 0.0;
    if (Generate(in, signal, level, listLevel) != GeneratorStatus::Finished) {
        return 0;
    }
    // A list's positive level clips in the writer: then only whole numbers are asked for.
    const bool clipped = listLevel > 0.0;
    const double low = clipped ? -2147483648.0 : bits == 8 ? 0.0 : -32768.0; // 8 bit: + 128
    const double high = clipped ? 2147483647.0 + 128.0 : bits == 8 ? 256.0 : 32768.0;
    for (const auto* channel : signal.ChannelArrays()) {
        for (double v : *channel) {
            if (!(v >= low && v <= high)) {
                std::abort();
            }
        }
    }
    return 0;
}
