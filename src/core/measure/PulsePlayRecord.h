#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zembrel {

// Thrown by PulsePlayRecord::Run when the caller asked it to stop.
struct MeasurementStopped : std::runtime_error {
    MeasurementStopped() : std::runtime_error("the measurement was stopped") {}
};

// A sound device as the sound server names it.
struct AudioDevice {
    std::string Name;        // what --output-device / --input-device take
    std::string Description; // for people
    double RateHz = 0.0;     // the device's own rate: measuring at it avoids resampling
    bool IsDefault = false;
};

struct AudioDevices {
    std::vector<AudioDevice> Outputs;
    std::vector<AudioDevice> Inputs;
};

// Plays a signal on one device while recording another, through the PulseAudio client library
// (PulseAudio or PipeWire's server for it, which every Debian desktop runs). The library talks
// to the server directly, so device names are the server's, the default devices are the
// desktop's, and the rate of a device can be asked for; PortAudio would go through ALSA's
// plug-in to reach the same server.
//
// Every call ends within its timeout: a server that does not answer or a stream that does not
// move throws std::runtime_error, as do a missing device (named) and a refused stream. The
// streams of a call that timed out are left to end with the process.
class PulsePlayRecord {
public:
    static AudioDevices ListDevices(double timeoutS);

    // Starts recording input (empty: the default), waits until samples arrive, then plays
    // `play` (mono, full scale 1.0, at rateHz) on output (empty: the default) to its end and
    // records tailS more. Returns the recording, mono, full scale 1.0, from before the first
    // sample played. stop is asked every 0.1 s; when it says so, Run throws
    // MeasurementStopped.
    static std::vector<double> Run(const std::vector<double>& play, double rateHz,
                                   const std::string& output, const std::string& input,
                                   double tailS, double timeoutS,
                                   const std::function<bool()>& stop);
};

} // namespace zembrel
