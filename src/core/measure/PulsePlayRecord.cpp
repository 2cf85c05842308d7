#include "core/measure/PulsePlayRecord.h"

#include <pulse/error.h>
#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace zembrel {

namespace {

// The name the sound server shows for our streams: the running program's own, so that the
// desktop program's measurement is not listed as the command line's.
const char* ClientName() {
    return program_invocation_short_name;
}

std::string NoDevice(const char* kind, const std::string& name) {
    return "there is no " + std::string(kind) + " device named \"" + name +
           "\" (zembrel-cli measure --list-devices names them)";
}

// The state the two streams share with the caller, kept alive by whoever ends last.
struct Exchange {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<double> recorded;
    bool flowing = false;  // the first recorded samples have arrived
    bool played = false;   // the last sample was played (drained)
    bool finished = false; // recording ended
    std::string error;     // the first failure, ends the exchange
    std::atomic<bool> abandon{false};

    void Fail(const std::string& text) {
        std::lock_guard guard(lock);
        if (error.empty()) {
            error = text;
        }
        changed.notify_all();
    }
};

pa_sample_spec MonoFloat(double rateHz) {
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_FLOAT32LE;
    sampleFormat.rate = static_cast<std::uint32_t>(rateHz);
    sampleFormat.channels = 1;
    return sampleFormat;
}

void Record(const std::shared_ptr<Exchange>& exchange, double rateHz, const std::string& input,
            std::int64_t tailSamples) {
    const pa_sample_spec sampleFormat = MonoFloat(rateHz);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(rateHz / 100.0) * sizeof(float); // 10 ms
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, ClientName(), PA_STREAM_RECORD,
                                      input.empty() ? nullptr : input.c_str(), "measurement",
                                      &sampleFormat, nullptr, &attr, &error);
    if (stream == nullptr) {
        exchange->Fail(error == PA_ERR_NOENTITY
                           ? NoDevice("input", input)
                           : std::string("cannot record: ") + pa_strerror(error));
        return;
    }
    std::vector<float> chunk(static_cast<std::size_t>(rateHz / 100.0));
    std::int64_t after = -1; // samples recorded since the playback ended
    while (!exchange->abandon) {
        if (pa_simple_read(stream, chunk.data(), chunk.size() * sizeof(float), &error) < 0) {
            exchange->Fail(std::string("recording failed: ") + pa_strerror(error));
            break;
        }
        std::lock_guard guard(exchange->lock);
        exchange->recorded.insert(exchange->recorded.end(), chunk.begin(), chunk.end());
        if (!exchange->flowing) {
            exchange->flowing = true;
            exchange->changed.notify_all();
        }
        after = exchange->played ? after + static_cast<std::int64_t>(chunk.size()) : -1;
        if (after >= tailSamples || !exchange->error.empty()) {
            exchange->finished = true;
            exchange->changed.notify_all();
            break;
        }
    }
    pa_simple_free(stream);
}

void Play(const std::shared_ptr<Exchange>& exchange, std::vector<float> samples, double rateHz,
          const std::string& output) {
    const pa_sample_spec sampleFormat = MonoFloat(rateHz);
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, ClientName(), PA_STREAM_PLAYBACK,
                                      output.empty() ? nullptr : output.c_str(), "measurement",
                                      &sampleFormat, nullptr, nullptr, &error);
    if (stream == nullptr) {
        exchange->Fail(error == PA_ERR_NOENTITY
                           ? NoDevice("output", output)
                           : std::string("cannot play: ") + pa_strerror(error));
        return;
    }
    if (pa_simple_write(stream, samples.data(), samples.size() * sizeof(float), &error) < 0 ||
        pa_simple_drain(stream, &error) < 0) {
        exchange->Fail(std::string("playback failed: ") + pa_strerror(error));
    } else {
        std::lock_guard guard(exchange->lock);
        exchange->played = true;
    }
    pa_simple_free(stream);
}

// The introspection calls of the asynchronous API, run on a main loop of our own until done or
// the deadline.
struct Listing {
    AudioDevices devices;
    std::string defaultSink;
    std::string defaultSource;
    int pending = 0;
    bool failed = false;
};

} // namespace

