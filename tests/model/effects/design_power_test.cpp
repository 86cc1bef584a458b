// The study designs' power and its questions through computeEffect, against Boost.Math with
// each design's Df and noncentrality written out here again, the equivalence power against an
// independent integral over the chi-square variable, and one published sample size.

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/tools/roots.hpp>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>

#include "model/effects/effect_request.h"
#include "model/effects/effects.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

namespace bm = boost::math;
using D = StudyDesign;

// Boost's power of the design at the request's N, effect and α.
double boostFDesignPower(const EffectRequest& r) {
    const double n = r.n, k = r.groups, m = r.measurements, e = r.epsilon, rho = r.correlation;
    const double f2 = r.effect;
    double u = k - 1, v = n - k, lambda = f2 * n;
    switch (r.design) {
        case D::Factorial:
            u = r.df1;
            v = n - r.cells;
            break;
        case D::Ancova:
            v = n - k - r.covariates;
            break;
        case D::RmWithin:
            u = (m - 1) * e;
            v = (n - k) * (m - 1) * e;
            lambda = f2 * n * m * e / (1 - rho);
            break;
        case D::RmInteraction:
            u = (k - 1) * (m - 1) * e;
            v = (n - k) * (m - 1) * e;
            lambda = f2 * n * m * e / (1 - rho);
            break;
        case D::RmBetween:
            lambda = f2 * n * m / (1 + (m - 1) * rho);
            break;
        case D::Regression:
        case D::R2Change:
            u = r.design == D::Regression ? r.predictors : r.tested;
            v = n - r.predictors - 1;
            break;
        default:
            break;
    }
    const double critical =
        bm::quantile(bm::complement(bm::fisher_f_distribution<double>(u, v), r.alpha));
    return bm::cdf(bm::complement(bm::non_central_f_distribution<double>(u, v, lambda), critical));
}

double boostRmseaPower(const EffectRequest& r) {
    const double scale = (r.n - 1.0) * r.df1;
    const double lambda0 = scale * r.rmsea0 * r.rmsea0;
    const bm::non_central_chi_squared_distribution<double> effect(r.df1,
                                                                  scale * r.effect * r.effect);
    if (r.effect < r.rmsea0) {
        const double critical =
            bm::quantile(bm::non_central_chi_squared_distribution<double>(r.df1, lambda0), r.alpha);
        return bm::cdf(effect, critical);
    }
    const double critical =
        lambda0 == 0.0
            ? bm::quantile(bm::complement(bm::chi_squared_distribution<double>(r.df1), r.alpha))
            : bm::quantile(bm::complement(
                  bm::non_central_chi_squared_distribution<double>(r.df1, lambda0), r.alpha));
    return bm::cdf(bm::complement(effect, critical));
}

// TOST power over X = ν·s² ~ χ²_ν: both tests reject when |D̂ ∓ M| exceeds t·k·√(X/ν) on the
// right side, D̂ ~ N(d, k²).
double boostEquivalencePower(const EffectRequest& r) {
    const bool two = r.n1 > 0;
    const double nu = two ? r.n1 + r.n2 - 2.0 : r.n - 1.0;
    const double k = two ? std::sqrt(1.0 / r.n1 + 1.0 / r.n2) : 1.0 / std::sqrt(double(r.n));
    const double t = bm::quantile(bm::complement(bm::students_t_distribution<double>(nu), r.alpha));
    const bm::chi_squared_distribution<double> chi(nu);
    const bm::normal_distribution<double> mean(r.effect, k);
    const double xMax = t > 0 ? nu * std::pow(r.margin / (t * k), 2) : INFINITY;
    auto integrand = [&](double x) {
        const double half = r.margin - t * k * std::sqrt(x / nu);
        return half > 0 ? (bm::cdf(mean, half) - bm::cdf(mean, -half)) * bm::pdf(chi, x) : 0.0;
    };
    // Split where the chi-square mass lies, so the rule sees it at every ν.
    const double spread = 12.0 * std::sqrt(2.0 * nu);
    const double lo = std::max(0.0, nu - spread), hi = std::min(xMax, nu + spread + 40.0);
    if (!(hi > lo)) {
        return 0.0;
    }
    return bm::quadrature::gauss_kronrod<double, 61>::integrate(integrand, lo, hi, 15, 1e-14);
}

