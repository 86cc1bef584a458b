#include "numerics/foundations/failure/reporting_calculator.h"

#include "numerics/foundations/failure/failure_context.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/roots/root_bracketing.h"

namespace quorvel {

double ReportingCalculator::reportFailure(std::string_view message) {
    failures_.reporter().show(message);
    failed = 1;
    return failures_.failureValue;
}

double ReportingCalculator::answerOf(const RootSearchResult& search,
                                     const SearchFailureMessages& messages, HeldMessages* held) {
    if (search.found()) {
        failed = 0;
        return search.root;
    }
    if (held != nullptr) {
        held->release();
    }
    switch (search.status) {
        case RootSearchStatus::NotBracketed:
            return reportFailure(messages.notBracketed);
        case RootSearchStatus::NotConverged:
            return reportFailure(messages.notConverged);
        case RootSearchStatus::OutsideTolerance:
            return reportFailure(messages.outsideTolerance);
        case RootSearchStatus::Found:
        case RootSearchStatus::EvaluationFailed:
            break;
    }
    failed = 1;
    return failureValue();
}

double ReportingCalculator::failureValue() const {
    return failures_.failureValue;
}

}  // namespace quorvel
