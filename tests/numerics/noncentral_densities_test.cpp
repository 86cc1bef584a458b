#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/t/noncentral_t.h"
#include "tests/support/boost_oracle.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

// Each family's density against Boost's over a grid, as a fraction of the curve's maximum: the
// F and chi-square mixtures agree with Boost's to a few rounding errors (the bound leaves room
// over the measured worst figures given at each test), the t density to what Boost's own t
// density reaches at large δ; the 40-digit reference tables hold all three to 1e-13 relative.
constexpr double kMixtureOfMaximum = 1e-13;
constexpr double kTOfMaximum = 5e-8;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::string formatError(double error) {
    std::ostringstream text;
    text.precision(2);
    text << std::scientific << error;
    return text.str();
}

// The worst |ours − reference| over a grid of x, as a fraction of the largest reference value on
// it. The grid spans the 0.0005 to 0.9995 quantiles of the reference, the range a plot shows.
struct CurveComparison {
    double worst = 0.0;
    std::string where;
};

// The reference distribution as the comparison reads it: its quantile and its density.
struct Reference {
    std::function<double(double)> quantile;
    std::function<double(double)> pdf;
};

void compareCurve(
    const Reference& reference, const std::function<double(double)>& ours, const std::string& label,
    CurveComparison& comparison,
    double tolerance, const std::function<bool(double)>& skip = [](double) { return false; }) {
    constexpr int kPoints = 60;
    const double low = reference.quantile(0.0005);
    const double high = reference.quantile(0.9995);
    double maximum = 0.0;
    double worstHere = 0.0;
    double worstX = low;
    for (int i = 0; i <= kPoints; ++i) {
        const double x = low + (high - low) * i / kPoints;
        if (skip(x)) {
            continue;
        }
        const double expected = reference.pdf(x);
        const double got = ours(x);
        maximum = std::max(maximum, expected);
        if (std::fabs(got - expected) > worstHere) {
            worstHere = std::fabs(got - expected);
            worstX = x;
        }
    }
    ASSERT_GT(maximum, 0.0) << label;
    const double relative = worstHere / maximum;
    EXPECT_LE(relative, tolerance) << label << " at x " << worstX;
    if (relative >= comparison.worst) {
        comparison.worst = relative;
        comparison.where = label + " x " + std::to_string(worstX);
    }
}

// ∫ₐᵇ f by Simpson's rule; its error falls as the fourth power of the step (400 intervals left
// 9e-8 for F(20, 8; λ 60) over [0.5, 40], 2000 leave it below 2e-9).
double simpson(const std::function<double(double)>& f, double a, double b, int intervals) {
    const double h = (b - a) / intervals;
    double sum = f(a) + f(b);
    for (int i = 1; i < intervals; ++i) {
        sum += (i % 2 == 0 ? 2.0 : 4.0) * f(a + i * h);
    }
    return sum * h / 3.0;
}

class NoncentralDensityTest : public ::testing::Test {
  protected:
    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    NoncentralF& f = calculators.f();
    NoncentralT& t = calculators.t();
    NoncentralChiSquare& chiSquare = calculators.chiSquare();
};

TEST_F(NoncentralDensityTest, ReproducesTheCommandLineCheckValues) {
    EXPECT_NEAR(f.pdf(2.0, 3, 10, 5.0), 0.22256695, 5e-9);
    EXPECT_NEAR(t.pdf(2.0, 10, 1.5), 0.31460592, 5e-9);
    EXPECT_NEAR(chiSquare.pdf(5.0, 4, 3.0), 0.10282294, 5e-9);
    EXPECT_TRUE(reporter.messages.empty());
}

