#pragma once

namespace zembrel {

class SignalBase;

// What a level target measures.
enum class LevelMeasure {
    Rms,      // dB of the RMS of all channels together relative to full scale (a full-scale
              // square reads 0 dB, a full-scale sine -3.01 dB, as the statistics read them)
    Loudness, // integrated loudness after ITU-R BS.1770-4, LUFS (mono or stereo)
};

// Multiplies every channel of the signal by one gain so that the measure becomes target, and
// returns that gain in dB. Samples are taken in the signal's own units with fullScale as 0 dB;
// the signal must be centred on 0 (not 8-bit file units). Nothing is clipped: the caller's
// writer clips or keeps values beyond full scale. Throws std::invalid_argument, the signal
// untouched, when target is not finite, the signal is silent or, for loudness, shorter than
// one 400 ms block or all below the -70 LUFS gate.
double ScaleToLevel(SignalBase& signal, double fullScale, LevelMeasure measure, double target);

} // namespace zembrel
