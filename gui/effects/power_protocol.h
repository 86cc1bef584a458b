#pragma once

#include <string>

#include "model/effects/effects.h"

namespace quorvel {

class Calculators;

// The protocol of a power or sample-size computation, as a researcher pastes it into a report:
// what was computed (power, sample size, sensitivity, criterion or compromise, of which test);
// every input the request read, as the command line reads it back; the convention (today's
// noncentrality and Df in terms of the inputs, or a design's formula as the command line prints
// it, then the rejection rule with the sides and α, the power as a tail under the effect, and
// what the question's answer is); the test at the request its outcome answers (the N, effect or
// α found: its Df, real-valued with ε < 1, noncentralities and critical value, 17 significant
// digits); and the result as the command line prints it, or why the computation failed. Lines
// end with '\n'. Messages of the families on the way are held, never shown. An estimate has no
// protocol: empty.
std::string powerProtocol(Calculators& calculators, const EffectRequest& request,
                          const EffectOutcome& outcome);

}  // namespace quorvel
