// Hedges' g, partial ω² and ε², Cramér's V and one-sided intervals through computeEffect,
// against the formulas written out here and limits found independently: Boost.Math's
// noncentral distribution functions inverted by its TOMS 748 root finder.

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <random>
#include <string>

#include "model/effects/effects.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

namespace bm = boost::math;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Estimates are closed forms: a few roundings apart.
constexpr double kEstimateTolerance = 1e-12;

// The noncentrality θ with P(X <= x; θ) = p, by bracketing then TOMS 748 to 52 bits; `cdf`
// falls in θ. Nothing (NaN) where even θ = `lowest` leaves less than p below x.
template <typename Cdf>
double boostNoncentrality(Cdf cdf, double p, double start, double lowest) {
    const auto residual = [&](double theta) { return cdf(theta) - p; };
    if (residual(lowest) < 0.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    double low = std::max(start - 1.0, lowest);
    double high = start + 1.0;
    for (int i = 0; i < 60 && residual(high) > 0.0; ++i) {
        low = high;
        high += 2.0 * (std::fabs(high) + 1.0);
    }
    for (int i = 0; i < 60 && residual(low) < 0.0; ++i) {
        high = low;
        low = std::max(low - 2.0 * (std::fabs(low) + 1.0), lowest);
    }
    std::uintmax_t iterations = 200;
    const auto root = bm::tools::toms748_solve(residual, low, high,
                                               bm::tools::eps_tolerance<double>(52), iterations);
    return (root.first + root.second) / 2.0;
}

double deltaAt(double t, double df, double p) {
    return boostNoncentrality(
        [&](double delta) { return bm::cdf(bm::non_central_t_distribution<double>(df, delta), t); },
        p, t, -1e4);
}

// λ >= 0 for F or chi-square; 0 where no λ >= 0 leaves p below x.
template <typename Distribution>
double lambdaAt(Distribution make, double x, double p) {
    const double lambda =
        boostNoncentrality([&](double l) { return bm::cdf(make(l), x); }, p, x, 0.0);
    return std::isnan(lambda) ? 0.0 : lambda;
}

class EffectMeasures : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    double worstEstimate = 0.0;
    double worstLimit = 0.0;

    EffectOutcome answered(const EffectRequest& request, const std::string& what) {
        reporter.messages.clear();
        const EffectOutcome outcome = computeEffect(calculators, request);
        EXPECT_FALSE(outcome.failed) << what;
        EXPECT_TRUE(reporter.messages.empty()) << what << ": " << reporter.messages.front();
        return outcome;
    }

    void expectRelative(double ours, double reference, double tolerance, double& worst,
                        const std::string& what) {
        if (std::isinf(reference)) {
            EXPECT_EQ(ours, reference) << what;
            return;
        }
        const double error = std::fabs(ours - reference) / std::max(std::fabs(reference), 1e-300);
        worst = std::max(worst, reference == 0.0 ? std::fabs(ours) : error);
        EXPECT_LE(reference == 0.0 ? std::fabs(ours) : error, tolerance)
            << what << ": " << ours << " against " << reference;
    }

    void TearDown() override {
        if (worstEstimate > 0.0 || worstLimit > 0.0) {
            std::cout << "largest relative error: estimates " << worstEstimate << ", limits "
                      << worstLimit << "\n";
        }
    }
};

// Limits of the noncentrality at level C and an alternative: the two-sided interval at C, or at
// 2C − 1 with the other end at the bound `below` or +infinity.
struct Ends {
    double lower;
    double upper;
};
template <typename Root>
Ends referenceEnds(Root rootAt, double confidence, Alternative alternative, double below) {
    if (alternative == Alternative::TwoSided) {
        const double tail = (1.0 - confidence) / 2.0;
        return {rootAt(1.0 - tail), rootAt(tail)};
    }
    if (alternative == Alternative::Greater) {
        return {rootAt(confidence), kInfinity};
    }
    return {below, rootAt(1.0 - confidence)};
}

std::string named(const char* measure, double value, Alternative alternative, double confidence) {
    return std::string(measure) + " at " + std::to_string(value) + " alternative " +
           std::to_string(static_cast<int>(alternative)) + " level " + std::to_string(confidence);
}

constexpr Alternative kAlternatives[] = {Alternative::TwoSided, Alternative::Greater,
                                         Alternative::Less};

