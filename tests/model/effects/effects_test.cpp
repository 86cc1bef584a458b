// Effect sizes, power and sample size through computeEffect, checked against Boost.Math's
// central quantiles and noncentral distribution functions, against reference figures for
// standard designs (pwr's conventions λ = f²·(U + V + 1) and λ = N·w²), and by putting each
// interval's limits back through Boost's distribution function.

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

#include "model/effects/effects.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

namespace bm = boost::math;

constexpr double kFailure = -9999.0;

// Probability floors of the families' distribution functions, as the answerable-requests sweep
// states them: Φ's 2.2e-8 just beyond |z| = 4 for t, the series' absolute 1e-9 for F (the
// central percentage point adds up to 1e-9 more), the chi-square series' 1e-6 below λ 921
// (2e-6 with the search's tolerance) and the normal approximation's 1e-5 above. A power adds
// the error of the critical value, carried by the ratio of the noncentral to the central
// density there, and a two-sided t power two tails.
constexpr double kTPowerFloor = 2e-7;
constexpr double kFPowerFloor = 1e-8;
constexpr double kChiSquarePowerFloor = 5e-6;
constexpr double kTLimitFloor = 2.5e-8;
constexpr double kFLimitFloor = 2e-9;
double chiSquareLimitFloor(double lambda) {
    return lambda < 921.03 ? 2e-6 : 1e-5;
}

// Boost's power: the central percentage point, then the noncentral upper tail beyond it.
double boostTPower(double d, int n1, int n2, double alpha, int sides) {
    const bool twoGroups = n2 > 0;
    const double df = twoGroups ? n1 + n2 - 2.0 : n1 - 1.0;
    const double delta =
        twoGroups ? d * std::sqrt(double(n1) * n2 / (double(n1) + n2)) : d * std::sqrt(n1);
    const double critical = bm::quantile(bm::students_t_distribution<double>(df),
                                         sides == 2 ? 1 - alpha / 2 : 1 - alpha);
    const bm::non_central_t_distribution<double> t(df, delta);
    const double power = bm::cdf(bm::complement(t, critical));
    return sides == 2 ? power + bm::cdf(t, -critical) : power;
}

double boostFPower(double f2, int u, int v, double alpha) {
    const double critical = bm::quantile(bm::fisher_f_distribution<double>(u, v), 1 - alpha);
    return bm::cdf(
        bm::complement(bm::non_central_f_distribution<double>(u, v, f2 * (u + v + 1.0)), critical));
}

double boostChiSquarePower(double w, int df, int n, double alpha) {
    const double critical = bm::quantile(bm::chi_squared_distribution<double>(df), 1 - alpha);
    return bm::cdf(
        bm::complement(bm::non_central_chi_squared_distribution<double>(df, n * w * w), critical));
}

std::string describe(const EffectRequest& r) {
    std::ostringstream text;
    text.precision(17);
    const char* names[] = {"f", "t", "chisq"};
    text << names[static_cast<int>(r.distribution)] << " value " << r.value << " effect "
         << r.effect << " n " << r.n << " n1 " << r.n1 << " n2 " << r.n2 << " df " << r.df1 << ","
         << r.df2 << " conf " << r.confidence << " alpha " << r.alpha << " power " << r.power
         << " sides " << r.sides << (r.twoSample ? " two-sample" : " one-sample");
    return text.str();
}

class Effects : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    double worst = 0.0;  // the largest |ours − Boost| of a test, printed as the accuracy measured

    EffectOutcome compute(const EffectRequest& request) {
        reporter.messages.clear();
        return computeEffect(calculators, request);
    }

    EffectOutcome answered(const EffectRequest& request) {
        const EffectOutcome outcome = compute(request);
        EXPECT_FALSE(outcome.failed) << describe(request);
        EXPECT_TRUE(reporter.messages.empty())
            << describe(request) << ": " << reporter.messages.front();
        return outcome;
    }

    void expectClose(double ours, double reference, double floor, const EffectRequest& r,
                     const char* what) {
        worst = std::max(worst, std::fabs(ours - reference));
        EXPECT_NEAR(ours, reference, floor) << what << ": " << describe(r);
    }

    void TearDown() override {
        if (worst > 0.0) {
            std::cout << "largest difference from Boost: " << worst << "\n";
        }
    }
};

