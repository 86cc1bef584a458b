#include "numerics/foundations/failure/reporting_calculator.h"

#include "numerics/foundations/failure/failure_context.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/roots/safeguarded_search.h"

namespace quorvel {

double ReportingCalculator::reportFailure(std::string_view message) {
    failures_.reporter().show(message);
    failed = 1;
    return failures_.failureValue;
}

double ReportingCalculator::searchAnswer(const SafeguardedOutcome& outcome, HeldMessages& held,
                                         std::string_view notFound) {
    if (outcome.found) {
        failed = 0;
        return outcome.root;
    }
    held.release();
    if (outcome.secantEnd == SecantEnd::EvaluationFailed) {
        failed = 1;
        return failureValue();
    }
    return reportFailure(notFound);
}

double ReportingCalculator::failureValue() const {
    return failures_.failureValue;
}

}  // namespace quorvel
