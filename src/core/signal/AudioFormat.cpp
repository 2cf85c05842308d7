#include "core/signal/AudioFormat.h"

#include <cstdio>

namespace zembrel {

std::string DescribeFormat(const AudioFormat& format) {
    std::string text;
    switch (format.Container) {
    case AudioContainer::Flac:
        text = "FLAC, ";
        break;
    case AudioContainer::Aiff:
        text = "AIFF, ";
        break;
    case AudioContainer::Rf64:
        text = "RF64, ";
        break;
    default:
        break;
    }
    text += std::to_string(format.Bits) + (format.Float ? "-bit float, " : "-bit PCM, ");
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.0f Hz, ", format.SampleRate);
    text += rate;
    switch (format.Channels) {
    case 1:
        text += "mono";
        break;
    case 2:
        text += "stereo";
        break;
    default:
        text += std::to_string(format.Channels) + " channels";
        break;
    }
    return text;
}

bool ParseSampleFormat(const std::string& text, int& bits, bool& isFloat) {
    static const struct {
        const char* name;
        int bits;
        bool isFloat;
    } kinds[] = {{"8", 8, false},   {"16", 16, false}, {"24", 24, false},
                 {"32", 32, false}, {"32f", 32, true}, {"64f", 64, true}};
    for (const auto& kind : kinds) {
        if (text == kind.name) {
            bits = kind.bits;
            isFloat = kind.isFloat;
            return true;
        }
    }
    return false;
}

std::uint64_t SampleDataBytes(const AudioFormat& format) {
    return static_cast<std::uint64_t>(format.Frames) * static_cast<std::uint64_t>(format.Channels) *
           static_cast<std::uint64_t>(format.Bits / 8);
}

} // namespace zembrel
