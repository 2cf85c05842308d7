#pragma once

#include "core/analysis/ChannelLevels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace zembrel::test {

// Reads text written as SpectrumRows writes it: with header, the line naming the columns; then
// one row per level whose two numbers read back exactly as bin k's frequency at sampleRate and
// length, and levels[k]; nothing after the last bin.
inline void ExpectSpectrumRows(const std::string& text, char separator, bool header,
                               double sampleRate, std::int32_t length,
                               const std::vector<double>& levels) {
    std::istringstream rows(text);
    std::string line;
    if (header) {
        std::getline(rows, line);
        EXPECT_EQ(line, std::string("frequency_hz") + separator + "level_db");
    }
    for (std::size_t k = 0; k < levels.size(); ++k) {
        ASSERT_TRUE(std::getline(rows, line)) << "no row for bin " << k;
        const auto at = line.find(separator);
        ASSERT_NE(at, std::string::npos) << line;
        ASSERT_EQ(std::stod(line.substr(0, at)),
                  BinFrequency(sampleRate, length, static_cast<int>(k)))
            << k;
        ASSERT_EQ(std::stod(line.substr(at + 1)), levels[k]) << k;
    }
    EXPECT_FALSE(std::getline(rows, line)) << "a row after the last bin: " << line;
}

} // namespace zembrel::test