// g = d·J(ν) with J from Boost's ratio of gamma functions, its limits those of δ times
// J·√(1/N1 + 1/N2), at Df from 2 to beyond the t family's own 100000.
TEST_F(EffectMeasures, HedgesGAgreesWithTheGammaRatioAndTheInvertedDistribution) {
    struct Sizes {
        int n1;
        int n2;
    };
    for (const Sizes sizes :
         {Sizes{2, 2}, Sizes{5, 8}, Sizes{40, 40}, Sizes{3000, 5000}, Sizes{150000, 150001}}) {
        const double df = sizes.n1 + sizes.n2 - 2.0;
        const double j = bm::tgamma_ratio(df / 2.0, (df - 1.0) / 2.0) / std::sqrt(df / 2.0);
        const double scale = j * std::sqrt(1.0 / sizes.n1 + 1.0 / sizes.n2);
        for (double t : {-2.0, 0.7, 4.0}) {
            for (Alternative alternative : kAlternatives) {
                const double confidence = 0.95;
                const EffectRequest r{.distribution = DistributionKind::T,
                                      .measure = EffectMeasure::HedgesG,
                                      .value = t,
                                      .n1 = sizes.n1,
                                      .n2 = sizes.n2,
                                      .confidence = confidence,
                                      .alternative = alternative};
                const std::string what =
                    named("g", t, alternative, confidence) + " df " + std::to_string(df);
                const EffectOutcome g = answered(r, what);
                expectRelative(g.estimate, t * scale, kEstimateTolerance, worstEstimate, what);
                const Ends delta = referenceEnds([&](double p) { return deltaAt(t, df, p); },
                                                 confidence, alternative, -kInfinity);
                expectRelative(g.lower, delta.lower * scale, 1e-8, worstLimit, what + " lower");
                expectRelative(g.upper, delta.upper * scale, 1e-8, worstLimit, what + " upper");
            }
        }
    }
}

// ω² and ε² are the closed forms, 0 where negative; their limits map the λ limits through
// F = λ/U + 1, and a one-sided interval ends at 0 or 1.
TEST_F(EffectMeasures, PartialOmegaAndEpsilonSquaredAgreeWithTheFormulas) {
    struct Dfs {
        int u;
        int v;
    };
    for (const Dfs dfs : {Dfs{1, 12}, Dfs{3, 40}, Dfs{8, 300}}) {
        for (double f : {0.6, 2.5, 9.0}) {
            for (Alternative alternative : kAlternatives) {
                for (double confidence : {0.9, 0.99}) {
                    const double u = dfs.u;
                    const double v = dfs.v;
                    const Ends lambda = referenceEnds(
                        [&](double p) {
                            return lambdaAt(
                                [&](double l) {
                                    return bm::non_central_f_distribution<double>(u, v, l);
                                },
                                f, p);
                        },
                        confidence, alternative, 0.0);
                    const auto measureAt = [&](double fValue, double extra) {
                        return std::max(u * (fValue - 1.0) / (u * fValue + v + extra), 0.0);
                    };
                    const auto atLambda = [&](double l, double extra) {
                        return std::isinf(l) ? 1.0 : measureAt(l / u + 1.0, extra);
                    };
                    for (const auto& [measure, extra, name] :
                         {std::tuple{EffectMeasure::PartialOmegaSquared, 1.0, "omega2"},
                          std::tuple{EffectMeasure::PartialEpsilonSquared, 0.0, "epsilon2"}}) {
                        const EffectRequest r{.distribution = DistributionKind::F,
                                              .measure = measure,
                                              .value = f,
                                              .df1 = dfs.u,
                                              .df2 = dfs.v,
                                              .confidence = confidence,
                                              .alternative = alternative};
                        const std::string what = named(name, f, alternative, confidence) + " df " +
                                                 std::to_string(dfs.u) + "," +
                                                 std::to_string(dfs.v);
                        const EffectOutcome outcome = answered(r, what);
                        expectRelative(outcome.estimate, measureAt(f, extra), kEstimateTolerance,
                                       worstEstimate, what);
                        expectRelative(outcome.lower, atLambda(lambda.lower, extra), 1e-8,
                                       worstLimit, what + " lower");
                        expectRelative(outcome.upper, atLambda(lambda.upper, extra), 1e-8,
                                       worstLimit, what + " upper");
                    }
                }
            }
        }
    }
}

