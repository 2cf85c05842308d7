#pragma once

#include "core/generators/SyncSweep.h"

#include <string>

namespace zembrel {

// Reads the parameters zembrel-cli sync-sweep --json printed (and a script kept): start_hz,
// stop_hz, length_s and rate_hz are required; pre_s, post_s, fade_in_ms, fade_out_ms and
// level_db are 0 when missing; other keys are ignored. length_s is the sweep's real length,
// which makes the same L again. Throws std::runtime_error with the reason alone (the caller
// names the file): "cannot be opened", "not JSON (...)", "no \"start_hz\"", "\"pre_s\" is not a
// number".
SyncSweepInput ReadSweepJson(const std::string& path);

} // namespace zembrel