// Today's t test with d: δ = d·√(N1·N2/(N1 + N2)) or d·√N.
double boostTPower(const EffectRequest& r) {
    const bool two = r.n1 > 0;
    const double nu = two ? r.n1 + r.n2 - 2.0 : r.n - 1.0;
    const double delta =
        r.effect * (two ? std::sqrt(double(r.n1) * r.n2 / (r.n1 + r.n2)) : std::sqrt(double(r.n)));
    const double critical =
        bm::quantile(bm::complement(bm::students_t_distribution<double>(nu), r.alpha / r.sides));
    const bm::non_central_t_distribution<double> t(nu, delta);
    return bm::cdf(bm::complement(t, critical)) + (r.sides == 2 ? bm::cdf(t, -critical) : 0.0);
}

// Today's F and chi-square tests: λ = f²·(U + V + 1) and λ = N·w².
double boostBasicPower(const EffectRequest& r) {
    if (r.distribution == DistributionKind::T) {
        return boostTPower(r);
    }
    if (r.distribution == DistributionKind::F) {
        const double critical =
            bm::quantile(bm::complement(bm::fisher_f_distribution<double>(r.df1, r.df2), r.alpha));
        const double lambda = r.effect * (r.df1 + r.df2 + 1.0);
        return bm::cdf(
            bm::complement(bm::non_central_f_distribution<double>(r.df1, r.df2, lambda), critical));
    }
    const double critical =
        bm::quantile(bm::complement(bm::chi_squared_distribution<double>(r.df1), r.alpha));
    return bm::cdf(bm::complement(
        bm::non_central_chi_squared_distribution<double>(r.df1, r.n * r.effect * r.effect),
        critical));
}

double boostPower(const EffectRequest& r) {
    if (r.design == D::Basic) {
        return boostBasicPower(r);
    }
    if (r.design == D::Rmsea) {
        return boostRmseaPower(r);
    }
    if (r.design == D::Equivalence) {
        return boostEquivalencePower(r);
    }
    return boostFDesignPower(r);
}

EffectRequest fDesign(D design, double f2, int n) {
    return {.distribution = DistributionKind::F,
            .quantity = EffectQuantity::Power,
            .effect = f2,
            .n = n,
            .design = design};
}

