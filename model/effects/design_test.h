#pragma once

#include "model/effects/effects.h"

namespace quorvel {

// The F test of a design at a total N and effect f²: its real-valued Df and noncentrality.
struct FDesignTest {
    double nu1;
    double nu2;
    double lambda;
};
FDesignTest fDesignTestAt(const EffectRequest& request, double n, double f2);

// Anova, factorial, ancova, the repeated measures, regression and R² change.
bool isFDesign(StudyDesign design);

// The test of an F design or of RMSEA at the request's N, effect and α: its Df (the ε-scaled
// ones of repeated measures real-valued; D and no Df2 for RMSEA), the noncentrality under the
// null (RMSEA's λ0 under ε0; 0 for F, whose null is central) and under the effect, and the
// null distribution's critical value at α. It rejects above `critical`, or below it for
// RMSEA's not-close fit (`rejectsBelow`). `failed` when the percentage point showed a message.
struct DesignTest {
    DistributionKind distribution;
    double df1;
    double df2;
    double nullNoncentrality;
    double noncentrality;
    double critical;
    bool rejectsBelow;
    bool failed;
};
DesignTest designTestOf(Calculators& calculators, const EffectRequest& request);

// Whether an RMSEA request is one of not-close fit, as its description says it: a
// sensitivity's direction is its alternative (less), otherwise RMSEA1 below RMSEA0. (Its test
// at a given ε1 rejects below exactly when ε1 < ε0.)
bool describesNotCloseFit(const EffectRequest& request);

}  // namespace quorvel
