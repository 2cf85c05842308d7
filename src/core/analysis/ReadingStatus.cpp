#include "core/analysis/ReadingStatus.h"

namespace zembrel {

const char* ReadingStatusText(ReadingStatus status) {
    switch (status) {
    case ReadingStatus::Ok:
        return "";
    case ReadingStatus::NoSignal:
        return "no signal";
    case ReadingStatus::TooShort:
        return "too short";
    case ReadingStatus::NoFundamental:
        return "no fundamental found";
    case ReadingStatus::FundamentalAboveBand:
        return "fundamental above the band";
    case ReadingStatus::NoTwoTones:
        return "no two-tone signal";
    }
    return "unknown";
}

} // namespace zembrel