// One row of each design, sizes filled in by the table below.
std::vector<EffectRequest> designTable() {
    std::vector<EffectRequest> rows;
    auto add = [&rows](EffectRequest r, auto fill) {
        fill(r);
        rows.push_back(r);
    };
    add(fDesign(D::Anova, 0.0625, 80), [](auto& r) { r.groups = 4; });
    add(fDesign(D::Anova, 0.0225, 300), [](auto& r) { r.groups = 5, r.alpha = 0.01; });
    add(fDesign(D::Factorial, 0.04, 120), [](auto& r) { r.cells = 6, r.df1 = 2; });
    add(fDesign(D::Ancova, 0.0625, 60), [](auto& r) { r.groups = 3, r.covariates = 2; });
    add(fDesign(D::RmWithin, 0.0625, 20),
        [](auto& r) { r.groups = 1, r.measurements = 4, r.correlation = 0.5, r.epsilon = 0.7; });
    add(fDesign(D::RmWithin, 0.01, 40),
        [](auto& r) { r.groups = 2, r.measurements = 3, r.correlation = -0.2; });
    add(fDesign(D::RmBetween, 0.0625, 60),
        [](auto& r) { r.groups = 3, r.measurements = 3, r.correlation = 0.5; });
    add(fDesign(D::RmInteraction, 0.04, 45),
        [](auto& r) { r.groups = 3, r.measurements = 4, r.correlation = 0.6, r.epsilon = 0.75; });
    add(fDesign(D::Regression, 0.1 / 0.9, 100), [](auto& r) { r.predictors = 5; });
    add(fDesign(D::R2Change, 0.05 / 0.85, 100), [](auto& r) { r.predictors = 5, r.tested = 2; });
    EffectRequest rmsea{.distribution = DistributionKind::ChiSquare,
                        .quantity = EffectQuantity::Power,
                        .effect = 0.08,
                        .n = 200,
                        .df1 = 50,
                        .design = D::Rmsea,
                        .rmsea0 = 0.05};
    rows.push_back(rmsea);
    add(rmsea, [](auto& r) { r.effect = 0.01; });  // not-close fit
    add(rmsea, [](auto& r) { r.effect = 0.05, r.rmsea0 = 0.0, r.df1 = 20, r.n = 300; });
    // A power of 1 to 1e-14, where the family's tail at large λ overshoots 1 unless held.
    add(rmsea, [](auto& r) { r.effect = 0.02, r.rmsea0 = 0.08, r.df1 = 192, r.n = 1268; });
    EffectRequest tost{.distribution = DistributionKind::T,
                       .quantity = EffectQuantity::Power,
                       .effect = 0.0,
                       .n1 = 50,
                       .n2 = 50,
                       .design = D::Equivalence,
                       .margin = 0.5};
    rows.push_back(tost);
    add(tost, [](auto& r) { r.effect = 0.1, r.margin = 0.3, r.n1 = 0, r.n2 = 0, r.n = 40; });
    add(tost, [](auto& r) { r.effect = -0.2, r.margin = 1.0, r.n1 = 10, r.n2 = 15; });
    add(tost, [](auto& r) { r.effect = 0.05, r.margin = 0.1, r.n1 = 2000, r.n2 = 2500; });
    add(tost, [](auto& r) { r.effect = 0.3, r.margin = 0.5, r.n1 = 3, r.n2 = 3, r.alpha = 0.1; });
    return rows;
}

std::string describe(const EffectRequest& r) {
    return "design " + std::to_string(static_cast<int>(r.design)) + " n " + std::to_string(r.n) +
           " n1 " + std::to_string(r.n1) + " effect " + std::to_string(r.effect) + " alpha " +
           std::to_string(r.alpha);
}

class DesignPower : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};

    EffectOutcome answered(const EffectRequest& request) {
        reporter.messages.clear();
        const EffectOutcome outcome = computeEffect(calculators, request);
        EXPECT_FALSE(outcome.failed)
            << describe(request) << ": " << (outcome.messages.empty() ? "" : outcome.messages[0]);
        return outcome;
    }
};

constexpr double kPowerTolerance = 1e-8;
constexpr double kSearchTolerance = 1e-7;  // relative, of a sensitivity's effect or an α

TEST_F(DesignPower, EveryDesignMatchesBoost) {
    double worst = 0.0;
    for (const EffectRequest& r : designTable()) {
        const double ours = answered(r).power;
        const double reference = boostPower(r);
        worst = std::max(worst, std::fabs(ours - reference));
        EXPECT_NEAR(ours, reference, kPowerTolerance) << describe(r);
        EXPECT_TRUE(ours >= 0.0 && ours <= 1.0) << ours << " " << describe(r);
    }
    std::cout << "largest power difference from Boost: " << worst << "\n";
}

// N reaches the target and N − 1 does not (by Boost's power), for every design.
TEST_F(DesignPower, SampleSizeIsTheSmallestReachingTheTarget) {
    for (EffectRequest r : designTable()) {
        r.quantity = EffectQuantity::SampleSize;
        r.power = 0.8;
        r.groups = r.design == D::Equivalence ? (r.n1 > 0 ? 2 : 1) : r.groups;
        if (r.design == D::Equivalence && std::fabs(r.effect) >= r.margin) {
            continue;
        }
        const EffectOutcome found = answered(r);
        EffectRequest at = r;
        auto powerAt = [&](int n) {
            at.n = n;
            at.n1 = at.n2 = r.design == D::Equivalence && r.groups == 2 ? n : 0;
            return boostPower(at);
        };
        EXPECT_GE(powerAt(found.n), 0.8) << describe(r);
        EXPECT_LT(powerAt(found.n - 1), 0.8) << describe(r);
        EXPECT_NEAR(found.power, powerAt(found.n), kPowerTolerance) << describe(r);
    }
}

