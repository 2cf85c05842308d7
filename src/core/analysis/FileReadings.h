#pragma once

#include "core/analysis/SignalReadings.h"

#include <vector>

namespace zembrel {

class AudioFileRead;

// The readings of an audio file, which is read once. Its channels are read into memory block by
// block while the loudness meter follows the reading on a thread of its own; once the file is
// in, the channels' readings and their true peaks run side by side beside the meter.
// channels receives the samples (full scale 1), one vector per channel; a file that ends before
// its header's frame count keeps what it held. Throws WavError as reader.ReadInterleaved does, and
// when the file holds more frames than its header says; std::invalid_argument as the loudness
// meter (more than two channels).
SignalReadings ReadFile(AudioFileRead& reader, const DistortionSettings& settings,
                        std::vector<std::vector<double>>& channels);

} // namespace zembrel
