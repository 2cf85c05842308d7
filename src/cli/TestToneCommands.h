#pragma once

#include "cli/GeneratorCommand.h"

#include <memory>
#include <vector>

namespace cli {

// The test tones of the measurement standards: aes17 (997 Hz), twin-tone --standard
// smpte|din|ccif, multitone.
Commands MakeTestToneCommands();

} // namespace cli
