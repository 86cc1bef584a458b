// Randomised sweeps over the public operations of the three families, as the program calls
// them: inside the accepted ranges every result is a number, or the failure value after at
// least one message; distribution functions are probabilities and monotone; percentage points
// and intervals are consistent. Outside the ranges, and for values that are not numbers, every
// operation reports or returns a documented value. Over the whole accepted ranges, a request
// whose answer exists is answered, and Boost.Math's distribution function at the answer gives
// back the target; a request without an answer shows its message. The seeds are fixed, so a
// failure repeats.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/computation.h"
#include "numerics/calculators.h"
#include "tests/support/boost_oracle.h"
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

// Over the whole accepted ranges, answers that exist must be found. Each sample draws the
// Df, a true noncentrality and a CumP, takes our percentage point x there, and asks every
// quantity of that x: its probability, the noncentrality back and the confidence interval.
// Boost.Math's distribution function, an independent implementation, decides whether an
// answer exists (its probabilities at the ends of the accepted noncentrality range must
// enclose the target) and judges every answer given. Requests within a family's accuracy of
// a range end could go either way and are left out; requests without an answer must show
// their message.

// Agreement with Boost in probability. The F series stops at an absolute 1e-9 and each of its
// incomplete beta terms is good to a relative 5e-10, which over the wide Df and λ here shows up
// (1.2e-9 seen at df 2907 and 1, λ 4513, P near .9999), so F is held to 1.5e-9; the t function
// inherits Φ's 2.2e-8 just beyond |z| = 4; the chi-square series stops at 1e-6 (2e-6 leaves room
// for the search's residual of 1e-10 and Boost's rounding), its normal approximation above
// λ 921.03 is good to 1e-5. The same floors mark the range ends' uncertain neighbourhood.
double probabilityFloor(DistributionKind distribution, double noncentrality) {
    switch (distribution) {
        case DistributionKind::F:
            return 1.5e-9;
        case DistributionKind::T:
            return 2.5e-8;
        case DistributionKind::ChiSquare:
            break;
    }
    return noncentrality < 921.03 ? 2e-6 : 1e-5;
}

// Boost's distribution function at (x, noncentrality) for the request's Df, or NaN where Boost
// reports that it cannot evaluate it (such draws are counted and left out, never passed).
double boostCdf(const ComputeRequest& r, double x, double noncentrality) {
    try {
        switch (r.distribution) {
            case DistributionKind::F:
                return oracle::noncentralFCdf(x, r.df1, r.df2, noncentrality);
            case DistributionKind::T:
                return oracle::noncentralTCdf(x, r.df1, noncentrality);
            case DistributionKind::ChiSquare:
                return oracle::noncentralChiSquareCdf(x, r.df1, noncentrality);
        }
    } catch (const std::exception&) {
    }
    return std::numeric_limits<double>::quiet_NaN();
}

double boostPdf(const ComputeRequest& r, double x, double noncentrality) {
    try {
        switch (r.distribution) {
            case DistributionKind::F:
                return oracle::noncentralFPdf(x, r.df1, r.df2, noncentrality);
            case DistributionKind::T:
                return oracle::noncentralTPdf(x, r.df1, noncentrality);
            case DistributionKind::ChiSquare:
                return oracle::noncentralChiSquarePdf(x, r.df1, noncentrality);
        }
    } catch (const std::exception&) {
    }
    return std::numeric_limits<double>::quiet_NaN();
}

// Boost's percentage point, for noncentralities our routines do not accept.
double boostQuantile(const ComputeRequest& r, double p, double noncentrality) {
    try {
        switch (r.distribution) {
            case DistributionKind::F:
                return oracle::noncentralFQuantile(p, r.df1, r.df2, noncentrality);
            case DistributionKind::T:
                return oracle::noncentralTQuantile(p, r.df1, noncentrality);
            case DistributionKind::ChiSquare:
                return oracle::noncentralChiSquareQuantile(p, r.df1, noncentrality);
        }
    } catch (const std::exception&) {
    }
    return std::numeric_limits<double>::quiet_NaN();
}

// The percentage point's agreement in probability. The F search stops Brent's method once the
// bracket's half-width is within 2e-9·x + 5e-11, so x may lie up to twice that from the root,
// which moves the probability by the density times that distance (the absolute part matters
// for df1 = 1 near 0, where the density is steep); the t and chi-square secant searches stop on
// the probability itself.
double percentagePointFloor(const ComputeRequest& r, double x, double noncentrality) {
    const double floor = probabilityFloor(r.distribution, noncentrality);
    if (r.distribution != DistributionKind::F) {
        return floor;
    }
    const double density = boostPdf(r, x, noncentrality);
    return floor + (std::isfinite(density) ? density * (4e-9 * x + 1e-10) : 0.0);
}