// ---- Check values ---------------------------------------------------------------------------

TEST_F(Effects, CohensDOfTwoGroupsOfElevenAtTwoPointFive) {
    EffectRequest r{.distribution = DistributionKind::T, .value = 2.5, .n1 = 11, .n2 = 11};
    const EffectOutcome d = answered(r);
    std::cout.precision(10);
    std::cout << "d " << d.estimate << " [" << d.lower << ", " << d.upper << "]\n";
    EXPECT_NEAR(d.estimate, 1.0660, 5e-5);
    EXPECT_NEAR(d.lower, 0.1566, 5e-5);
    EXPECT_NEAR(d.upper, 1.9524, 5e-5);
}

// Reference powers of three standard designs, to the six decimals quoted.
TEST_F(Effects, PowerCheckValues) {
    struct Row {
        EffectRequest request;
        double power;
    };
    const Row rows[] = {
        {{.distribution = DistributionKind::T,
          .quantity = EffectQuantity::Power,
          .effect = 0.5,
          .n1 = 20,
          .n2 = 20},
         0.337939},
        {{.distribution = DistributionKind::F,
          .quantity = EffectQuantity::Power,
          .effect = 0.15,
          .df1 = 3,
          .df2 = 40},
         0.517255},
        {{.distribution = DistributionKind::ChiSquare,
          .quantity = EffectQuantity::Power,
          .effect = 0.3,
          .n = 100,
          .df1 = 4},
         0.663486},
    };
    for (const Row& row : rows) {
        const double power = answered(row.request).power;
        std::cout.precision(10);
        std::cout << "power " << power << "\n";
        EXPECT_NEAR(power, row.power, 5e-7) << describe(row.request);
    }
}

TEST_F(Effects, SampleSizeCheckValues) {
    struct Row {
        EffectRequest request;
        int n;
    };
    const Row rows[] = {
        {{.distribution = DistributionKind::T,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.5},
         64},
        {{.distribution = DistributionKind::F,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.15,
          .df1 = 3},
         77},
        {{.distribution = DistributionKind::ChiSquare,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.3,
          .df1 = 4},
         133},
    };
    for (const Row& row : rows) {
        const EffectOutcome outcome = answered(row.request);
        std::cout.precision(10);
        std::cout << "N " << outcome.n << " reaching power " << outcome.power << "\n";
        EXPECT_EQ(outcome.n, row.n) << describe(row.request);
        EXPECT_GE(outcome.power, 0.8) << describe(row.request);
    }
}

// ---- Power against Boost ------------------------------------------------------------------

