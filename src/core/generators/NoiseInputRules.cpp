#include "core/generators/NoiseInputRules.h"

#include "core/generators/InputRules.h"
#include "core/generators/NoiseGenerator.h"

namespace zembrel {

namespace {

NoiseCheck CheckBand(double start, double stop, double step, double sampleRate) {
    const NoiseBandChecks band = CheckNoiseBand(start, stop, step, sampleRate);
    NoiseCheck check;
    check.Start = !band.BadStart;
    check.Stop = !band.BadStop;
    check.Step = !band.BadStep;
    return check;
}

} // namespace

NoiseCheck CheckWhiteNoiseBand(const NoiseBandInput& band, double sampleRate,
                               std::optional<double> level) {
    NoiseCheck check = CheckBand(band.Start, band.Stop, band.Step, sampleRate);
    check.Level = !level || IsValidLevel(*level);
    check.Amplitude = IsValidNumber(band.Amplitude);
    check.Offset = IsValidNumber(band.Offset);
    return check;
}

NoiseCheck CheckPinkNoise(const PinkNoiseInput& input, double sampleRate) {
    NoiseCheck check = CheckBand(input.Start, input.Stop, input.Step, sampleRate);
    check.Level = IsValidLevel(input.Level);
    check.Offset = IsValidNumber(input.Offset);
    return check;
}

FrequencyList ReadBandList(const std::string& path) {
    FrequencyList list = ReadFrequencyList(path, kBandListReset);
    for (std::size_t i = 0; i < list.Records.size(); ++i) {
        const auto& r = list.Records[i];
        const NoiseBand band = PlanNoiseBand(r[0], r[1], r[2]);
        if (!band.Usable()) {
            throw ListFileError(path, list.Lines[i], band.Problem);
        }
    }
    return list;
}

} // namespace zembrel