// A reproducible stream that does not depend on the standard library's distributions, whose
// algorithms the standard leaves open.
class Draws {
  public:
    explicit Draws(std::uint64_t seed) : engine_(seed) {}
    double uniform(double low, double high) {
        return low + (high - low) * (static_cast<double>(engine_() >> 11) * 0x1.0p-53);
    }
    double logUniform(double low, double high) {
        return low * std::pow(high / low, uniform(0.0, 1.0));
    }
    int wholeNumber(int low, int high) {
        return static_cast<int>(std::lround(logUniform(low, high)));
    }
    bool oneIn(int n) { return engine_() % static_cast<std::uint64_t>(n) == 0; }
    // CumP over .0001–.9999, a third of the draws in the tails beyond .01 and .99, where the
    // searches start farthest from their answers.
    double cumP() {
        double p = uniform(0.0001, 0.9999);
        if (oneIn(3)) {
            const double tail = logUniform(0.0001, 0.01);
            p = oneIn(2) ? tail : 1.0 - tail;
        }
        return std::clamp(p, 0.0001, 0.9999);
    }
    // Confidence over .8–.9999, with 1 − confidence log-uniform so that the highest levels,
    // whose tails lie below the public CumP range, come up often.
    double confidence() { return std::clamp(1.0 - logUniform(0.0001, 0.2), 0.8, 0.9999); }

  private:
    std::mt19937_64 engine_;
};

struct Family {
    DistributionKind distribution;
    double smallestNoncentrality;
    double largestNoncentrality;
    std::uint64_t seed;
};

constexpr Family kFFamily{DistributionKind::F, 0.0, 10000.0, 7001};
constexpr Family kTFamily{DistributionKind::T, -5000.0, 5000.0, 7002};
constexpr Family kChiSquareFamily{DistributionKind::ChiSquare, 0.0, 5000.0, 7003};

// Fewer samples than the sweep of realistic requests, over far wider ranges.
constexpr int kSamplesPerFamily = 300;

const char* const kQuantityNames[] = {"cdf", "value", "noncentrality", "interval"};

// What one combination of family and quantity did over the sweep.
struct Tally {
    int answered = 0;       // answers judged by Boost
    int withoutAnswer = 0;  // requests whose answer lies outside the range, message checked
    int nearBoundary = 0;   // left out: within the family's accuracy of a range end
    int unavailable = 0;    // left out: Boost could not evaluate
    int containsTruth = 0;  // intervals seen to hold the true noncentrality
    double worst = 0.0;     // largest |Boost's probability − target|
    std::vector<std::string> giveUps;
};

class ExistingAnswersSweep : public RobustnessSweep {
  protected:
    enum class Reach { Inside, BelowSmallest, BeyondLargest, NearBoundary, Unknown };

    // Boost's probabilities of the observed value at the ends of the accepted noncentrality
    // range; the distribution function falls in the noncentrality.
    struct Ends {
        double atSmallest;
        double atLargest;
    };

    Reach reach(const Ends& ends, double target) const {
        if (std::isnan(ends.atSmallest) || std::isnan(ends.atLargest)) {
            return Reach::Unknown;
        }
        const double smallMargin =
            probabilityFloor(family.distribution, family.smallestNoncentrality);
        const double largeMargin =
            probabilityFloor(family.distribution, family.largestNoncentrality);
        if (target > ends.atSmallest + smallMargin) {
            return Reach::BelowSmallest;
        }
        if (target < ends.atLargest - largeMargin) {
            return Reach::BeyondLargest;
        }
        if (target < ends.atSmallest - smallMargin && target > ends.atLargest + largeMargin) {
            return Reach::Inside;
        }
        return Reach::NearBoundary;
    }

