#include "core/measure/SweepJson.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <stdexcept>

namespace zembrel {

SyncSweepInput ReadSweepJson(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot be opened");
    }
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(std::string("not JSON (") + e.what() + ")");
    }
    auto number = [&](const char* key, bool required) {
        if (!json.contains(key)) {
            if (required) {
                throw std::runtime_error(std::string("no \"") + key + "\"");
            }
            return 0.0;
        }
        if (!json[key].is_number()) {
            throw std::runtime_error(std::string("\"") + key + "\" is not a number");
        }
        return json[key].get<double>();
    };
    SyncSweepInput input;
    input.StartHz = number("start_hz", true);
    input.StopHz = number("stop_hz", true);
    input.LengthS = number("length_s", true);
    input.RateHz = number("rate_hz", true);
    input.PreS = number("pre_s", false);
    input.PostS = number("post_s", false);
    input.FadeInMs = number("fade_in_ms", false);
    input.FadeOutMs = number("fade_out_ms", false);
    input.LevelDb = number("level_db", false);
    return input;
}

} // namespace zembrel