// Sensitivity's effect, criterion's α and compromise's α, each against Boost's own root.
TEST_F(DesignPower, SensitivityCriterionAndCompromiseMatchBoostsRoots) {
    double worst = 0.0;
    std::vector<EffectRequest> table = designTable();
    const EffectRequest tTest{.distribution = DistributionKind::T,
                              .quantity = EffectQuantity::Power,
                              .effect = 0.5,
                              .n1 = 20,
                              .n2 = 25};
    table.push_back(tTest);
    table.push_back({.distribution = DistributionKind::T,
                     .quantity = EffectQuantity::Power,
                     .effect = 0.3,
                     .n = 30,
                     .sides = 1});
    table.push_back({.distribution = DistributionKind::F,
                     .quantity = EffectQuantity::Power,
                     .effect = 0.15,
                     .df1 = 3,
                     .df2 = 40});
    table.push_back({.distribution = DistributionKind::ChiSquare,
                     .quantity = EffectQuantity::Power,
                     .effect = 0.3,
                     .n = 100,
                     .df1 = 4});
    for (const EffectRequest& base : table) {
        if (boostPower(base) > 0.99) {
            continue;  // past every target already at the smallest alpha: no alpha to find
        }
        // A not-close fit at N 200 reaches at most .646 (at RMSEA1 = 0).
        const bool notClose = base.design == D::Rmsea && base.effect < base.rmsea0;
        const double target = notClose ? 0.5 : 0.8;
        auto root = [&](auto residual, double lo, double hi) {
            std::uintmax_t iterations = 200;
            const auto [a, b] = bm::tools::toms748_solve(
                residual, lo, hi, bm::tools::eps_tolerance<double>(50), iterations);
            return (a + b) / 2;
        };
        auto check = [&](double ours, double reference, const char* what) {
            worst = std::max(worst, std::fabs(ours / reference - 1));
            EXPECT_NEAR(ours / reference, 1.0, kSearchTolerance) << what << " " << describe(base);
        };
        EffectRequest r = base;
        r.question = PowerQuestion::Sensitivity;
        r.power = target;
        // An equivalence sensitivity searches the margin from |d| up, a not-close fit's
        // (alternative less) RMSEA1 from RMSEA0 down.
        const bool margin = base.design == D::Equivalence;
        r.alternative = notClose ? Alternative::Less : Alternative::TwoSided;
        const double effect = answered(r).effect;
        const double lo = margin                    ? std::fabs(base.effect) + 1e-9
                          : notClose                ? 1e-9
                          : base.design == D::Rmsea ? std::max(base.rmsea0, 1e-9)
                                                    : 1e-9;
        check(effect,
              root(
                  [&](double e) {
                      EffectRequest v = base;
                      (margin ? v.margin : v.effect) = e;
                      return boostPower(v) - target;
                  },
                  lo, notClose ? base.rmsea0 - 1e-9 : 10.0 * effect),
              "sensitivity");
        EffectRequest a = base;
        a.question = PowerQuestion::Criterion;
        a.power = std::min(0.95, boostPower(base) + 0.1);
        auto powerAtAlpha = [&](double alpha) {
            EffectRequest v = base;
            v.alpha = alpha;
            return boostPower(v);
        };
        check(answered(a).alpha,
              root([&](double alpha) { return powerAtAlpha(alpha) - a.power; }, 1e-4, 0.999),
              "criterion");
        EffectRequest c = base;
        c.question = PowerQuestion::Compromise;
        c.ratio = 2.0;
        const EffectOutcome compromise = answered(c);
        check((1 - powerAtAlpha(compromise.alpha)) / compromise.alpha, c.ratio, "beta/alpha");
        EXPECT_NEAR(compromise.power, powerAtAlpha(compromise.alpha), kPowerTolerance);
    }
    std::cout << "largest relative difference from Boost's roots: " << worst << "\n";
}