    ComputeRequest draw(Draws& draws) const {
        ComputeRequest r;
        r.distribution = family.distribution;
        r.cumP = draws.cumP();
        r.confidence = draws.confidence();
        switch (family.distribution) {
            case DistributionKind::F:
                r.df1 = draws.wholeNumber(1, 10000);
                r.df2 = draws.wholeNumber(1, 10000);
                r.noncentrality = draws.oneIn(8) ? 0.0 : draws.logUniform(0.01, 10000.0);
                break;
            case DistributionKind::T:
                r.df1 = draws.wholeNumber(1, 100000);
                r.noncentrality = (draws.oneIn(2) ? -1.0 : 1.0) * draws.logUniform(0.01, 300.0);
                break;
            case DistributionKind::ChiSquare:
                r.df1 = draws.wholeNumber(1, 100000);
                r.noncentrality = draws.oneIn(8) ? 0.0 : draws.logUniform(0.01, 5000.0);
                break;
        }
        return r;
    }

    static std::string withMessages(const ComputeRequest& r, const Run& run) {
        std::string text = describe(r);
        for (const std::string& message : run.messages) {
            text += " | " + message;
        }
        return text;
    }

    static bool gaveUp(const Run& run, double answer) {
        return run.outcome.failed || answer == kFailure || !std::isfinite(answer);
    }

    void giveUp(QuantityKind quantity, const ComputeRequest& r, const Run& run,
                const std::string& what) {
        const std::string text = what + ": " + withMessages(r, run);
        tallies[static_cast<int>(quantity)].giveUps.push_back(text);
        ADD_FAILURE() << "gave up where an answer exists: " << text;
    }

    // Boost's probability at the noncentrality `answer` gives back `target`.
    void expectGivesBack(const ComputeRequest& r, double target, double answer,
                         const std::string& what) {
        Tally& tally = tallies[static_cast<int>(r.quantity)];
        EXPECT_GE(answer, family.smallestNoncentrality) << what << ": " << describe(r);
        EXPECT_LE(answer, family.largestNoncentrality) << what << ": " << describe(r);
        const double p = boostCdf(r, r.value, answer);
        if (std::isnan(p)) {
            ++tally.unavailable;
            return;
        }
        tally.worst = std::max(tally.worst, std::fabs(p - target));
        EXPECT_NEAR(p, target, probabilityFloor(family.distribution, answer))
            << what << " " << answer << ": " << describe(r);
    }

    // The noncentrality lies below the accepted range: only λ < 0 for F and chi-square, which
    // say so with their own message and value; for t a δ below −5000 is out of range.
    void expectNothingBelow(const ComputeRequest& r, const Run& run, double answer) {
        const std::string where = withMessages(r, run);
        switch (family.distribution) {
            case DistributionKind::F:
                EXPECT_EQ(run.messages,
                          std::vector<std::string>{"No non-negative value of Lambda can be found. "
                                                   "Returning 0."})
                    << where;
                EXPECT_EQ(answer, 0.0) << where;
                return;
            case DistributionKind::ChiSquare:
                EXPECT_EQ(run.messages,
                          std::vector<std::string>{"No non-negative value of Lambda will produce "
                                                   "the desired cumulative probability."})
                    << where;
                EXPECT_EQ(answer, kFailure) << where;
                return;
            case DistributionKind::T:
                break;
        }
        expectOutOfRange(r, run, answer);
    }

    // The answer lies beyond the accepted range: the failure value, and among the messages the
    // distribution function's range message for the noncentrality it was asked about.
    void expectOutOfRange(const ComputeRequest& r, const Run& run, double answer) {
        const std::string where = withMessages(r, run);
        EXPECT_TRUE(run.outcome.failed) << where;
        EXPECT_EQ(answer, kFailure) << where;
        const std::string rangeMessage = family.distribution == DistributionKind::T
                                             ? "T distribution parameter Delta out of range."
                                             : "Lambda out of range.";
        EXPECT_TRUE(std::any_of(run.messages.begin(), run.messages.end(),
                                [&](const std::string& m) { return m.starts_with(rangeMessage); }))
            << where;
    }

    void checkNoncentrality(ComputeRequest r, const Ends& ends) {
        r.quantity = QuantityKind::Noncentrality;
        Tally& tally = tallies[static_cast<int>(r.quantity)];
        const Reach where = reach(ends, r.cumP);
        if (where == Reach::NearBoundary) {
            ++tally.nearBoundary;
            return;
        }
        if (where == Reach::Unknown) {
            ++tally.unavailable;
            return;
        }
        const Run found = run(r);
        const double answer = found.outcome.result;
        switch (where) {
            case Reach::Inside:
                if (gaveUp(found, answer)) {
                    giveUp(r.quantity, r, found, "noncentrality");
                    return;
                }
                expectGivesBack(r, r.cumP, answer, "noncentrality");
                ++tally.answered;
                return;
            case Reach::BelowSmallest:
                expectNothingBelow(r, found, answer);
                break;
            case Reach::BeyondLargest:
                expectOutOfRange(r, found, answer);
                break;
            case Reach::NearBoundary:
            case Reach::Unknown:
                break;
        }
        ++tally.withoutAnswer;
    }

