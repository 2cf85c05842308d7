#pragma once

#include "core/measure/SweepResponse.h"

#include <string>
#include <vector>

namespace zembrel {

// The results of a deconvolution as CSV text, one header line and one line per point, with the
// column names that scripts rely on:
//     frequency_hz,magnitude_db,phase_deg
//     frequency_hz,h2_db,h3_db,h4_db,h5_db,thd_db,thd_percent
// Numbers have six significant digits; a level that is not known (NaN) is an empty cell.
std::string ResponseCsv(const std::vector<ResponsePoint>& response);
std::string DistortionCsv(const std::vector<DistortionPoint>& distortion);

} // namespace zembrel