// pwr's one-way example (k = 4, f = .25, α = .05, power .8): n = 44.59927 per group, so the
// smallest whole total is 179.
TEST_F(DesignPower, PublishedOneWayAnovaSampleSize) {
    EffectRequest r = fDesign(D::Anova, 0.0625, 0);
    r.quantity = EffectQuantity::SampleSize;
    r.groups = 4;
    EXPECT_EQ(answered(r).n, 179);
}

// A request without an answer ends in a message saying why, never a number.
TEST_F(DesignPower, UnanswerableRequestsSayWhy) {
    EffectRequest outside{.distribution = DistributionKind::T,
                          .quantity = EffectQuantity::SampleSize,
                          .effect = 0.6,
                          .design = D::Equivalence,
                          .margin = 0.5};
    EffectRequest atSmallest = fDesign(D::Anova, 100.0, 0);
    atSmallest.quantity = EffectQuantity::SampleSize;
    atSmallest.groups = 2;
    // Real Df: (N − 2)·3·0.7 has its first positive value at N = 3.
    EffectRequest scaledSmallest = fDesign(D::RmInteraction, 4.0, 0);
    scaledSmallest.quantity = EffectQuantity::SampleSize;
    scaledSmallest.groups = 2;
    scaledSmallest.measurements = 4;
    scaledSmallest.correlation = 0.5;
    scaledSmallest.epsilon = 0.7;
    EffectRequest wrongSign{.distribution = DistributionKind::T,
                            .quantity = EffectQuantity::Power,
                            .effect = -0.5,
                            .n = 20,
                            .sides = 1,
                            .question = PowerQuestion::Compromise};
    EffectRequest strongAlready = fDesign(D::Anova, 1.0, 100);
    strongAlready.groups = 3;
    strongAlready.question = PowerQuestion::Criterion;
    EffectRequest sameRmsea{.distribution = DistributionKind::ChiSquare,
                            .quantity = EffectQuantity::SampleSize,
                            .effect = 0.05,
                            .df1 = 10,
                            .design = D::Rmsea,
                            .rmsea0 = 0.05};
    const struct {
        EffectRequest request;
        const char* why;
    } cases[] = {
        {outside, "outside the equivalence margins"}, {atSmallest, "already at N = 3"},
        {scaledSmallest, "already at N = 3"},         {wrongSign, "contradicts the one-sided test"},
        {strongAlready, "already at alpha = 0.0001"}, {sameRmsea, "equal to RMSEA0"}};
    for (const auto& c : cases) {
        const EffectOutcome outcome = computeEffect(calculators, c.request);
        EXPECT_TRUE(outcome.failed) << c.why;
        ASSERT_EQ(outcome.messages.size(), 1u) << c.why;
        EXPECT_NE(outcome.messages[0].find(c.why), std::string::npos) << outcome.messages[0];
    }
}

// Each design's texts read back as the same request and the same answer, for the power and
// for a sensitivity (whose searched effect the texts leave out).
TEST_F(DesignPower, TextsReadBackAsTheSameRequest) {
    const EffectNamer name = [](EffectInput input) { return std::string(effectInputName(input)); };
    std::vector<EffectRequest> table = designTable();
    for (EffectRequest r : designTable()) {
        r.question = PowerQuestion::Sensitivity;
        (r.design == D::Equivalence ? r.margin : r.effect) = 0.0;
        table.push_back(r);
    }
    for (EffectRequest r : table) {
        const EffectCommand* command = effectCommandFor(r);
        ASSERT_NE(command, nullptr);
        auto again = effectRequestFrom(*command, effectTextsOf(*command, r), name);
        ASSERT_TRUE(std::holds_alternative<EffectRequest>(again))
            << std::get<std::string>(again) << " " << describe(r);
        const EffectRequest& read = std::get<EffectRequest>(again);
        EXPECT_EQ(designFormula(read), designFormula(r));
        EXPECT_EQ(read.effect, r.effect) << describe(r);
        EXPECT_EQ(read.question, r.question) << describe(r);
        EXPECT_EQ(computeEffect(calculators, read).effect, computeEffect(calculators, r).effect)
            << describe(r);
        EXPECT_EQ(computeEffect(calculators, read).power, computeEffect(calculators, r).power)
            << describe(r);
    }
}

}  // namespace
}  // namespace quorvel