    // The upper limit puts the observed value at the lower tail α = (1 − confidence)/2, the
    // lower limit at 1 − α. A limit below λ = 0 is 0 without a message; a limit beyond the
    // range is the failure value after the range message.
    void checkInterval(ComputeRequest r, const Ends& ends, double probabilityAtTruth,
                       double truth) {
        r.quantity = QuantityKind::Interval;
        Tally& tally = tallies[static_cast<int>(r.quantity)];
        const double alpha = (1.0 - r.confidence) / 2.0;
        struct Limit {
            const char* name;
            double target;
            Reach reach;
            double ComputeOutcome::*value;
        };
        const Limit limits[] = {
            {"upper limit", alpha, reach(ends, alpha), &ComputeOutcome::upper},
            {"lower limit", 1.0 - alpha, reach(ends, 1.0 - alpha), &ComputeOutcome::lower}};
        for (const Limit& limit : limits) {
            if (limit.reach == Reach::NearBoundary) {
                ++tally.nearBoundary;
                return;
            }
            if (limit.reach == Reach::Unknown) {
                ++tally.unavailable;
                return;
            }
        }
        const Run found = run(r);
        bool outOfRange = false;
        bool answered = false;
        for (const Limit& limit : limits) {
            const double value = found.outcome.*limit.value;
            const bool below = limit.reach == Reach::BelowSmallest;
            if (limit.reach == Reach::Inside) {
                if (value == kFailure || !std::isfinite(value)) {
                    giveUp(r.quantity, r, found, limit.name);
                    return;
                }
                expectGivesBack(r, limit.target, value, limit.name);
                answered = true;
            } else if (below && family.distribution != DistributionKind::T) {
                EXPECT_EQ(value, 0.0) << limit.name << ": " << withMessages(r, found);
            } else {
                EXPECT_EQ(value, kFailure) << limit.name << ": " << withMessages(r, found);
                outOfRange = true;
            }
        }
        if (outOfRange) {
            expectOutOfRange(r, found, kFailure);
            ++tally.withoutAnswer;
        } else if (found.outcome.failed) {
            giveUp(r.quantity, r, found, "a message although both limits exist");
            return;
        }
        if (answered) {
            ++tally.answered;
        }
        // The true noncentrality lies inside the interval whenever its probability lies inside
        // the targets by more than the limits' accuracy; a lower limit of 0 holds it trivially.
        const double margin =
            2.0 * probabilityFloor(family.distribution, family.largestNoncentrality);
        const bool upperDecides =
            limits[0].reach == Reach::Inside && probabilityAtTruth > alpha + margin;
        const bool lowerDecides =
            (limits[1].reach == Reach::Inside && probabilityAtTruth < 1.0 - alpha - margin) ||
            (limits[1].reach == Reach::BelowSmallest && family.distribution != DistributionKind::T);
        if (upperDecides && lowerDecides) {
            EXPECT_LE(found.outcome.lower, truth) << withMessages(r, found);
            EXPECT_GE(found.outcome.upper, truth) << withMessages(r, found);
            ++tally.containsTruth;
        }
    }

    // A true noncentrality beyond the accepted range, where Boost's percentage point gives the
    // observed value: every noncentrality answer and most confidence limits then lie outside.
    double beyondRange(Draws& draws) const {
        const double largest = family.largestNoncentrality;
        const double magnitude = draws.logUniform(largest, 3.0 * largest);
        return family.distribution == DistributionKind::T && draws.oneIn(2) ? -magnitude
                                                                            : magnitude;
    }

