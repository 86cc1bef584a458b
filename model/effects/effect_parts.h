#pragma once

#include <string>
#include <string_view>

#include "model/effects/effects.h"

namespace quorvel {

// The three request kinds behind computeEffect. Each returns with `failed` set once a message
// has been shown (by a family or by the routine itself); computeEffect then writes the failure
// value into the quantity's numbers.

// The measure's estimate and its interval, mapped from the family's interval for the
// noncentrality.
EffectOutcome estimateEffect(Calculators& calculators, const EffectRequest& request);

// The power of the request's test, or failed.
struct PowerValue {
    double power = 0.0;
    bool failed = false;
};
PowerValue testPower(Calculators& calculators, const EffectRequest& request);

// The power of a request of any design at its N (n, or n1 and n2), effect and α: testPower
// for Basic, the design's own test otherwise.
PowerValue designPower(Calculators& calculators, const EffectRequest& request);

// The power of two one-sided t tests for equivalence within ±margin (Schuirmann 1987, J.
// Pharmacokinet. Biopharm. 15), exactly, by integrating over the sample standard deviation.
PowerValue equivalencePower(Calculators& calculators, const EffectRequest& request);

// The whole N a design other than Basic may take at its sizes and effect (N per group for two
// groups in an equivalence design, total otherwise): from the smallest its test can take up to
// the largest within its family's limits, and the message for a target beyond that.
struct DesignRange {
    long long smallest = 1;
    long long largest = 0;
    std::string beyondLimits;
};
DesignRange designRange(const EffectRequest& request);

// The smallest whole N of a design other than Basic whose power reaches request.power, with
// that power (N per group for two groups in an equivalence design, total otherwise).
EffectOutcome findDesignSampleSize(Calculators& calculators, const EffectRequest& request);

// Sensitivity, criterion and compromise of a power request (its question), the numbers in
// effect, alpha and power.
EffectOutcome answerPowerQuestion(Calculators& calculators, const EffectRequest& request);

// The smallest whole N whose power reaches request.power, with that power.
EffectOutcome findSampleSize(Calculators& calculators, const EffectRequest& request);

// Shows a message of the effects layer itself through the calculators' reporter.
void showEffectMessage(Calculators& calculators, std::string_view message);

}  // namespace quorvel