// V = √(X/(N·(min(R, C) − 1))) with Df (R − 1)(C − 1), the limits √(λ/(N·(min(R, C) − 1))).
TEST_F(EffectMeasures, CramersVAgreesWithTheFormulaAndTheInvertedDistribution) {
    struct Table {
        int rows;
        int cols;
    };
    for (const Table table : {Table{2, 2}, Table{3, 4}, Table{6, 3}}) {
        const double df = (table.rows - 1.0) * (table.cols - 1.0);
        for (double x : {3.0, 15.0, 60.0}) {
            for (Alternative alternative : kAlternatives) {
                const int n = 120;
                const double confidence = 0.95;
                const double perSquare = n * (std::min(table.rows, table.cols) - 1.0);
                const EffectRequest r{.distribution = DistributionKind::ChiSquare,
                                      .measure = EffectMeasure::CramersV,
                                      .value = x,
                                      .n = n,
                                      .confidence = confidence,
                                      .rows = table.rows,
                                      .cols = table.cols,
                                      .alternative = alternative};
                const std::string what = named("V", x, alternative, confidence) + " table " +
                                         std::to_string(table.rows) + "x" +
                                         std::to_string(table.cols);
                const EffectOutcome outcome = answered(r, what);
                expectRelative(outcome.estimate, std::sqrt(x / perSquare), kEstimateTolerance,
                               worstEstimate, what);
                const Ends lambda = referenceEnds(
                    [&](double p) {
                        return lambdaAt(
                            [&](double l) {
                                return bm::non_central_chi_squared_distribution<double>(df, l);
                            },
                            x, p);
                    },
                    confidence, alternative, 0.0);
                expectRelative(outcome.lower, std::sqrt(lambda.lower / perSquare), 1e-8, worstLimit,
                               what + " lower");
                expectRelative(outcome.upper, std::sqrt(lambda.upper / perSquare), 1e-8, worstLimit,
                               what + " upper");
            }
        }
    }
}

// Samples beyond the t family's 100000 Df, where other programs return a collapsed interval:
// both limits found, the estimate between them, and the limits those of δ.
TEST_F(EffectMeasures, VeryLargeSamplesGiveIntervalsOfPositiveWidthHoldingTheEstimate) {
    const EffectRequest cases[] = {
        {.distribution = DistributionKind::T, .value = 56.0, .n = 1000001},
        {.distribution = DistributionKind::T,
         .measure = EffectMeasure::HedgesG,
         .value = 80.0,
         .n1 = 2277778,
         .n2 = 2277779},
    };
    for (const EffectRequest& r : cases) {
        const EffectOutcome outcome = answered(r, "large sample");
        EXPECT_LT(outcome.lower, outcome.estimate);
        EXPECT_LT(outcome.estimate, outcome.upper);
        EXPECT_EQ(outcome.note, "");
        const bool twoGroups = r.n1 > 0;
        const double df = twoGroups ? r.n1 + r.n2 - 2.0 : r.n - 1.0;
        double scale = twoGroups ? std::sqrt(1.0 / r.n1 + 1.0 / r.n2) : 1.0 / std::sqrt(r.n);
        if (r.measure == EffectMeasure::HedgesG) {
            scale *= bm::tgamma_ratio(df / 2.0, (df - 1.0) / 2.0) / std::sqrt(df / 2.0);
        }
        expectRelative(outcome.lower, deltaAt(r.value, df, 0.975) * scale, 1e-8, worstLimit,
                       "large sample lower");
        expectRelative(outcome.upper, deltaAt(r.value, df, 0.025) * scale, 1e-8, worstLimit,
                       "large sample upper");
    }
}

// A seeded sweep over every measure, level and alternative: the estimate lies inside every
// interval, or the outcome carries a note saying why, and never a note where it does; a
// one-sided interval's other end is the measure's bound.
TEST_F(EffectMeasures, EveryIntervalHoldsItsEstimateOrSaysWhy) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct Measure {
        DistributionKind family;
        EffectMeasure measure;
        double below;  // the bound of a "less" interval's lower end
        double above;  // the bound of a "greater" interval's upper end
    };
    const Measure measures[] = {
        {DistributionKind::T, EffectMeasure::CohensD, -kInfinity, kInfinity},
        {DistributionKind::T, EffectMeasure::HedgesG, -kInfinity, kInfinity},
        {DistributionKind::F, EffectMeasure::PartialEtaSquared, 0.0, 1.0},
        {DistributionKind::F, EffectMeasure::CohensFSquared, 0.0, kInfinity},
        {DistributionKind::F, EffectMeasure::PartialOmegaSquared, 0.0, 1.0},
        {DistributionKind::F, EffectMeasure::PartialEpsilonSquared, 0.0, 1.0},
        {DistributionKind::ChiSquare, EffectMeasure::Rmsea, 0.0, kInfinity},
        {DistributionKind::ChiSquare, EffectMeasure::CohensW, 0.0, kInfinity},
        {DistributionKind::ChiSquare, EffectMeasure::CramersV, 0.0, kInfinity},
    };
    int notes = 0;
    int checked = 0;
    for (const Measure& m : measures) {
        for (int draw = 0; draw < 12; ++draw) {
            EffectRequest r{.distribution = m.family, .measure = m.measure};
            const int df = 1 + static_cast<int>(std::pow(10.0, 3.0 * unit(random)));
            switch (m.family) {
                case DistributionKind::T:
                    r.value = 12.0 * unit(random) - 4.0;
                    r.n = df + 2;
                    break;
                case DistributionKind::F:
                    r.value = 6.0 * unit(random) * unit(random);
                    r.df1 = 1 + draw % 6;
                    r.df2 = df;
                    break;
                case DistributionKind::ChiSquare:
                    r.df1 = 1 + draw % 8;
                    r.rows = 2 + draw % 3;
                    r.cols = 2 + draw % 4;
                    r.value = (r.df1 + r.rows * r.cols) * 3.0 * unit(random);
                    r.n = df + 10;
                    break;
            }
            for (double confidence : {0.9, 0.95, 0.99, 0.9999}) {
                for (Alternative alternative : kAlternatives) {
                    r.confidence = confidence;
                    r.alternative = alternative;
                    const std::string what =
                        named(std::to_string(static_cast<int>(m.measure)).c_str(), r.value,
                              alternative, confidence) +
                        " df " + std::to_string(df);
                    const EffectOutcome outcome = answered(r, what);
                    const bool inside = outcome.lower <= outcome.estimate &&
                                        outcome.estimate <= outcome.upper &&
                                        outcome.lower < outcome.upper;
                    EXPECT_EQ(outcome.note.empty(), inside)
                        << what << ": " << outcome.estimate << " [" << outcome.lower << ", "
                        << outcome.upper << "]";
                    notes += inside ? 0 : 1;
                    if (alternative == Alternative::Greater) {
                        EXPECT_EQ(outcome.upper, m.above) << what;
                    } else if (alternative == Alternative::Less) {
                        EXPECT_EQ(outcome.lower, m.below) << what;
                    }
                    ++checked;
                }
            }
        }
    }
    std::cout << checked << " intervals, " << notes << " with a note\n";
    EXPECT_EQ(checked, 9 * 12 * 4 * 3);
}

// The rules of the new measures and of a one-sided level: one message each, the failure value.
TEST_F(EffectMeasures, RefusedRequestsShowOneMessage) {
    const struct {
        EffectRequest request;
        const char* message;
    } rows[] = {
        {{.distribution = DistributionKind::T,
          .measure = EffectMeasure::HedgesG,
          .value = 2.0,
          .n = 2},
         "Hedges' g needs Df >= 2 (N >= 3, or N1 + N2 >= 4)."},
        // Searched at any Df, a Df beyond the int range is refused, never saturated.
        {{.distribution = DistributionKind::T,
          .value = 2.0,
          .n1 = std::numeric_limits<int>::max(),
          .n2 = std::numeric_limits<int>::max()},
         "T distribution Df parameter out of range. Limits 1 <= Df <= 2147483647"},
        {{.distribution = DistributionKind::ChiSquare,
          .measure = EffectMeasure::CramersV,
          .value = 5.0,
          .n = 50,
          .rows = 1,
          .cols = 3},
         "Rows and Cols out of range. Limits: Rows >= 2, Cols >= 2."},
        {{.distribution = DistributionKind::F,
          .measure = EffectMeasure::PartialOmegaSquared,
          .value = 2.0,
          .df1 = 3,
          .df2 = 20,
          .confidence = 0.85,
          .alternative = Alternative::Less},
         "One-sided Confidence Level out of range. Limits .90 <= Conf <= .9999"},
    };
    for (const auto& row : rows) {
        reporter.messages.clear();
        const EffectOutcome outcome = computeEffect(calculators, row.request);
        EXPECT_TRUE(outcome.failed) << row.message;
        ASSERT_EQ(reporter.messages.size(), 1u) << row.message;
        EXPECT_EQ(reporter.messages.front(), row.message);
        EXPECT_EQ(outcome.estimate, calculators.failureValue);
        EXPECT_EQ(outcome.upper, calculators.failureValue);
    }
}

}  // namespace
}  // namespace quorvel