// Boost.Math sums the F mixture as noncentral beta densities from the Poisson mode to full
// double precision. The grid reaches Df 10000 and λ 10000 (the accepted limits), where the
// terms' logarithms are in the tens of thousands. Measured worst: 7.2e-15 of the maximum.
TEST_F(NoncentralDensityTest, FAgreesWithBoostOverDfAndLambda) {
    CurveComparison comparison;
    for (int df1 : {1, 2, 3, 10, 100, 10000}) {
        for (int df2 : {1, 2, 5, 30, 10000}) {
            for (double lambda : {0.0, 0.5, 7.0, 200.0, 10000.0}) {
                const Reference reference{
                    [&](double p) { return oracle::noncentralFQuantile(p, df1, df2, lambda); },
                    [&](double x) { return oracle::noncentralFPdf(x, df1, df2, lambda); }};
                compareCurve(
                    reference, [&](double x) { return f.pdf(x, df1, df2, lambda); },
                    "df1 " + std::to_string(df1) + " df2 " + std::to_string(df2) + " lambda " +
                        std::to_string(lambda),
                    comparison, kMixtureOfMaximum);
            }
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_of_maximum", formatError(comparison.worst));
    RecordProperty("worst_case", comparison.where);
}

// Measured worst: 2.9e-15 of the maximum (Df 2, λ 5000).
TEST_F(NoncentralDensityTest, ChiSquareAgreesWithBoostOverDfAndLambda) {
    CurveComparison comparison;
    for (int df : {1, 2, 3, 10, 1000, 100000}) {
        for (double lambda : {0.0, 0.5, 7.0, 200.0, 5000.0}) {
            const Reference reference{
                [&](double p) { return oracle::noncentralChiSquareQuantile(p, df, lambda); },
                [&](double x) { return oracle::noncentralChiSquarePdf(x, df, lambda); }};
            compareCurve(
                reference, [&](double x) { return chiSquare.pdf(x, df, lambda); },
                "df " + std::to_string(df) + " lambda " + std::to_string(lambda), comparison,
                kMixtureOfMaximum);
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_of_maximum", formatError(comparison.worst));
    RecordProperty("worst_case", comparison.where);
}

// Boost's t density is itself off near 0 (at Df 1, δ 3, x 0.001 it gives 0.0035361 where the
// series, the relation and the slope of either library's distribution function agree on
// 0.0035494), so the grid leaves out |x| < 0.005; the next test covers that stretch. Measured
// worst elsewhere: 1.0e-8 of the maximum at Df 30, δ 5000.
TEST_F(NoncentralDensityTest, TAgreesWithBoostOverDfAndDelta) {
    CurveComparison comparison;
    for (int df : {1, 2, 3, 7, 30, 1000, 100000}) {
        for (double delta : {0.0, 1.5, -4.0, 20.0, -300.0, 5000.0}) {
            const Reference reference{
                [&](double p) { return oracle::noncentralTQuantile(p, df, delta); },
                [&](double x) { return oracle::noncentralTPdf(x, df, delta); }};
            compareCurve(
                reference, [&](double x) { return t.pdf(x, df, delta); },
                "df " + std::to_string(df) + " delta " + std::to_string(delta), comparison,
                kTOfMaximum, [](double x) { return std::fabs(x) < 0.005; });
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
    RecordProperty("worst_of_maximum", formatError(comparison.worst));
    RecordProperty("worst_case", comparison.where);
}

// Near 0, where the t density's relation to the distribution function cancels, the density must
// meet the slope of Boost's distribution function (a central difference with step 1e-4:
// truncation about 1e-9 times the third derivative, rounding 1e-12/1e-4) at and around
// |x| = 1e-4*df, and the closed form at 0.
TEST_F(NoncentralDensityTest, TNearZeroFollowsTheSlopeOfTheDistributionFunction) {
    constexpr double kStep = 1e-4;
    constexpr double kSlopeOfMaximum = 1e-7;
    for (int df : {1, 4, 25, 3000, 100000}) {
        for (double delta : {0.0, 0.8, -3.0, 9.0}) {
            const double switchPoint = 1e-4 * df;
            const double maximum =
                oracle::noncentralTPdf(oracle::noncentralTMode(df, delta), df, delta);
            for (double x : {0.0, 1e-9, -1e-6, 1e-3, -0.004, 0.7 * switchPoint, 1.3 * switchPoint,
                             -1.3 * switchPoint}) {
                const double slope = (oracle::noncentralTCdf(x + kStep, df, delta) -
                                      oracle::noncentralTCdf(x - kStep, df, delta)) /
                                     (2 * kStep);
                EXPECT_NEAR(t.pdf(x, df, delta), slope, kSlopeOfMaximum * maximum)
                    << "df " << df << " delta " << delta << " x " << x;
            }
            // Boost's own value at exactly 0 is the closed form.
            const double atZero = oracle::noncentralTPdf(0.0, df, delta);
            EXPECT_NEAR(t.pdf(0.0, df, delta), atZero, 1e-13 * atZero);
        }
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// The area under each density between two points is the difference of the family's own
// distribution function there, to the error of Simpson's rule on 2000 panels, which falls as
// the fourth power of the panel width (measured worst: 1.5e-10 for F; 1.3e-7 for chi-square and
// 2.3e-9 for t on 400 panels).
TEST_F(NoncentralDensityTest, AreaUnderTheDensityIsTheDifferenceOfTheDistributionFunction) {
    struct Case {
        double a, b;
        int df1, df2;
        double lambda;
    };
    for (const Case& c : {Case{0.2, 3.0, 3, 10, 5.0}, Case{0.5, 40.0, 20, 8, 60.0},
                          Case{900.0, 1100.0, 10, 200, 9000.0}, Case{0.05, 2.0, 2, 2, 0.0}}) {
        const double area =
            simpson([&](double x) { return f.pdf(x, c.df1, c.df2, c.lambda); }, c.a, c.b, 2000);
        EXPECT_NEAR(area,
                    f.cdf(c.b, c.df1, c.df2, c.lambda, 0) - f.cdf(c.a, c.df1, c.df2, c.lambda, 0),
                    5e-10)
            << "F " << c.df1 << " " << c.df2 << " " << c.lambda;
    }
    for (const Case& c : {Case{-3.0, 4.0, 10, 0, 1.5}, Case{-40.0, -1.0, 3, 0, -6.0},
                          Case{-0.5, 0.5, 1, 0, 0.3}, Case{4900.0, 5100.0, 100000, 0, 5000.0}}) {
        const double area =
            simpson([&](double x) { return t.pdf(x, c.df1, c.lambda); }, c.a, c.b, 2000);
        EXPECT_NEAR(area, t.cdf(c.b, c.df1, c.lambda) - t.cdf(c.a, c.df1, c.lambda), 1e-10)
            << "t " << c.df1 << " " << c.lambda;
    }
    for (const Case& c : {Case{0.5, 12.0, 4, 0, 3.0}, Case{4500.0, 5600.0, 50, 0, 5000.0},
                          Case{1.0, 30.0, 1, 0, 0.0}}) {
        const double area =
            simpson([&](double x) { return chiSquare.pdf(x, c.df1, c.lambda); }, c.a, c.b, 2000);
        EXPECT_NEAR(area, chiSquare.cdf(c.b, c.df1, c.lambda) - chiSquare.cdf(c.a, c.df1, c.lambda),
                    1e-9)
            << "chi-square " << c.df1 << " " << c.lambda;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

// λ = 0 (δ = 0) leaves only the central density: Boost's central F, t and chi-square.
TEST_F(NoncentralDensityTest, ZeroNoncentralityGivesTheCentralDensity) {
    for (double x : {0.01, 0.7, 3.0, 25.0}) {
        for (int df : {1, 2, 9, 5000}) {
            const double fExpected = oracle::fisherFPdf(x, df, 7);
            EXPECT_NEAR(f.pdf(x, df, 7, 0.0), fExpected, 1e-10 * std::max(fExpected, 1.0));
            const double tExpected = oracle::studentsTPdf(-x, df);
            EXPECT_NEAR(t.pdf(-x, df, 0.0), tExpected, 1e-10);
            const double chiExpected = oracle::chiSquarePdf(x, df);
            EXPECT_NEAR(chiSquare.pdf(x, df, 0.0), chiExpected, 1e-10 * std::max(chiExpected, 1.0));
        }
    }
}

// −T with noncentrality δ is T with −δ: f(x; δ) = f(−x; −δ), on both sides of the series'
// reach and on both branches of Owen's recursion (odd and even Df).
TEST_F(NoncentralDensityTest, TIsSymmetricUnderReflectionOfXAndDelta) {
    for (int df : {1, 2, 5, 40}) {
        for (double delta : {0.4, 2.5, -7.0}) {
            for (double x : {1e-5, 0.003, 0.8, -2.0, 11.0}) {
                const double value = t.pdf(x, df, delta);
                EXPECT_NEAR(t.pdf(-x, df, -delta), value, 1e-12 + 1e-9 * value)
                    << "df " << df << " delta " << delta << " x " << x;
            }
        }
    }
}

// At the lower end of the support each density returns its limit from the right.
TEST_F(NoncentralDensityTest, LowerEdgeOfTheSupportGivesTheLimitFromTheRight) {
    EXPECT_EQ(f.pdf(0.0, 1, 5, 2.0), kInfinity);
    EXPECT_NEAR(f.pdf(0.0, 2, 5, 2.0), std::exp(-1.0), 1e-15);
    EXPECT_NEAR(f.pdf(1e-9, 2, 5, 2.0), std::exp(-1.0), 1e-8);
    EXPECT_EQ(f.pdf(0.0, 3, 5, 2.0), 0.0);
    EXPECT_GT(f.pdf(1e-300, 1, 5, 2.0), 1e140);

    EXPECT_EQ(chiSquare.pdf(0.0, 1, 4.0), kInfinity);
    EXPECT_NEAR(chiSquare.pdf(0.0, 2, 4.0), std::exp(-2.0) / 2.0, 1e-15);
    EXPECT_NEAR(chiSquare.pdf(1e-9, 2, 4.0), std::exp(-2.0) / 2.0, 1e-9);
    EXPECT_EQ(chiSquare.pdf(0.0, 3, 4.0), 0.0);

    // Below the support, and at +∞.
    EXPECT_EQ(f.pdf(-1.0, 3, 5, 2.0), 0.0);
    EXPECT_EQ(f.pdf(kInfinity, 3, 5, 2.0), 0.0);
    EXPECT_EQ(chiSquare.pdf(kInfinity, 3, 4.0), 0.0);
    EXPECT_EQ(t.pdf(-kInfinity, 3, 4.0), 0.0);
    EXPECT_TRUE(reporter.messages.empty());
}

// Over the whole accepted ranges, far tails and x up to 1e300 included, a density is a finite
// number >= 0 (+∞ only at the edges above) and no message is shown.
TEST_F(NoncentralDensityTest, NeverNegativeOrNotANumberOnASweep) {
    const std::vector<double> xs{1e-300, 1e-12, 1e-4, 0.3, 1.0, 4.0, 90.0, 3000.0, 1e6, 1e300};
    auto expectDensity = [](double value, const std::string& where) {
        EXPECT_TRUE(std::isfinite(value) && value >= 0.0) << where << ": " << value;
    };
    for (double x : xs) {
        for (int df1 : {1, 2, 7, 10000}) {
            for (int df2 : {1, 3, 10000}) {
                for (double lambda : {0.0, 3.0, 900.0, 10000.0}) {
                    expectDensity(f.pdf(x, df1, df2, lambda),
                                  "F " + std::to_string(x) + " " + std::to_string(df1) + " " +
                                      std::to_string(df2) + " " + std::to_string(lambda));
                }
            }
        }
        for (int df : {1, 2, 7, 100000}) {
            for (double lambda : {0.0, 3.0, 900.0, 5000.0}) {
                expectDensity(chiSquare.pdf(x, df, lambda), "chi-square " + std::to_string(x) +
                                                                " " + std::to_string(df) + " " +
                                                                std::to_string(lambda));
            }
            for (double delta : {0.0, 3.0, -60.0, 5000.0, -5000.0}) {
                for (double sign : {1.0, -1.0}) {
                    expectDensity(t.pdf(sign * x, df, delta), "t " + std::to_string(sign * x) +
                                                                  " " + std::to_string(df) + " " +
                                                                  std::to_string(delta));
                }
            }
        }
    }
    EXPECT_EQ(reporter.messages, Messages{});
}

// A rejected argument shows the distribution function's message for the same arguments, sets
// `failed` and returns the failure value.
TEST_F(NoncentralDensityTest, RejectsWhatTheDistributionFunctionRejectsWithItsMessage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto expectRejected = [&](const std::function<double()>& density, const std::string& message) {
        reporter.messages.clear();
        f.failed = t.failed = chiSquare.failed = 0;
        EXPECT_EQ(density(), calculators.failureValue) << message;
        EXPECT_EQ(reporter.messages, Messages{message});
        EXPECT_EQ(f.failed + t.failed + chiSquare.failed, 1) << message;
    };
    expectRejected([&] { return f.pdf(1.0, 0, 5, 1.0); }, "Df1 out of range.");
    expectRejected([&] { return f.pdf(1.0, 3, 10001, 1.0); }, "Df2 out of range.");
    expectRejected([&] { return f.pdf(1.0, 3, 5, 10000.5); }, "Lambda out of range.");
    expectRejected([&] { return f.pdf(1.0, 3, 5, nan); }, "Lambda out of range.");
    expectRejected([&] { return t.pdf(1.0, 0, 1.0); },
                   "T distribution Df parameter out of range. Limits 1 <= Df <= 100000");
    expectRejected([&] { return t.pdf(1.0, 5, -5000.1); },
                   "T distribution parameter Delta out of range. Should have absolute value less "
                   "than or equal to 5000.");
    expectRejected([&] { return t.pdf(nan, 5, 1.0); }, "T value is not a number.");
    expectRejected([&] { return chiSquare.pdf(-0.1, 3, 1.0); }, "Chi-Square must be nonnegative.");
    expectRejected([&] { return chiSquare.pdf(1.0, 100001, 1.0); },
                   "Df out of range. Limits: 1 <= Df <= 100000.");
    expectRejected([&] { return chiSquare.pdf(1.0, 3, 5001.0); },
                   "Lambda out of range. Limits: 0. <= Lambda <= 5000.");

    // The same arguments give the same message from cdf.
    reporter.messages.clear();
    f.cdf(1.0, 0, 5, 1.0, 0);
    t.cdf(nan, 5, 1.0);
    chiSquare.cdf(-0.1, 3, 1.0);
    EXPECT_EQ(reporter.messages, (Messages{"Df1 out of range.", "T value is not a number.",
                                           "Chi-Square must be nonnegative."}));
}

}  // namespace
}  // namespace quorvel
