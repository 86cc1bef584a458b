#pragma once

#include <cstdint>

#include "numerics/foundations/reporting_calculator.h"

namespace quorvel {

// The noncentral t distribution with integer degrees of freedom.
class NoncentralT : public ReportingCalculator {
public:
    using ReportingCalculator::ReportingCalculator;

    double confidence = 0.0;
    double tValue = 0.0;
    double delta = 0.0;
    double cumP = 0.0;
    std::int32_t df = 0;
};

}  // namespace quorvel
