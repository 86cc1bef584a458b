#pragma once

#include <limits>
#include <optional>

namespace quorvel {

// A non-owning reference to an evaluation x -> f(x), or std::nullopt when the evaluation has
// failed (and shown its message), which ends the search at once. Referring to the caller's
// callable keeps the searches free of templates and of allocation.
class RootFunction {
  public:
    template <typename Callable>
    RootFunction(Callable& callable)  // NOLINT: implicit, so that a lambda can be passed as is
        : object_(&callable), call_([](void* object, double x) -> std::optional<double> {
              return (*static_cast<Callable*>(object))(x);
          }) {}

    std::optional<double> operator()(double x) const { return call_(object_, x); }

  private:
    void* object_;
    std::optional<double> (*call_)(void*, double);
};

// A lower limit for the bracket expansion: a point that the expansion moves below `at` is set
// to `at` and given the value `value` without an evaluation.
struct ExpansionFloor {
    double at;
    double value;
};

// How a search ended. Every search of the program (Brent's method on a bracket, the secant
// scheme, the safeguarded family searches, the whole-number search of a sample size) answers
// with a RootSearchResult, which ReportingCalculator::answerOf turns into the answer or the
// family's message.
enum class RootSearchStatus {
    Found,             // the root is in `root`
    NotBracketed,      // no sign change after the last expansion, or inside the range
    NotConverged,      // the iteration budget ran out (Brent's iterations, the secant's passes)
    OutsideTolerance,  // the secant stopped on a short step or a flat slope short of its tolerance
    EvaluationFailed,  // an evaluation failed; its message has been shown
};

// `root` is the root when found, otherwise the last point tried.
struct RootSearchResult {
    RootSearchStatus status;
    double root;
    bool found() const { return status == RootSearchStatus::Found; }
};

// Two points at which f has opposite signs (or is 0 at one of them), with f's values there.
struct Bracket {
    double lo;
    double hi;
    double flo;
    double fhi;
};

// When Brent's method stops: once half the bracket is within 2·relative·|x| + absolute/2, or
// once |f(x)| <= residual (0: only at an exact zero). Every estimate is held within
// [floor, ceiling].
struct BrentTolerances {
    double relative;
    double absolute;
    double residual;
    double floor;
    double ceiling = std::numeric_limits<double>::infinity();
};

// Brent's method (Brent, "Algorithms for Minimization without Derivatives", 1973, as Numerical
// Recipes' zbrent) on a bracket, within 1000 iterations.
RootSearchResult solveBracketed(const Bracket& bracket, RootFunction f,
                                const BrentTolerances& tolerances);

// A root x >= 0 of f, starting from the interval lo < hi: evaluates both ends, expands the
// interval outwards by 1.6 times its width on the side of the smaller |f| until f changes
// sign (at most 1000 expansions; Press et al., Numerical Recipes, zbrac), then refines it by
// Brent's method (Brent, "Algorithms for Minimization without Derivatives", 1973, as
// Numerical Recipes' zbrent) to a relative 2e-13 with an absolute floor of 5e-301 within 1000
// iterations, never stepping below 0.
RootSearchResult findNonNegativeRoot(double lo, double hi, RootFunction f,
                                     std::optional<ExpansionFloor> floor);

}  // namespace quorvel
