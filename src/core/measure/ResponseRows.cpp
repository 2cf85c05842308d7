#include "core/measure/ResponseRows.h"

#include <cmath>
#include <cstdio>

namespace zembrel {

namespace {

std::string Cell(double value) {
    if (!std::isfinite(value)) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

} // namespace

std::string ResponseCsv(const std::vector<ResponsePoint>& response) {
    std::string csv = "frequency_hz,magnitude_db,phase_deg\n";
    for (const ResponsePoint& p : response) {
        csv += Cell(p.FrequencyHz) + "," + Cell(p.MagnitudeDb) + "," + Cell(p.PhaseDeg) + "\n";
    }
    return csv;
}

std::string DistortionCsv(const std::vector<DistortionPoint>& distortion) {
    std::string csv = "frequency_hz,h2_db,h3_db,h4_db,h5_db,thd_db,thd_percent\n";
    for (const DistortionPoint& p : distortion) {
        csv += Cell(p.FrequencyHz);
        for (double h : p.HarmonicDb) {
            csv += "," + Cell(h);
        }
        csv += "," + Cell(p.ThdDb) + "," + Cell(p.ThdPercent) + "\n";
    }
    return csv;
}

} // namespace zembrel
