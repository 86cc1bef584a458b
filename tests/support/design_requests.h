#pragma once

#include "model/effects/effects.h"

namespace quorvel::testing {

// A few study designs and questions, as the command line reads them, for the tests of what the
// window shows of them (curves, pictures, protocols): a one-way ANOVA sample size and
// criterion, repeated measures within on real Df (ε = 0.6), a not-close-fit RMSEA sensitivity,
// and a two-group equivalence sample size.
inline const EffectRequest kAnovaSampleSize{.distribution = DistributionKind::F,
                                            .quantity = EffectQuantity::SampleSize,
                                            .effect = 0.0625,
                                            .power = 0.8,
                                            .design = StudyDesign::Anova,
                                            .groups = 4};
inline const EffectRequest kRmWithinPower{.distribution = DistributionKind::F,
                                          .quantity = EffectQuantity::Power,
                                          .effect = 0.0625,
                                          .n = 30,
                                          .design = StudyDesign::RmWithin,
                                          .groups = 2,
                                          .measurements = 4,
                                          .correlation = 0.5,
                                          .epsilon = 0.6};
inline const EffectRequest kNotCloseSensitivity{.distribution = DistributionKind::ChiSquare,
                                                .quantity = EffectQuantity::Power,
                                                .n = 300,
                                                .df1 = 50,
                                                .power = 0.8,
                                                .alternative = Alternative::Less,
                                                .design = StudyDesign::Rmsea,
                                                .question = PowerQuestion::Sensitivity,
                                                .rmsea0 = 0.05};
inline const EffectRequest kEquivalenceSampleSize{.distribution = DistributionKind::T,
                                                  .quantity = EffectQuantity::SampleSize,
                                                  .effect = 0.1,
                                                  .power = 0.8,
                                                  .design = StudyDesign::Equivalence,
                                                  .margin = 0.5};
inline const EffectRequest kAnovaCriterion{.distribution = DistributionKind::F,
                                           .quantity = EffectQuantity::Power,
                                           .effect = 0.0625,
                                           .n = 60,
                                           .power = 0.8,
                                           .design = StudyDesign::Anova,
                                           .question = PowerQuestion::Criterion,
                                           .groups = 3};

}  // namespace quorvel::testing
