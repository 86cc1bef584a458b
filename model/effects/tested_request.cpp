#include "model/effects/effects.h"

namespace quorvel {

EffectRequest powerRequestAt(const EffectRequest& request, long long wholeN) {
    EffectRequest tested = request;
    tested.quantity = EffectQuantity::Power;
    tested.question = PowerQuestion::Power;
    const int n = static_cast<int>(wholeN);
    if (request.design != StudyDesign::Basic) {
        // An equivalence design's N is per group unless it has one sample; every other
        // design's N is its total.
        const bool twoGroups = request.design == StudyDesign::Equivalence && request.groups != 1;
        tested.n = n;
        tested.n1 = twoGroups ? n : 0;
        tested.n2 = twoGroups ? n : 0;
        return tested;
    }
    switch (request.distribution) {
        case DistributionKind::T:
            tested.n = n;
            tested.n1 = request.twoSample ? n : 0;
            tested.n2 = request.twoSample ? n : 0;
            break;
        case DistributionKind::F:
            tested.df2 = static_cast<int>(wholeN - request.df1 - 1);
            break;
        case DistributionKind::ChiSquare:
            tested.n = n;
            break;
    }
    return tested;
}

EffectRequest answeredPowerRequest(const EffectRequest& request, const EffectOutcome& outcome) {
    if (request.quantity == EffectQuantity::SampleSize) {
        return powerRequestAt(request, outcome.n);
    }
    EffectRequest answered = request;
    answered.question = PowerQuestion::Power;
    switch (request.question) {
        case PowerQuestion::Sensitivity:
            // An equivalence sensitivity searches the margin at the true d it was given.
            (request.design == StudyDesign::Equivalence ? answered.margin : answered.effect) =
                outcome.effect;
            break;
        case PowerQuestion::Criterion:
        case PowerQuestion::Compromise:
            answered.alpha = outcome.alpha;
            break;
        case PowerQuestion::Power:
            break;
    }
    return answered;
}

}  // namespace quorvel
