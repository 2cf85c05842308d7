#include "core/signal/OutputFormatRules.h"

#include "core/signal/SignalBase.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace zembrel {

namespace {

std::string Number(double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

long FullScaleNorm(int bits) {
    return bits == 8 ? 128 : 32768;
}

} // namespace

bool UsesProgramScale(const OutputFormatInput& input) {
    return !input.Write.Float && input.Write.Bits <= 16 && input.Write.Dither == DitherKind::None &&
           !input.LevelSetAfterSynthesis;
}

int SynthesisBits(const OutputFormatInput& input) {
    return UsesProgramScale(input) && input.Write.Bits == 8 ? 8 : 16;
}

double SynthesisFullScale(const OutputFormatInput& input) {
    if (UsesProgramScale(input)) {
        return static_cast<double>(FullScaleNorm(input.Write.Bits));
    }
    return kWorkingNormValue;
}

int SynthesisNormValue(const OutputFormatInput& input) {
    const bool dialogBits = !input.Write.Float && input.Write.Bits <= 16;
    const long full = FullScaleNorm(input.Write.Bits);
    const long norm = input.NormValue == 0 ? full : input.NormValue;
    if (UsesProgramScale(input)) {
        return static_cast<int>(norm);
    }
    if (dialogBits) {
        // norm <= full, so this stays within kWorkingNormValue.
        return static_cast<int>(static_cast<double>(kWorkingNormValue) / full * norm);
    }
    return kWorkingNormValue;
}

std::string WithRateLimits(const std::string& text, double sampleRate) {
    const std::string limit = Number(sampleRate / 2.0) + " Hz";
    std::string out = text;
    for (auto at = out.find("fs/2"); at != std::string::npos; at = out.find("fs/2", at)) {
        out.replace(at, 4, limit);
        at += limit.size();
    }
    return out;
}

std::vector<OutputFormatProblem> CheckOutputFormat(const OutputFormatInput& input) {
    std::vector<OutputFormatProblem> problems;
    const double fs = input.SampleRate;
    if (!(std::isfinite(fs) && fs >= 1.0)) {
        problems.push_back({"rate", "at least 1 Hz"});
    } else if (fs > kMaxOutputRate) {
        problems.push_back({"rate", "at most " + Number(kMaxOutputRate) + " Hz"});
    } else if (fs != std::trunc(fs) &&
               !(UsesProgramScale(input) && input.Write.Container == AudioContainer::Wav)) {
        // The program's own writer stores the whole part, as the desktop program does;
        // libsndfile's files take whole hertz only.
        problems.push_back({"rate", "a whole number of hertz beyond 8/16-bit WAV"});
    }
    const double t = input.Duration;
    if (!(std::isfinite(t) && t > 0.0)) {
        problems.push_back({"length", "more than 0 s"});
    } else if (problems.empty()) {
        // A signal counts its samples in 32 bits; memory usually ends sooner.
        constexpr double maxSamples = std::numeric_limits<std::int32_t>::max() - 1.0;
        if (SignalBase::ExactSampleCount(fs, t) >= maxSamples) {
            problems.push_back({"length", "at most " + Number(std::floor(maxSamples / fs)) +
                                              " s at " + Number(fs) + " Hz"});
        }
    }
    const bool dialogBits = !input.Write.Float && input.Write.Bits <= 16;
    if (input.NormValue != 0) {
        const long full = FullScaleNorm(input.Write.Bits);
        if (!dialogBits) {
            problems.push_back({"norm", "only for 8 and 16 bit; use the level"});
        } else if (input.NormValue < 1 || input.NormValue > full) {
            problems.push_back({"norm", "1 ... " + std::to_string(full) + " for " +
                                            std::to_string(input.Write.Bits) + " bit"});
        }
    }
    const std::string format = CheckWriteFormat(input.Write, input.Channels);
    if (!format.empty()) {
        problems.push_back({"bits", format});
    } else if (input.Write.Float && input.Write.Dither != DitherKind::None) {
        problems.push_back({"dither", "only for integer formats, not float"});
    }
    return problems;
}

} // namespace zembrel
