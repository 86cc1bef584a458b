#pragma once

#include <string>

#include "model/effects/effects.h"

namespace quorvel {

class Calculators;

// The protocol of a power or sample-size computation, as a researcher pastes it into a report:
// what was computed; every input the request read, as the command line reads it back; the
// convention (the noncentrality and the Df in terms of the inputs, the sides and α, the central
// critical value, the power as a noncentral tail); the test at the N that was computed (its
// Df, noncentrality and critical value, 17 significant digits); and the result as the command
// line prints it, or why the computation failed. Lines end with '\n'. Messages of the
// families on the way are held, never shown. An estimate has no protocol: empty.
std::string powerProtocol(Calculators& calculators, const EffectRequest& request,
                          const EffectOutcome& outcome);

}  // namespace quorvel
