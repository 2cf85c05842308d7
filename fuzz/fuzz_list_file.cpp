// The three forms of frequency-list file (sine, pn-phase, band) on any text: the reader must
// stop with ListFileError or return records made only of finite numbers read from the file,
// and a band list's records must be plannable without trouble.

#include "fuzz/FuzzSupport.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/NoiseGenerator.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int form = data[0] % 3;
    const std::vector<double>& reset = form == 0   ? zembrel::kSineListReset
                                       : form == 1 ? zembrel::kPnPhaseListReset
                                                   : zembrel::kBandListReset;
    const std::string& path = fuzzsupport::WriteScratch(data + 1, size - 1, ".txt");
    try {
        const zembrel::FrequencyList list = zembrel::ReadFrequencyList(path, reset);
        if (!std::isfinite(list.Level) || list.Records.size() != list.Lines.size()) {
            std::abort();
        }
        int lastLine = 1;
        for (std::size_t i = 0; i < list.Records.size(); ++i) {
            const auto& record = list.Records[i];
            if (record.size() != reset.size() || list.Lines[i] < lastLine) {
                std::abort();
            }
            lastLine = list.Lines[i];
            for (double v : record) {
                if (!std::isfinite(v)) {
                    std::abort();
                }
            }
            if (form == 2) {
                const zembrel::NoiseBand band =
                    zembrel::PlanNoiseBand(record[0], record[1], record[2]);
                if (band.Usable() && (band.Count < 1 || !(band.Step > 0.0))) {
                    std::abort();
                }
            }
        }
    } catch (const zembrel::ListFileError&) {
        // refused with the line and the reason: fine
    }
    return 0;
}
