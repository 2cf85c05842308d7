#include "core/signal/ReplaceFile.h"

#include "core/signal/WavError.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace zembrel {

namespace fs = std::filesystem;

int CreateTemporaryBeside(const std::string& target, std::string& tempName) {
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", rd());
        tempName = target + ".part-" + suffix;
        const int fd = ::open(tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            throw WavError(target, std::string("cannot create file: ") + std::strerror(errno));
        }
    }
    throw WavError(target, "cannot create a temporary file beside it");
}

void MoveIntoPlace(const std::string& tempName, const std::string& target) {
    std::error_code ec;
    const auto oldStatus = fs::status(target, ec);
    if (!ec && fs::is_regular_file(oldStatus)) {
        fs::permissions(tempName, oldStatus.permissions(), ec);
    }
    fs::rename(tempName, target, ec);
    if (ec) {
        throw WavError(target, "cannot replace file: " + ec.message());
    }
}

} // namespace zembrel
