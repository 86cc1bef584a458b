// Randomised sweeps over the public operations of the three families, as the program calls
// them: inside the accepted ranges every result is a number, or the failure value after at
// least one message; distribution functions are probabilities and monotone; percentage points
// and intervals are consistent. Outside the ranges, and for values that are not numbers, every
// operation reports or returns a documented value. The seed is fixed, so a failure repeats.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/computation.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

constexpr std::uint64_t kSeed = 20261208;
constexpr int kSamplesPerCombination = 400;
constexpr double kFailure = -9999.0;

// Tolerances of the distribution functions: the F series stops at an absolute 1e-9; the t
// recursion inherits Φ's error, up to 2.2e-8 just beyond |z| = 4 where its tail formula takes
// over; the chi-square series is good to 1e-6 and its normal approximation to 1e-5.
double cdfTolerance(DistributionKind distribution) {
    switch (distribution) {
        case DistributionKind::F:
            return 1e-9;
        case DistributionKind::T:
            return 5e-8;
        case DistributionKind::ChiSquare:
            break;
    }
    return 2e-5;
}

std::string describe(const ComputeRequest& r) {
    std::ostringstream text;
    text.precision(17);
    text << distributionName(r.distribution) << " quantity " << static_cast<int>(r.quantity)
         << " value " << r.value << " df1 " << r.df1 << " df2 " << r.df2 << " noncentrality "
         << r.noncentrality << " cumP " << r.cumP << " confidence " << r.confidence;
    return text.str();
}

class RobustnessSweep : public ::testing::Test {
  protected:
    struct Run {
        ComputeOutcome outcome;
        std::vector<std::string> messages;
    };

    Run run(const ComputeRequest& request) {
        reporter.messages.clear();
        Run result{computeQuantity(calculators, request), {}};
        result.messages = reporter.messages;
        return result;
    }

    double logUniform(double low, double high) {
        std::uniform_real_distribution<double> exponent(std::log(low), std::log(high));
        return std::exp(exponent(random));
    }
    int degreesOfFreedom(int largest) {
        return static_cast<int>(std::lround(logUniform(1.0, largest)));
    }
    double uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    }

    // Inputs inside the ranges that the routines accept.
    ComputeRequest draw(DistributionKind distribution, QuantityKind quantity) {
        ComputeRequest r;
        r.distribution = distribution;
        r.quantity = quantity;
        r.cumP = uniform(0.0001, 0.9999);
        const double levels[] = {0.90, 0.95, 0.99};
        r.confidence = levels[random() % 3];
        switch (distribution) {
            case DistributionKind::F:
                r.df1 = degreesOfFreedom(10000);
                r.df2 = degreesOfFreedom(10000);
                r.noncentrality = random() % 4 == 0 ? 0.0 : logUniform(0.01, 10000.0);
                r.value = logUniform(0.01, 100.0);
                break;
            case DistributionKind::T:
                r.df1 = degreesOfFreedom(100000);
                r.noncentrality = uniform(-40.0, 40.0);
                r.value = uniform(-40.0, 40.0);
                break;
            case DistributionKind::ChiSquare:
                r.df1 = degreesOfFreedom(100000);
                r.noncentrality = random() % 4 == 0 ? 0.0 : logUniform(0.01, 5000.0);
                r.value = logUniform(0.01, 2.0 * (r.df1 + r.noncentrality) + 50.0);
                break;
        }
        return r;
    }

    void expectRoundTrips(QuantityKind searched, double ComputeRequest::*answer,
                          double searchTolerance);

    testing::RecordingReporter reporter;
    Calculators calculators{reporter};
    std::mt19937_64 random{kSeed};
};

constexpr DistributionKind kDistributions[] = {DistributionKind::F, DistributionKind::T,
                                               DistributionKind::ChiSquare};
constexpr QuantityKind kQuantities[] = {QuantityKind::CumP, QuantityKind::Value,
                                        QuantityKind::Noncentrality, QuantityKind::Interval};

bool isExplained(double result, const std::vector<std::string>& messages) {
    return std::isfinite(result) && (result != kFailure || !messages.empty());
}

TEST_F(RobustnessSweep, InsideTheRangesEveryResultIsANumberOrAnExplainedFailure) {
    for (DistributionKind distribution : kDistributions) {
        for (QuantityKind quantity : kQuantities) {
            int failures = 0;
            for (int i = 0; i < kSamplesPerCombination; ++i) {
                const ComputeRequest request = draw(distribution, quantity);
                const Run result = run(request);
                const std::string where = describe(request);
                if (quantity == QuantityKind::Interval) {
                    EXPECT_TRUE(isExplained(result.outcome.lower, result.messages)) << where;
                    EXPECT_TRUE(isExplained(result.outcome.upper, result.messages)) << where;
                    if (result.outcome.lower != kFailure && result.outcome.upper != kFailure) {
                        EXPECT_LE(result.outcome.lower, result.outcome.upper) << where;
                        EXPECT_GE(result.outcome.lower,
                                  distribution == DistributionKind::T ? -INFINITY : 0.0)
                            << where;
                    }
                } else {
                    EXPECT_TRUE(isExplained(result.outcome.result, result.messages)) << where;
                }
                if (quantity == QuantityKind::CumP && result.messages.empty()) {
                    const double tolerance = cdfTolerance(distribution);
                    EXPECT_GE(result.outcome.result, -tolerance) << where;
                    EXPECT_LE(result.outcome.result, 1.0 + tolerance) << where;
                }
                failures += result.messages.empty() ? 0 : 1;
            }
            RecordProperty(std::string(distributionName(distribution)) + "_quantity_" +
                               std::to_string(static_cast<int>(quantity)) + "_failures",
                           failures);
        }
    }
}