// The test behind a power request, which the power picture draws: its noncentrality under
// the effect and the central critical value at α, for each family and both t designs.
TEST_F(Effects, PowerTestGivesTheNoncentralityAndTheCriticalValue) {
    const PowerTest twoGroups = powerTestOf(calculators, {.distribution = DistributionKind::T,
                                                          .quantity = EffectQuantity::Power,
                                                          .effect = 0.5,
                                                          .n1 = 20,
                                                          .n2 = 21});
    EXPECT_FALSE(twoGroups.failed);
    EXPECT_EQ(twoGroups.df1, 39);
    EXPECT_NEAR(twoGroups.noncentrality, 0.5 * std::sqrt(20.0 * 21.0 / 41.0), 1e-14);
    EXPECT_NEAR(twoGroups.critical, quantile(boost::math::students_t(39), 0.975), 1e-8);
    EXPECT_EQ(twoGroups.sides, 2);

    const PowerTest oneSample = powerTestOf(calculators, {.distribution = DistributionKind::T,
                                                          .quantity = EffectQuantity::Power,
                                                          .effect = 0.4,
                                                          .n = 30,
                                                          .sides = 1});
    EXPECT_EQ(oneSample.df1, 29);
    EXPECT_NEAR(oneSample.noncentrality, 0.4 * std::sqrt(30.0), 1e-14);
    EXPECT_NEAR(oneSample.critical, quantile(boost::math::students_t(29), 0.95), 1e-8);
    EXPECT_EQ(oneSample.sides, 1);

    const PowerTest f = powerTestOf(calculators, {.distribution = DistributionKind::F,
                                                  .quantity = EffectQuantity::Power,
                                                  .effect = 0.15,
                                                  .df1 = 3,
                                                  .df2 = 40});
    EXPECT_NEAR(f.noncentrality, 0.15 * 44.0, 1e-13);
    EXPECT_NEAR(f.critical, quantile(boost::math::fisher_f(3, 40), 0.95), 1e-8);

    const PowerTest chiSquare = powerTestOf(calculators, {.distribution = DistributionKind::ChiSquare,
                                                          .quantity = EffectQuantity::Power,
                                                          .effect = 0.3,
                                                          .n = 100,
                                                          .df1 = 4});
    EXPECT_NEAR(chiSquare.noncentrality, 9.0, 1e-13);
    EXPECT_NEAR(chiSquare.critical, quantile(boost::math::chi_squared(4), 0.95), 1e-8);
    EXPECT_EQ(chiSquare.sides, 1);
    EXPECT_TRUE(reporter.messages.empty());

    const PowerTest rejected = powerTestOf(calculators, {.distribution = DistributionKind::F,
                                                         .quantity = EffectQuantity::Power,
                                                         .effect = 0.15,
                                                         .df1 = 0,
                                                         .df2 = 40});
    EXPECT_TRUE(rejected.failed);
}

TEST_F(Effects, TPowerOfBothDesignsAndSidesAgreesWithBoost) {
    struct Sizes {
        int n1;
        int n2;  // 0: one sample of n1
    };
    const Sizes designs[] = {{5, 0}, {20, 0},  {100, 0},  {2000, 0},    {20000, 0},
                             {5, 7}, {20, 20}, {40, 100}, {1500, 2000}, {9000, 9000}};
    // α .0001 two-sided needs t at 1 − α/2 = .99995, beyond the t percentage point's CumP: its
    // upper tail is solved directly, also above 10000 Df.
    for (const Sizes& sizes : designs) {
        for (double d : {0.1, 0.5, 1.2}) {
            for (double alpha : {0.0001, 0.01, 0.05, 0.1}) {
                for (int sides : {1, 2}) {
                    EffectRequest r{.distribution = DistributionKind::T,
                                    .quantity = EffectQuantity::Power,
                                    .effect = d,
                                    .alpha = alpha,
                                    .sides = sides};
                    if (sizes.n2 > 0) {
                        r.n1 = sizes.n1;
                        r.n2 = sizes.n2;
                    } else {
                        r.n = sizes.n1;
                    }
                    expectClose(answered(r).power, boostTPower(d, sizes.n1, sizes.n2, alpha, sides),
                                kTPowerFloor, r, "power");
                }
            }
        }
    }
}

TEST_F(Effects, FPowerAgreesWithBoost) {
    for (int u : {1, 3, 10}) {
        for (int v : {5, 40, 300, 5000}) {
            for (double f2 : {0.02, 0.15, 0.35}) {
                for (double alpha : {0.0001, 0.01, 0.05, 0.5}) {
                    const EffectRequest r{.distribution = DistributionKind::F,
                                          .quantity = EffectQuantity::Power,
                                          .effect = f2,
                                          .df1 = u,
                                          .df2 = v,
                                          .alpha = alpha};
                    expectClose(answered(r).power, boostFPower(f2, u, v, alpha), kFPowerFloor, r,
                                "power");
                }
            }
        }
    }
}

TEST_F(Effects, ChiSquarePowerAgreesWithBoost) {
    for (int df : {1, 4, 20}) {
        for (int n : {20, 100, 1000}) {
            for (double w : {0.1, 0.3, 0.5}) {
                for (double alpha : {0.0001, 0.01, 0.05, 0.5}) {
                    const EffectRequest r{.distribution = DistributionKind::ChiSquare,
                                          .quantity = EffectQuantity::Power,
                                          .effect = w,
                                          .n = n,
                                          .df1 = df,
                                          .alpha = alpha};
                    expectClose(answered(r).power, boostChiSquarePower(w, df, n, alpha),
                                kChiSquarePowerFloor, r, "power");
                }
            }
        }
    }
}

// ---- Sample size ----------------------------------------------------------------------------

class SampleSizes : public Effects {
  protected:
    // N answers the request when power(N − 1) < target <= power(N), both through computeEffect,
    // and the power reported is power(N). Boost's power must put the target in the same place
    // to within the family's floor.
    void checkSmallestN(const EffectRequest& request, int smallest, double floor,
                        double (*boostPower)(const EffectRequest&, int)) {
        const EffectOutcome found = answered(request);
        ASSERT_FALSE(found.failed) << describe(request);
        const EffectOutcome atN = answered(powerRequest(request, found.n));
        EXPECT_GE(atN.power, request.power) << describe(request) << " N " << found.n;
        EXPECT_EQ(found.power, atN.power) << describe(request);
        const double boostAtN = boostPower(request, found.n);
        worst = std::max(worst, std::fabs(atN.power - boostAtN));
        EXPECT_GT(boostAtN, request.power - floor) << describe(request);
        if (found.n > smallest) {
            const EffectOutcome below = answered(powerRequest(request, found.n - 1));
            EXPECT_LT(below.power, request.power) << describe(request) << " N " << found.n;
            EXPECT_LT(boostPower(request, found.n - 1), request.power + floor) << describe(request);
        } else {
            EXPECT_EQ(found.n, smallest) << describe(request);
        }
        ++checked;
    }

    static EffectRequest powerRequest(EffectRequest request, int n) {
        request.quantity = EffectQuantity::Power;
        switch (request.distribution) {
            case DistributionKind::T:
                if (request.twoSample) {
                    request.n1 = n;
                    request.n2 = n;
                } else {
                    request.n = n;
                }
                break;
            case DistributionKind::F:
                request.df2 = n - request.df1 - 1;
                break;
            case DistributionKind::ChiSquare:
                request.n = n;
                break;
        }
        return request;
    }

    int checked = 0;
};

TEST_F(SampleSizes, TBothDesignsAndSides) {
    for (double d : {0.2, 0.5, 0.8, 1.5, 4.0}) {
        for (double power : {0.5, 0.8, 0.95}) {
            for (double alpha : {0.01, 0.05}) {
                for (int sides : {1, 2}) {
                    for (bool twoSample : {true, false}) {
                        const EffectRequest r{.distribution = DistributionKind::T,
                                              .quantity = EffectQuantity::SampleSize,
                                              .effect = d,
                                              .alpha = alpha,
                                              .power = power,
                                              .sides = sides,
                                              .twoSample = twoSample};
                        checkSmallestN(r, 2, kTPowerFloor, [](const EffectRequest& q, int n) {
                            return q.twoSample ? boostTPower(q.effect, n, n, q.alpha, q.sides)
                                               : boostTPower(q.effect, n, 0, q.alpha, q.sides);
                        });
                    }
                }
            }
        }
    }
    EXPECT_EQ(checked, 120);
}

TEST_F(SampleSizes, F) {
    for (double f2 : {0.02, 0.15, 0.35, 2.0}) {
        for (int u : {1, 3, 8}) {
            for (double power : {0.5, 0.8, 0.95}) {
                for (double alpha : {0.01, 0.05}) {
                    const EffectRequest r{.distribution = DistributionKind::F,
                                          .quantity = EffectQuantity::SampleSize,
                                          .effect = f2,
                                          .df1 = u,
                                          .alpha = alpha,
                                          .power = power};
                    checkSmallestN(r, u + 2, kFPowerFloor, [](const EffectRequest& q, int n) {
                        return boostFPower(q.effect, q.df1, n - q.df1 - 1, q.alpha);
                    });
                }
            }
        }
    }
    EXPECT_EQ(checked, 72);
}

TEST_F(SampleSizes, ChiSquare) {
    for (double w : {0.1, 0.3, 0.5, 3.0}) {
        for (int df : {1, 4, 10}) {
            for (double power : {0.5, 0.8, 0.95}) {
                for (double alpha : {0.01, 0.05}) {
                    const EffectRequest r{.distribution = DistributionKind::ChiSquare,
                                          .quantity = EffectQuantity::SampleSize,
                                          .effect = w,
                                          .df1 = df,
                                          .alpha = alpha,
                                          .power = power};
                    checkSmallestN(r, 1, kChiSquarePowerFloor, [](const EffectRequest& q, int n) {
                        return boostChiSquarePower(q.effect, q.df1, n, q.alpha);
                    });
                }
            }
        }
    }
    EXPECT_EQ(checked, 72);
}

// ---- Intervals ----------------------------------------------------------------------------

// The limits map back to noncentralities whose lower-tail probabilities at the observed value
// are (1 − C)/2 (upper limit) and (1 + C)/2 (lower limit); a limit of 0 means λ = 0 already
// lies beyond its tail.
class Intervals : public Effects {
  protected:
    template <typename BoostCdf>
    void checkLimits(const EffectRequest& r, double lowerNoncentrality, double upperNoncentrality,
                     bool zeroAllowed, BoostCdf boostCdf, double (*floor)(double)) {
        const double upperTail = (1.0 - r.confidence) / 2.0;
        const double lowerTail = (1.0 + r.confidence) / 2.0;
        const auto check = [&](double noncentrality, double tail, const char* which) {
            if (zeroAllowed && noncentrality == 0.0) {
                EXPECT_LE(boostCdf(0.0), tail + floor(0.0)) << which << ": " << describe(r);
            } else {
                expectClose(boostCdf(noncentrality), tail, floor(noncentrality), r, which);
            }
        };
        check(upperNoncentrality, upperTail, "upper");
        check(lowerNoncentrality, lowerTail, "lower");
        ++checked;
    }
    int checked = 0;
};

TEST_F(Intervals, CohensDOfBothDesigns) {
    struct Sizes {
        int n1;
        int n2;  // 0: one sample of n1
    };
    for (const Sizes sizes :
         {Sizes{5, 0}, Sizes{30, 0}, Sizes{300, 0}, Sizes{6, 9}, Sizes{30, 30}, Sizes{200, 350}}) {
        for (double t : {-3.0, 0.5, 2.5, 6.0}) {
            for (double confidence : {0.9, 0.95, 0.99}) {
                EffectRequest r{.distribution = DistributionKind::T,
                                .measure = EffectMeasure::CohensD,
                                .value = t,
                                .confidence = confidence};
                double scale = 0.0;
                double df = 0.0;
                if (sizes.n2 > 0) {
                    r.n1 = sizes.n1;
                    r.n2 = sizes.n2;
                    scale = std::sqrt(1.0 / sizes.n1 + 1.0 / sizes.n2);
                    df = sizes.n1 + sizes.n2 - 2.0;
                } else {
                    r.n = sizes.n1;
                    scale = 1.0 / std::sqrt(double(sizes.n1));
                    df = sizes.n1 - 1.0;
                }
                const EffectOutcome d = answered(r);
                EXPECT_LT(d.lower, d.upper) << describe(r);
                checkLimits(
                    r, d.lower / scale, d.upper / scale, false,
                    [&](double delta) {
                        return bm::cdf(bm::non_central_t_distribution<double>(df, delta), t);
                    },
                    [](double) { return kTLimitFloor; });
            }
        }
    }
    EXPECT_EQ(checked, 72);
}

TEST_F(Intervals, PartialEtaSquaredAndCohensFSquared) {
    struct Dfs {
        int u;
        int v;
    };
    for (const Dfs dfs : {Dfs{1, 20}, Dfs{3, 40}, Dfs{6, 200}}) {
        for (double f : {0.3, 1.5, 4.0, 12.0}) {
            for (double confidence : {0.9, 0.95, 0.99}) {
                const double total = dfs.u + dfs.v + 1.0;
                const auto boostCdf = [&](double lambda) {
                    return bm::cdf(bm::non_central_f_distribution<double>(dfs.u, dfs.v, lambda), f);
                };
                EffectRequest r{.distribution = DistributionKind::F,
                                .measure = EffectMeasure::PartialEtaSquared,
                                .value = f,
                                .df1 = dfs.u,
                                .df2 = dfs.v,
                                .confidence = confidence};
                const EffectOutcome eta = answered(r);
                // η² = λ/(λ + U + V + 1) inverts to λ = η²·(U + V + 1)/(1 − η²).
                checkLimits(r, eta.lower * total / (1.0 - eta.lower),
                            eta.upper * total / (1.0 - eta.upper), true, boostCdf,
                            [](double) { return kFLimitFloor; });
                r.measure = EffectMeasure::CohensFSquared;
                const EffectOutcome f2 = answered(r);
                checkLimits(r, f2.lower * total, f2.upper * total, true, boostCdf,
                            [](double) { return kFLimitFloor; });
                // Both measures come from the one interval for λ: η² = f²/(1 + f²).
                EXPECT_NEAR(eta.lower, f2.lower / (1.0 + f2.lower), 1e-14) << describe(r);
                EXPECT_NEAR(eta.upper, f2.upper / (1.0 + f2.upper), 1e-14) << describe(r);
                EXPECT_NEAR(eta.estimate, f2.estimate / (1.0 + f2.estimate), 1e-14) << describe(r);
            }
        }
    }
    EXPECT_EQ(checked, 72);
}

TEST_F(Intervals, RmseaAndCohensW) {
    for (double x : {2.0, 9.0, 40.0, 150.0}) {
        for (int df : {1, 4, 20}) {
            for (int n : {50, 500}) {
                for (double confidence : {0.9, 0.95}) {
                    const auto boostCdf = [&](double lambda) {
                        return bm::cdf(bm::non_central_chi_squared_distribution<double>(df, lambda),
                                       x);
                    };
                    EffectRequest r{.distribution = DistributionKind::ChiSquare,
                                    .measure = EffectMeasure::Rmsea,
                                    .value = x,
                                    .n = n,
                                    .df1 = df,
                                    .confidence = confidence};
                    const EffectOutcome rmsea = answered(r);
                    const double perLambda = df * (n - 1.0);
                    checkLimits(r, rmsea.lower * rmsea.lower * perLambda,
                                rmsea.upper * rmsea.upper * perLambda, true, boostCdf,
                                chiSquareLimitFloor);
                    r.measure = EffectMeasure::CohensW;
                    const EffectOutcome w = answered(r);
                    checkLimits(r, w.lower * w.lower * n, w.upper * w.upper * n, true, boostCdf,
                                chiSquareLimitFloor);
                }
            }
        }
    }
    EXPECT_EQ(checked, 96);
}

// ---- Limits and failures --------------------------------------------------------------------

// A request the families cannot answer shows exactly one message, is failed, and carries the
// failure value in every number it answers.
TEST_F(Effects, FailuresShowOneMessageAndGiveTheFailureValue) {
    struct Row {
        const char* name;
        EffectRequest request;
        const char* message;  // the start of the message shown
    };
    const Row rows[] = {
        {"t effect too small for Df 100000",
         {.distribution = DistributionKind::T,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.001},
         "Sample size above the limits of the t distribution"},
        {"one-sample t effect too small",
         {.distribution = DistributionKind::T,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.005,
          .twoSample = false},
         "Sample size above the limits of the t distribution"},
        {"F effect too small for Df2 10000",
         {.distribution = DistributionKind::F,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.0001,
          .df1 = 3},
         "Sample size above the limits of the F distribution"},
        {"chi-square effect so large that N = 1 passes Lambda 5000",
         {.distribution = DistributionKind::ChiSquare,
          .quantity = EffectQuantity::SampleSize,
          .effect = 100.0,
          .df1 = 4},
         "Sample size above the limits of the chi-square distribution"},
        {"chi-square effect too small for an int N",
         {.distribution = DistributionKind::ChiSquare,
          .quantity = EffectQuantity::SampleSize,
          .effect = 1e-5,
          .df1 = 4},
         "Sample size above 2147483647"},
        {"zero effect",
         {.distribution = DistributionKind::F,
          .quantity = EffectQuantity::SampleSize,
          .effect = 0.0,
          .df1 = 3},
         "The effect must be positive"},
        {"F power with Df1 0",
         {.distribution = DistributionKind::F,
          .quantity = EffectQuantity::Power,
          .effect = 0.15,
          .df1 = 0,
          .df2 = 40},
         "F distribution parameter out of range."},
        {"F power with lambda above 10000",
         {.distribution = DistributionKind::F,
          .quantity = EffectQuantity::Power,
          .effect = 5.0,
          .df1 = 3,
          .df2 = 5000},
         "Lambda out of range."},
        {"confidence below .8",
         {.distribution = DistributionKind::T, .value = 2.0, .n = 20, .confidence = 0.5},
         "T distribution Confidence Level out of range"},
        {"RMSEA of one observation",
         {.measure = EffectMeasure::Rmsea, .value = 8.0, .n = 1, .df1 = 4},
         "N out of range"},
    };
    for (const Row& row : rows) {
        const EffectOutcome outcome = compute(row.request);
        EXPECT_TRUE(outcome.failed) << row.name;
        ASSERT_EQ(reporter.messages.size(), 1u) << row.name;
        EXPECT_EQ(reporter.messages.front().rfind(row.message, 0), 0u)
            << row.name << ": " << reporter.messages.front();
        switch (row.request.quantity) {
            case EffectQuantity::Estimate:
                EXPECT_EQ(outcome.estimate, kFailure) << row.name;
                EXPECT_EQ(outcome.lower, kFailure) << row.name;
                EXPECT_EQ(outcome.upper, kFailure) << row.name;
                break;
            case EffectQuantity::Power:
                EXPECT_EQ(outcome.power, kFailure) << row.name;
                break;
            case EffectQuantity::SampleSize:
                EXPECT_EQ(outcome.n, static_cast<int>(kFailure)) << row.name;
                EXPECT_EQ(outcome.power, kFailure) << row.name;
                break;
        }
    }
}

// Requests the command line would refuse as usage errors still end in a message and the
// failure value: no overflow of a size sum, no search past a limit, no NaN passed on silently.
TEST_F(Effects, AbsurdRequestsEndInAMessage) {
    constexpr int kLargest = std::numeric_limits<int>::max();
    constexpr int kSmallest = std::numeric_limits<int>::min();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const EffectRequest requests[] = {
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::Power,
         .effect = 0.5,
         .n1 = kLargest,
         .n2 = kLargest},
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::Power,
         .effect = 0.5,
         .n1 = 10,
         .n2 = -10},
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::Power,
         .effect = 0.5,
         .n = 20,
         .alpha = nan},
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::SampleSize,
         .effect = 1e10},
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::SampleSize,
         .effect = std::numeric_limits<double>::infinity()},
        {.distribution = DistributionKind::T,
         .quantity = EffectQuantity::SampleSize,
         .effect = 0.5,
         .power = nan},
        {.distribution = DistributionKind::F,
         .quantity = EffectQuantity::SampleSize,
         .effect = 0.15,
         .df1 = kLargest},
        {.distribution = DistributionKind::F,
         .quantity = EffectQuantity::SampleSize,
         .effect = 0.15,
         .df1 = kSmallest},
        {.distribution = DistributionKind::F,
         .quantity = EffectQuantity::SampleSize,
         .effect = 0.15,
         .df1 = 3,
         .alpha = 2.0},
        {.distribution = DistributionKind::ChiSquare,
         .quantity = EffectQuantity::Power,
         .effect = 0.3,
         .n = kSmallest,
         .df1 = 4},
        {.distribution = DistributionKind::F,
         .measure = EffectMeasure::CohensFSquared,
         .value = 2.0,
         .df1 = 3,
         .df2 = 0},
        {.distribution = DistributionKind::T, .value = 2.0, .n1 = 5, .n2 = 0},
        {.distribution = DistributionKind::T, .value = 2.0, .n = 20, .confidence = nan},
        {.measure = EffectMeasure::CohensW, .value = -1.0, .n = 50, .df1 = 4},
    };
    for (const EffectRequest& r : requests) {
        const EffectOutcome outcome = compute(r);
        EXPECT_TRUE(outcome.failed) << describe(r);
        EXPECT_FALSE(reporter.messages.empty()) << describe(r);
    }
}

}  // namespace
}  // namespace quorvel