    void sweep() {
        Draws draws(family.seed);
        for (int i = 0; i < kSamplesPerFamily; ++i) {
            ComputeRequest r = draw(draws);
            const bool outside = draws.oneIn(10);
            if (outside) {
                r.noncentrality = beyondRange(draws);
            }
            const double truth = r.noncentrality;

            r.quantity = QuantityKind::Value;
            const Run point = run(r);
            double x = point.outcome.result;
            if (outside) {
                // Our routines refuse the noncentrality itself.
                EXPECT_TRUE(point.outcome.failed) << describe(r);
                EXPECT_EQ(x, kFailure) << describe(r);
                x = boostQuantile(r, r.cumP, truth);
                if (!std::isfinite(x)) {
                    ++tallies[static_cast<int>(QuantityKind::Noncentrality)].unavailable;
                    continue;
                }
            } else if (gaveUp(point, x)) {
                giveUp(r.quantity, r, point, "percentage point");
                continue;
            }
            const double probabilityAtX = boostCdf(r, x, truth);
            if (std::isnan(probabilityAtX)) {
                ++tallies[static_cast<int>(QuantityKind::Value)].unavailable;
                continue;
            }
            r.value = x;
            if (!outside) {
                checkPercentagePointAndProbability(r, probabilityAtX, truth);
            }

            const Ends ends{boostCdf(r, x, family.smallestNoncentrality),
                            boostCdf(r, x, family.largestNoncentrality)};
            checkNoncentrality(r, ends);
            // A target above the probability at λ = 0 has no non-negative λ at all.
            const double margin =
                probabilityFloor(family.distribution, family.smallestNoncentrality);
            if (family.distribution != DistributionKind::T && draws.oneIn(5) &&
                ends.atSmallest < 0.9999 - 2.0 * margin) {
                ComputeRequest unreachable = r;
                unreachable.cumP = draws.uniform(ends.atSmallest + 2.0 * margin, 0.9999);
                checkNoncentrality(unreachable, ends);
            }
            checkInterval(r, ends, probabilityAtX, truth);
        }
        report();
    }

    // The percentage point x of CumP under the true noncentrality, then our probability at x.
    void checkPercentagePointAndProbability(ComputeRequest r, double probabilityAtX, double truth) {
        Tally& valueTally = tallies[static_cast<int>(QuantityKind::Value)];
        const double x = r.value;
        valueTally.worst = std::max(valueTally.worst, std::fabs(probabilityAtX - r.cumP));
        EXPECT_NEAR(probabilityAtX, r.cumP, percentagePointFloor(r, x, truth))
            << "percentage point " << x << ": " << describe(r);
        ++valueTally.answered;

        r.quantity = QuantityKind::CumP;
        Tally& cdfTally = tallies[static_cast<int>(QuantityKind::CumP)];
        const Run probability = run(r);
        if (gaveUp(probability, probability.outcome.result)) {
            giveUp(r.quantity, r, probability, "distribution function");
            return;
        }
        cdfTally.worst =
            std::max(cdfTally.worst, std::fabs(probability.outcome.result - probabilityAtX));
        EXPECT_NEAR(probability.outcome.result, probabilityAtX,
                    probabilityFloor(family.distribution, truth))
            << describe(r);
        ++cdfTally.answered;
    }

    // Zero give-ups where an answer exists, for every quantity, and most samples reach a
    // judged answer, so the sweep cannot pass by leaving its draws out (an eighth of the draws
    // sit at λ = 0, where the noncentrality lies on the range end, and a tenth beyond it).
    void report() {
        const std::string name = distributionName(family.distribution);
        for (int q = 0; q < 4; ++q) {
            const Tally& tally = tallies[q];
            const std::string combination = name + "_" + kQuantityNames[q];
            std::cout << combination << ": answered " << tally.answered << ", without answer "
                      << tally.withoutAnswer << ", near a range end " << tally.nearBoundary
                      << ", Boost unavailable " << tally.unavailable << ", interval holds truth "
                      << tally.containsTruth << ", gave up " << tally.giveUps.size()
                      << ", worst |P - target| " << tally.worst << "\n";
            RecordProperty(combination + "_answered", tally.answered);
            RecordProperty(combination + "_gave_up", static_cast<int>(tally.giveUps.size()));
            std::string list;
            for (const std::string& g : tally.giveUps) {
                list += "\n  " + g;
            }
            EXPECT_EQ(tally.giveUps.size(), 0u) << combination << list;
            EXPECT_GE(tally.answered, kSamplesPerFamily * 2 / 3) << combination;
            if (q == static_cast<int>(QuantityKind::Noncentrality)) {
                EXPECT_GT(tally.withoutAnswer, 0) << combination;
            }
        }
    }

    Family family = kFFamily;
    std::array<Tally, 4> tallies{};
};

TEST_F(ExistingAnswersSweep, F) {
    family = kFFamily;
    sweep();
}

TEST_F(ExistingAnswersSweep, T) {
    family = kTFamily;
    sweep();
}

TEST_F(ExistingAnswersSweep, ChiSquare) {
    family = kChiSquareFamily;
    sweep();
}

}  // namespace
}  // namespace quorvel