AudioDevices PulsePlayRecord::ListDevices(double timeoutS) {
    std::unique_ptr<pa_mainloop, decltype(&pa_mainloop_free)> loop(pa_mainloop_new(),
                                                                   pa_mainloop_free);
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop.get()), ClientName());
    std::unique_ptr<pa_context, decltype(&pa_context_unref)> owner(context, pa_context_unref);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        throw std::runtime_error(std::string("no sound server: ") +
                                 pa_strerror(pa_context_errno(context)));
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutS);
    auto iterate = [&] {
        if (std::chrono::steady_clock::now() > deadline) {
            pa_context_disconnect(context);
            throw std::runtime_error("the sound server did not answer within " +
                                     std::to_string(static_cast<int>(timeoutS)) + " s");
        }
        pa_mainloop_prepare(loop.get(), 100000); // us
        pa_mainloop_poll(loop.get());
        pa_mainloop_dispatch(loop.get());
    };
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY) {
            break;
        }
        if (!PA_CONTEXT_IS_GOOD(state)) {
            throw std::runtime_error(std::string("no sound server: ") +
                                     pa_strerror(pa_context_errno(context)));
        }
        iterate();
    }

    Listing listing;
    listing.pending = 3;
    pa_operation_unref(pa_context_get_server_info(
        context,
        [](pa_context*, const pa_server_info* info, void* user) {
            auto* l = static_cast<Listing*>(user);
            if (info != nullptr) {
                l->defaultSink = info->default_sink_name ? info->default_sink_name : "";
                l->defaultSource = info->default_source_name ? info->default_source_name : "";
            }
            --l->pending;
        },
        &listing));
    pa_operation_unref(pa_context_get_sink_info_list(
        context,
        [](pa_context*, const pa_sink_info* info, int eol, void* user) {
            auto* l = static_cast<Listing*>(user);
            if (eol != 0) {
                l->failed = l->failed || eol < 0;
                --l->pending;
                return;
            }
            l->devices.Outputs.push_back({info->name, info->description ? info->description : "",
                                          static_cast<double>(info->sample_spec.rate), false});
        },
        &listing));
    pa_operation_unref(pa_context_get_source_info_list(
        context,
        [](pa_context*, const pa_source_info* info, int eol, void* user) {
            auto* l = static_cast<Listing*>(user);
            if (eol != 0) {
                l->failed = l->failed || eol < 0;
                --l->pending;
                return;
            }
            l->devices.Inputs.push_back({info->name, info->description ? info->description : "",
                                         static_cast<double>(info->sample_spec.rate), false});
        },
        &listing));
    while (listing.pending > 0) {
        iterate();
    }
    pa_context_disconnect(context);
    if (listing.failed) {
        throw std::runtime_error("the sound server did not list its devices");
    }
    for (AudioDevice& d : listing.devices.Outputs) {
        d.IsDefault = d.Name == listing.defaultSink;
    }
    for (AudioDevice& d : listing.devices.Inputs) {
        d.IsDefault = d.Name == listing.defaultSource;
    }
    return listing.devices;
}

std::vector<double> PulsePlayRecord::Run(const std::vector<double>& play, double rateHz,
                                         const std::string& output, const std::string& input,
                                         double tailS, double timeoutS,
                                         const std::function<bool()>& stop) {
    auto exchange = std::make_shared<Exchange>();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutS);
    const auto tail = static_cast<std::int64_t>(tailS * rateHz);
    std::thread([exchange, rateHz, input, tail] {
        Record(exchange, rateHz, input, tail);
    }).detach();
    std::unique_lock guard(exchange->lock);
    auto wait = [&](const char* what, auto done) {
        while (!done() && exchange->error.empty()) {
            if (stop && stop()) {
                exchange->abandon = true;
                throw MeasurementStopped();
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                exchange->abandon = true;
                throw std::runtime_error(std::string(what) + " within " +
                                         std::to_string(static_cast<int>(timeoutS)) + " s");
            }
            exchange->changed.wait_for(guard, std::chrono::milliseconds(100));
        }
        if (!exchange->error.empty()) {
            exchange->abandon = true;
            throw std::runtime_error(exchange->error);
        }
    };
    wait("no sound was recorded", [&] { return exchange->flowing; });
    std::vector<float> samples(play.begin(), play.end());
    std::thread([exchange, samples = std::move(samples), rateHz, output]() mutable {
        Play(exchange, std::move(samples), rateHz, output);
    }).detach();
    wait("the measurement did not end", [&] { return exchange->finished; });
    return std::move(exchange->recorded);
}

} // namespace zembrel
