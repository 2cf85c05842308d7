#pragma once

#include <string>

namespace zembrel {

// A file is written under a fresh name beside its target and renamed over it only when every
// byte is out, so a failed or interrupted write never leaves a half file under the target's name.

// Creates and opens (read/write) a file of a fresh name beside target, never reusing an existing
// name (a link planted there is not followed); its name goes to tempName. Throws WavError.
int CreateTemporaryBeside(const std::string& target, std::string& tempName);

// Gives the finished temporary file the permissions of the file it replaces (a new file keeps
// the umask's) and renames it over target. Throws WavError naming target; the caller removes
// the temporary file.
void MoveIntoPlace(const std::string& tempName, const std::string& target);

} // namespace zembrel
