#include "model/effects/effects.h"

#include <utility>

#include "model/effects/effect_parts.h"
#include "numerics/calculators.h"
#include "numerics/foundations/failure/message_tee.h"

namespace quorvel {

void showEffectMessage(Calculators& calculators, std::string_view message) {
    calculators.reporter().show(message);
}

namespace {
EffectOutcome effectOf(Calculators& calculators, const EffectRequest& request) {
    EffectOutcome outcome;
    switch (request.quantity) {
        case EffectQuantity::Estimate:
            outcome = estimateEffect(calculators, request);
            break;
        case EffectQuantity::Power: {
            if (request.design != StudyDesign::Basic || request.question != PowerQuestion::Power) {
                outcome = answerPowerQuestion(calculators, request);
                break;
            }
            const PowerValue value = testPower(calculators, request);
            outcome.power = value.power;
            outcome.failed = value.failed;
            break;
        }
        case EffectQuantity::SampleSize:
            outcome = request.design == StudyDesign::Basic
                          ? findSampleSize(calculators, request)
                          : findDesignSampleSize(calculators, request);
            break;
    }
    if (outcome.failed) {
        // A failed request carries the failure value in every number it answers, as the
        // families' own routines do.
        const double failure = calculators.failureValue;
        outcome.note.clear();
        switch (request.quantity) {
            case EffectQuantity::Estimate:
                outcome.estimate = failure;
                outcome.lower = failure;
                outcome.upper = failure;
                break;
            case EffectQuantity::Power:
                outcome.power = failure;
                outcome.effect = failure;
                outcome.alpha = failure;
                break;
            case EffectQuantity::SampleSize:
                outcome.n = truncateDegreesOfFreedom(failure);
                outcome.power = failure;
                break;
        }
    }
    return outcome;
}
}  // namespace

EffectOutcome computeEffect(Calculators& calculators, const EffectRequest& request) {
    MessageTee shown(calculators.reporter());
    calculators.redirectReporter(shown);
    EffectOutcome outcome = effectOf(calculators, request);
    calculators.redirectReporter(shown.next());
    outcome.messages = std::move(shown.messages);
    return outcome;
}

}  // namespace quorvel