TEST_F(RobustnessSweep, DistributionFunctionsRiseWithTheValueAndFallWithTheNoncentrality) {
    for (DistributionKind distribution : kDistributions) {
        const double tolerance = cdfTolerance(distribution);
        for (int i = 0; i < kSamplesPerCombination; ++i) {
            ComputeRequest request = draw(distribution, QuantityKind::CumP);
            const Run base = run(request);
            ComputeRequest larger = request;
            larger.value = request.value + 0.1 * std::fabs(request.value) + 0.01;
            const Run atLargerValue = run(larger);
            ComputeRequest moreNoncentral = request;
            moreNoncentral.noncentrality =
                std::min(request.noncentrality + 0.1 * std::fabs(request.noncentrality) + 0.1,
                         distribution == DistributionKind::ChiSquare ? 5000.0 : 10000.0);
            if (distribution == DistributionKind::T) {
                moreNoncentral.noncentrality = request.noncentrality + 0.5;
            }
            const Run atMoreNoncentral = run(moreNoncentral);
            if (!base.messages.empty() || !atLargerValue.messages.empty() ||
                !atMoreNoncentral.messages.empty()) {
                continue;
            }
            EXPECT_LE(base.outcome.result, atLargerValue.outcome.result + tolerance)
                << describe(request);
            EXPECT_GE(base.outcome.result, atMoreNoncentral.outcome.result - tolerance)
                << describe(request);
        }
    }
}

// Solves for `searched` (the value or the noncentrality), puts the answer into the request's
// `answer` slot and evaluates the distribution function there: it must give back CumP.
void RobustnessSweep::expectRoundTrips(QuantityKind searched, double ComputeRequest::*answer,
                                       double searchTolerance) {
    for (DistributionKind distribution : kDistributions) {
        for (int i = 0; i < kSamplesPerCombination; ++i) {
            const ComputeRequest request = draw(distribution, searched);
            const Run found = run(request);
            if (!found.messages.empty()) {
                continue;
            }
            ComputeRequest back = request;
            back.quantity = QuantityKind::CumP;
            back.*answer = found.outcome.result;
            const Run probability = run(back);
            EXPECT_NEAR(probability.outcome.result, request.cumP,
                        searchTolerance + cdfTolerance(distribution))
                << describe(request);
        }
    }
}

// Brent's tolerance in the F value (2e-9 relative) leaves up to about 1e-7 in probability; the
// secant searches stop at a residual of 1e-10.
TEST_F(RobustnessSweep, PercentagePointsGiveBackTheirProbability) {
    expectRoundTrips(QuantityKind::Value, &ComputeRequest::value, 1e-7);
}

TEST_F(RobustnessSweep, NoncentralitiesGiveBackTheirProbability) {
    expectRoundTrips(QuantityKind::Noncentrality, &ComputeRequest::noncentrality, 1e-9);
}

// Values that are not numbers or lie far outside every range.
const double kHostileValues[] = {
    std::numeric_limits<double>::quiet_NaN(), INFINITY, -INFINITY, 1e308, -1e308, -0.0};
const int kHostileDf[] = {0, -1, INT_MAX, INT_MIN};

TEST_F(RobustnessSweep, HostileInputsAreReportedOrAnsweredWithADocumentedValue) {
    for (DistributionKind distribution : kDistributions) {
        for (QuantityKind quantity : kQuantities) {
            const ComputeRequest typical = draw(distribution, quantity);
            std::vector<ComputeRequest> requests;
            for (double hostile : kHostileValues) {
                for (double ComputeRequest::*field :
                     {&ComputeRequest::value, &ComputeRequest::noncentrality, &ComputeRequest::cumP,
                      &ComputeRequest::confidence}) {
                    ComputeRequest r = typical;
                    r.*field = hostile;
                    requests.push_back(r);
                }
            }
            for (int df : kHostileDf) {
                ComputeRequest r = typical;
                r.df1 = df;
                requests.push_back(r);
                r = typical;
                r.df2 = df;
                requests.push_back(r);
            }
            for (const ComputeRequest& request : requests) {
                const Run result = run(request);
                const std::string where = describe(request);
                if (quantity == QuantityKind::Interval) {
                    EXPECT_TRUE(isExplained(result.outcome.lower, result.messages)) << where;
                    EXPECT_TRUE(isExplained(result.outcome.upper, result.messages)) << where;
                } else {
                    EXPECT_TRUE(isExplained(result.outcome.result, result.messages)) << where;
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorvel
