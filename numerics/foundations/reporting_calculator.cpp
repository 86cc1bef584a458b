#include "numerics/foundations/reporting_calculator.h"

#include "numerics/calculators.h"

namespace quorvel {

double ReportingCalculator::reportFailure(std::string_view message) {
    owner_.reporter().show(message);
    failed = 1;
    return owner_.failureValue;
}

double ReportingCalculator::failureValue() const {
    return owner_.failureValue;
}

}  // namespace quorvel
