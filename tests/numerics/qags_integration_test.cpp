#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "numerics/foundations/integration/qags.h"

namespace quorvel {
namespace {

constexpr int kLimit = 50;

// One integration with a workspace of kLimit subintervals, which keeps the subdivision.
struct Integration : QagsResult {
    QagsWorkspace<kLimit> workspace;

    Integration(QagsIntegrand f, void* data, double a, double b, double epsabs, double epsrel,
                int limit = kLimit) {
        QagsResult::operator=(integrateQags(f, data, a, b, epsabs, epsrel, limit, workspace));
    }
};

// An integrand parameter and a count of the evaluations made.
struct Counted {
    double alpha = 0.0;
    int evaluations = 0;
    int failAtEvaluation = -1;
};

// x^α log(1/x), whose integral over [0, 1] is 1/(α+1)².
double powerLog(double x, void* data, int& errorFlag) {
    auto& counted = *static_cast<Counted*>(data);
    ++counted.evaluations;
    errorFlag = 0;
    return std::pow(x, counted.alpha) * std::log(1.0 / x);
}

// log(1/x)^(α−1), whose integral over [1, b] for α = 2 is −(b log b − b + 1).
double logPower(double x, void* data, int& errorFlag) {
    auto& counted = *static_cast<Counted*>(data);
    ++counted.evaluations;
    errorFlag = 0;
    return std::pow(std::log(1.0 / x), counted.alpha - 1.0);
}

// Raises its flag on the given evaluation (counting from 1).
double failingIntegrand(double x, void* data, int& errorFlag) {
    auto& counted = *static_cast<Counted*>(data);
    ++counted.evaluations;
    errorFlag = counted.evaluations == counted.failAtEvaluation ? 1 : 0;
    return std::exp(-x * x);
}

// The published QUADPACK outputs below (result, error, evaluations, subintervals) are those of
// the original Fortran routines as the GNU Scientific Library's test suite records them.
TEST(KronrodRuleTest, ReproducesThePublishedRuleOnSmoothAndSingularIntegrands) {
    struct Case {
        double alpha;
        double result;
        double abserr;
        double resasc;
    };
    const std::vector<Case> cases{
        {2.6, 7.716049379303084599E-02, 9.424302194248481445E-08, 4.434311425038358484E-02},
        {-0.9, 1.799045317938126232E+01, 2.782360287710622515E+01, 2.782360287710622515E+01},
    };
    for (const Case& c : cases) {
        for (const bool reversed : {false, true}) {
            Counted counted{c.alpha};
            double result = 0.0;
            double abserr = 0.0;
            double resabs = 0.0;
            double resasc = 0.0;
            int flag = -1;
            const double a = reversed ? 1.0 : 0.0;
            kronrod21(powerLog, &counted, a, 1.0 - a, result, abserr, resabs, resasc, flag);
            const double sign = reversed ? -1.0 : 1.0;
            EXPECT_NEAR(result, sign * c.result, 1e-15 * std::fabs(c.result)) << c.alpha;
            EXPECT_NEAR(abserr, c.abserr, 1e-7 * c.abserr) << c.alpha;
            EXPECT_NEAR(resabs, c.result, 1e-15 * std::fabs(c.result)) << c.alpha;
            EXPECT_NEAR(resasc, c.resasc, 1e-14 * c.resasc) << c.alpha;
            EXPECT_EQ(flag, 0);
            EXPECT_EQ(counted.evaluations, 21);
        }
    }
}

TEST(IntegrateQagsTest, ReproducesThePublishedSubdivisionOfASmoothIntegrand) {
    Counted counted{2.6};
    const Integration run(powerLog, &counted, 0.0, 1.0, 0.0, 1e-10);
    EXPECT_NEAR(run.result, 7.716049382715789440E-02, 1e-16);
    EXPECT_NEAR(run.result, 1.0 / (3.6 * 3.6), 1e-10 / (3.6 * 3.6));
    EXPECT_NEAR(run.abserr, 2.216394961010438404E-12, 1e-17);
    EXPECT_EQ(run.ier, 0);
    EXPECT_EQ(run.last, 5);
    EXPECT_EQ(run.neval, 189);
    EXPECT_EQ(counted.evaluations, 189);
    const std::vector<double> left{0.0, 0.5, 0.25, 0.125, 0.0625};
    const std::vector<double> right{0.0625, 1.0, 0.5, 0.25, 0.125};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(run.workspace.alist[i], left[i]) << i;
        EXPECT_EQ(run.workspace.blist[i], right[i]) << i;
        EXPECT_EQ(run.workspace.iord[i], i);
    }
}

TEST(IntegrateQagsTest, ReproducesThePublishedRunWithAnAbsoluteToleranceBothWays) {
    for (const bool reversed : {false, true}) {
        Counted counted{2.0};
        const double a = reversed ? 1000.0 : 1.0;
        const Integration run(logPower, &counted, a, 1001.0 - a, 1e-7, 0.0);
        const double exact = -(1000.0 * std::log(1000.0) - 999.0);
        EXPECT_NEAR(run.result, reversed ? -exact : exact, 1e-11 * std::fabs(exact));
        EXPECT_NEAR(run.abserr, 1.299646281053874554E-10, 1e-3 * 1.3e-10);
        EXPECT_EQ(run.ier, 0);
        EXPECT_EQ(run.last, 9);
        EXPECT_EQ(run.neval, 357);
        EXPECT_EQ(counted.evaluations, 357);
    }
}

TEST(IntegrateQagsTest, IntegratesKnownFunctionsToTheRequestedAccuracy) {
    struct Case {
        const char* name;
        QagsIntegrand f;
        double a;
        double b;
        double exact;
    };
    const std::vector<Case> cases{
        {"cubic",
         [](double x, void*, int& flag) {
             flag = 0;
             return x * x * x - 2.0 * x + 1.0;
         },
         0.0, 2.0, 2.0},
        {"exp",
         [](double x, void*, int& flag) {
             flag = 0;
             return std::exp(x);
         },
         0.0, 1.0, std::numbers::e - 1.0},
        {"peak at 0.3",
         [](double x, void*, int& flag) {
             flag = 0;
             return 1.0 / ((x - 0.3) * (x - 0.3) + 1e-4);
         },
         0.0, 1.0, 100.0 * (std::atan(70.0) + std::atan(30.0))},
        // Needs the epsilon extrapolation: the integrand is unbounded at 0.
        {"log(x)/sqrt(x)",
         [](double x, void*, int& flag) {
             flag = 0;
             return std::log(x) / std::sqrt(x);
         },
         0.0, 1.0, -4.0},
    };
    for (const Case& c : cases) {
        const Integration run(c.f, nullptr, c.a, c.b, 0.0, 1e-12, 20);
        EXPECT_EQ(run.ier, 0) << c.name;
        EXPECT_NEAR(run.result, c.exact, 1e-12 * std::fabs(c.exact)) << c.name;
        EXPECT_LE(std::fabs(run.result - c.exact), run.abserr + 1e-15) << c.name;
        EXPECT_EQ(run.neval, 42 * run.last - 21) << c.name;
        const Integration reversed(c.f, nullptr, c.b, c.a, 0.0, 1e-12, 20);
        EXPECT_EQ(reversed.result, -run.result) << c.name;
        EXPECT_EQ(reversed.neval, run.neval) << c.name;
    }
}

TEST(IntegrateQagsTest, AnEmptyIntervalGivesZeroAfterOneRule) {
    Counted counted{2.6};
    const Integration run(powerLog, &counted, 0.5, 0.5, 1e-12, 1e-12);
    EXPECT_EQ(run.result, 0.0);
    EXPECT_EQ(run.abserr, 0.0);
    EXPECT_EQ(run.ier, 0);
    EXPECT_EQ(run.last, 1);
    EXPECT_EQ(run.neval, 21);
}

TEST(IntegrateQagsTest, ARaisedIntegrandFlagStopsAtOnceWithCode99) {
    for (const int failAt : {1, 2, 21, 22, 60}) {
        Counted counted;
        counted.failAtEvaluation = failAt;
        const Integration run(failingIntegrand, &counted, -3.0, 3.0, 0.0, 1e-13);
        EXPECT_EQ(run.ier, kQagsIntegrandFailed) << failAt;
        EXPECT_EQ(counted.evaluations, failAt);
    }
}

TEST(IntegrateQagsTest, ReportsInvalidInputAndAnExhaustedSubintervalLimit) {
    auto peak = [](double x, void*, int& flag) {
        flag = 0;
        return 1.0 / ((x - 0.3) * (x - 0.3) + 1e-4);
    };
    EXPECT_EQ(Integration(peak, nullptr, 0.0, 1.0, 0.0, 1e-20).ier, 6);
    EXPECT_EQ(Integration(peak, nullptr, 0.0, 1.0, -1.0, 1e-14).ier, 6);
    EXPECT_EQ(Integration(peak, nullptr, 0.0, 1.0, 1e-12, 1e-12, 0).ier, 6);
    // A limit above the workspace's capacity is refused instead of overrunning it.
    EXPECT_EQ(Integration(peak, nullptr, 0.0, 1.0, 1e-12, 1e-12, kLimit + 1).ier, 6);

    const Integration limited(peak, nullptr, 0.0, 1.0, 1e-12, 1e-12, 3);
    EXPECT_EQ(limited.ier, 1);
    EXPECT_EQ(limited.last, 3);
    EXPECT_EQ(limited.neval, 105);
    const Integration single(peak, nullptr, 0.0, 1.0, 1e-12, 1e-12, 1);
    EXPECT_EQ(single.ier, 1);
    EXPECT_EQ(single.neval, 21);
}

TEST(OrderErrorsTest, KeepsTheErrorsInDecreasingOrderAsSubintervalsAreAdded) {
    // Simulates bisections: the interval with the largest error is split and its two halves get
    // new errors; the order must stay a decreasing permutation of all intervals.
    const std::vector<double> newErrors{0.9, 0.05, 0.5, 0.6,  0.01, 0.3,  0.7,  0.02, 0.4,
                                        0.2, 0.15, 0.8, 0.03, 0.35, 0.25, 0.45, 0.06, 0.55};
    constexpr int limit = 30;
    std::array<double, limit> elist{};
    std::array<int, limit> iord{};
    elist[0] = 1.0;
    iord[0] = 0;
    int maxerr = 0;
    int nrmax = 0;
    double ermax = elist[0];
    std::size_t next = 0;
    for (int last = 2; last <= 10; ++last) {
        // As the driver does, the half with the larger error takes the bisected position.
        const double first = newErrors[next++];
        const double second = newErrors[next++];
        elist[maxerr] = std::max(first, second);
        elist[last - 1] = std::min(first, second);
        orderErrors(limit, last, maxerr, ermax, elist, iord, nrmax);
        std::vector<bool> seen(last, false);
        for (int i = 0; i < last; ++i) {
            ASSERT_GE(iord[i], 0);
            ASSERT_LT(iord[i], last);
            seen[iord[i]] = true;
            if (i > 0) {
                EXPECT_GE(elist[iord[i - 1]], elist[iord[i]]) << "last " << last << " pos " << i;
            }
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), last);
        EXPECT_EQ(maxerr, iord[0]);
        EXPECT_EQ(ermax, elist[maxerr]);
    }
}

TEST(EpsilonExtrapolateTest, AcceleratesTheAlternatingHarmonicSeriesToLog2) {
    std::array<double, kEpsilonTableSize> table{};
    std::array<double, 3> lastResults{};
    int nres = 0;
    int n = 0;
    double partialSum = 0.0;
    double result = 0.0;
    double abserr = 0.0;
    for (int k = 1; k <= 20; ++k) {
        partialSum += (k % 2 == 1 ? 1.0 : -1.0) / k;
        table[n] = partialSum;
        ++n;
        epsilonExtrapolate(n, table, result, abserr, lastResults, nres);
    }
    // The partial sum itself is still 0.02 away; the extrapolation is exact to rounding.
    EXPECT_NEAR(result, std::numbers::ln2, 1e-14);
    EXPECT_LT(abserr, 1e-12);
    EXPECT_EQ(nres, 20);
}

}  // namespace
}  // namespace quorvel
