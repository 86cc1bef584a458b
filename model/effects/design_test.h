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

}  // namespace quorvel
