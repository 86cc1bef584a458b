#pragma once

#include <cstdint>

#include "numerics/foundations/reporting_calculator.h"

namespace quorvel {

// The noncentral chi-square distribution with integer degrees of freedom.
class NoncentralChiSquare : public ReportingCalculator {
public:
    using ReportingCalculator::ReportingCalculator;

    double confidence = 0.0;
    double chiSquare = 0.0;
    double cumP = 0.0;
    double lambda = 0.0;
    std::int32_t df = 0;
};

}  // namespace quorvel
