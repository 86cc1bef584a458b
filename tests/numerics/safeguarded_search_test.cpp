#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "numerics/calculators.h"
#include "numerics/foundations/failure/held_messages.h"
#include "numerics/foundations/roots/monotone_root.h"
#include "numerics/foundations/roots/safeguarded_search.h"
#include "numerics/foundations/roots/whole_number_search.h"
#include "tests/support/recording_reporter.h"

namespace quorvel {
namespace {

using Messages = std::vector<std::string>;

TEST(HeldMessages, ShowsNothingUnlessReleasedThenEachMessageOnceInOrder) {
    testing::RecordingReporter screen;
    Calculators calculators(screen);
    {
        HeldMessages held(calculators);
        calculators.reporter().show("recovered");
    }
    EXPECT_TRUE(screen.messages.empty());

    {
        HeldMessages outer(calculators);
        calculators.reporter().show("first");
        {
            HeldMessages inner(calculators);
            calculators.reporter().show("second");
            calculators.reporter().show("first");
            inner.release();  // into the outer hold, not to the screen
        }
        EXPECT_TRUE(screen.messages.empty());
        outer.release();
        calculators.reporter().show("after");
    }
    EXPECT_EQ(screen.messages, (Messages{"first", "second", "after"}));
}

// A residual with a jump across 0 between two neighbouring doubles, as a distribution function
// that stops its series at an absolute tolerance can have: no point meets 1e-10, and the
// search ends at the jump.
TEST(SolveMonotone, FindsRootsInsideTheRangeAndTellsWhenTheyLieOutside) {
    const MonotoneRange range{0.0, 10000.0, false};
    auto falling = [](double x) -> std::optional<double> { return std::exp(-x / 1000.0) - 0.5; };
    const double root = 1000.0 * std::log(2.0);
    for (const double start : {0.0, 1.0, 690.0, 9999.0, 1e300, std::nan("")}) {
        const RootSearchResult found = solveMonotone(falling, start, range, 1e-10);
        ASSERT_EQ(found.status, RootSearchStatus::Found) << "start " << start;
        EXPECT_LE(std::fabs(*falling(found.root)), 1e-10);
        EXPECT_NEAR(found.root, root, 1e-6);
    }

    auto beyond = [](double x) -> std::optional<double> { return 0.6 - x / 20000.0; };
    const RootSearchResult outside = solveMonotone(beyond, 10.0, range, 1e-10);
    EXPECT_EQ(outside.status, RootSearchStatus::NotBracketed);
    EXPECT_EQ(outside.root, 10000.0);

    auto jump = [](double x) -> std::optional<double> { return x < 3.0 ? -1e-6 : 1e-6; };
    const RootSearchResult atJump = solveMonotone(jump, 100.0, {-1e300, 1e300, true}, 1e-10);
    ASSERT_EQ(atJump.status, RootSearchStatus::Found);
    EXPECT_NEAR(atJump.root, 3.0, 1e-14);

    int evaluations = 0;
    auto failing = [&evaluations](double x) -> std::optional<double> {
        ++evaluations;
        return x > 50.0 ? std::nullopt : std::optional<double>(x - 100.0);
    };
    EXPECT_EQ(solveMonotone(failing, 0.0, {0.0, 200.0, true}, 1e-10).status,
              RootSearchStatus::EvaluationFailed);
    EXPECT_LT(evaluations, 10);
}

// The secant's own answer is kept to the bit; the fallback takes over only when every start
// fails, and then on the last start.
TEST(SafeguardedSearch, KeepsTheSecantAnswerAndFallsBackOnlyWhenAllStartsFail) {
    auto cubic = [](double x) -> std::optional<double> { return x * x * x - 2.0; };
    const RootSearchResult secant = secantSearch(1.0, cubic, {});
    ASSERT_TRUE(secant.found());
    const RootSearchResult kept = safeguardedSearch({1.0}, cubic, {}, {-10.0, 10.0, true});
    EXPECT_TRUE(kept.found());
    EXPECT_EQ(kept.root, secant.root);

    // Flat beyond ±1: the secant starting at 5 sees no slope and stops.
    auto clipped = [](double x) -> std::optional<double> {
        return std::max(-1.0, std::min(1.0, x)) - 0.25;
    };
    EXPECT_EQ(secantSearch(5.0, clipped, {}).status, RootSearchStatus::OutsideTolerance);
    const RootSearchResult recovered =
        safeguardedSearch({5.0, 6.0}, clipped, {}, {-10.0, 10.0, true});
    EXPECT_TRUE(recovered.found());
    EXPECT_NEAR(recovered.root, 0.25, 1e-10);

    // With no root in the range either, the last secant attempt's ending decides the message.
    auto rootless = [](double x) -> std::optional<double> {
        return std::max(-1.0, std::min(1.0, x)) - 2.0;
    };
    EXPECT_EQ(safeguardedSearch({5.0}, rootless, {}, {-10.0, 10.0, true}).status,
              RootSearchStatus::OutsideTolerance);
}

// The whole-number search finds the first n at the target on ranges of every size, says when the
// target lies beyond the range, and stops at the first failed evaluation.
TEST(WholeNumberSearch, FindsTheSmallestWholeNumberReachingTheTarget) {
    for (const long long first : {1LL, 2LL, 37LL, 1000LL, 2147483647LL}) {
        int evaluations = 0;
        auto step = [&](double n) -> std::optional<double> {
            ++evaluations;
            return n >= static_cast<double>(first) ? 1.0 : 0.0;
        };
        const WholeSearchResult found = smallestWholeReaching(step, {1, 2147483647LL}, 0.5);
        ASSERT_TRUE(found.search.found()) << first;
        EXPECT_EQ(found.search.root, static_cast<double>(first));
        EXPECT_EQ(found.valueAtRoot, 1.0);
        EXPECT_LE(evaluations, 64) << first;
    }
    auto rising = [](double n) -> std::optional<double> { return n / 100.0; };
    EXPECT_EQ(smallestWholeReaching(rising, {1, 30}, 0.5).search.status,
              RootSearchStatus::NotBracketed);
    auto failing = [](double n) -> std::optional<double> {
        return n > 8.0 ? std::nullopt : std::optional<double>(0.0);
    };
    EXPECT_EQ(smallestWholeReaching(failing, {1, 1000}, 0.5).search.status,
              RootSearchStatus::EvaluationFailed);
}

}  // namespace
}  // namespace quorvel
