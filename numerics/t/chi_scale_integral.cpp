#include "numerics/t/chi_scale_integral.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "numerics/foundations/integration/kronrod21_panel.h"
#include "numerics/foundations/math_constants.h"
#include "numerics/t/chi_scale_density.h"

namespace quorvel {

namespace {
// The integrand is cut where its logarithm has fallen this far below the peak: since it is
// log-concave, what lies beyond is below e^−45·(distance to the peak)/45 of the peak, far below
// a relative 1e-16 of the integral.
constexpr double kDrop = 45.0;
// A first guess of that distance in units of the peak's width: where a Gaussian falls by 45.
const double kGaussianSpan = std::sqrt(2.0 * kDrop);
// ln of the smallest integral worth computing: far below the smallest double.
constexpr double kNegligibleLog = -800.0;
// A panel is accepted when its 21-point Kronrod and 10-point Gauss values differ by at most
// this fraction of the whole integral. The Kronrod error is usually far smaller, but near a
// step of Φ(tu − δ) it can be as large as the difference itself (a looser 1e-10 left 9e-9 at
// t −399, Df 1, δ −10).
constexpr double kPanelTolerance = 1e-13;
constexpr int kMaxPanels = 256;
// Newton's method for the peak, safeguarded by bisection.
constexpr int kMaxPeakSteps = 200;
constexpr double kPeakTolerance = 1e-12;
constexpr double kOpenBracketFactor = 64.0;
constexpr double kGeometricBisection = 4.0;
// Where the integrand has fallen by kDrop at both ends, the trapezoidal rule through the peak
// converges geometrically in 1/h (the integrand is analytic and negligible at the ends; for a
// Gaussian of width σ the error is about 2·e^(−2π²σ²/h²)): from h = 0.75σ (1e-15 for a
// Gaussian) the step is halved until two sums agree to 1e-7, when the finer one is good to
// about the square of that.
constexpr double kTrapezoidAgreement = 1e-7;
constexpr double kFirstStepPerWidth = 0.75;
constexpr int kTrapezoidHalvings = 3;
// In ln u the integrand's left side falls like e^(νv): from 3 Df on it has fallen by kDrop
// within 15 units of v, below that the grid would be too long to pay.
constexpr double kSmallestLogScaleDf = 3.0;
// A grid longer than this (a peak much narrower than the rest of the integrand) is left to the
// adaptive panels.
constexpr double kMaxTrapezoidNodes = 400.0;
// Steps that widen a side until the integrand has fallen by kDrop, and bisections that pull
// back an end where it has fallen by more than kOvershoot·kDrop.
constexpr int kMaxWidenings = 40;
constexpr int kMaxTrimmings = 80;
constexpr double kOvershoot = 4.0;

// H(y) = φ(y)/Φ(y), the slope of ln Φ, and H·(y + H), minus its derivative. Below y = −37
// y + H cancels to about −1/y: there both come from the asymptotic series of Mills' ratio,
// Φ(y)/φ(y) = S/x with x = −y and S = 1 + D, D = Σ_{k>=1} (−1)^k (2k−1)!!/x^(2k), as H = x/S
// and H·(y + H) = −x²·D/S², with D summed apart from the 1.
constexpr double kSeriesHazardBelow = -37.0;
constexpr int kMillsSeriesTerms = 8;
void normalHazard(double y, double& hazard, double& curvature, const NormalDistribution& normal) {
    if (y >= kSeriesHazardBelow) {
        hazard = std::exp(-0.5 * y * y - kLogSqrtTwoPi - normal.logCdf(y));
        curvature = hazard * (y + hazard);
        return;
    }
    const double x = -y;
    const double inverseSquare = 1.0 / (x * x);
    double term = 1.0;
    double tail = 0.0;
    for (int k = 1; k <= kMillsSeriesTerms; ++k) {
        term *= -(2.0 * k - 1.0) * inverseSquare;
        tail += term;
    }
    const double sum = 1.0 + tail;
    hazard = x / sum;
    curvature = -x * x * tail / (sum * sum);
}

// The integrand's logarithm and its first two derivatives in u.
class LogIntegrand {
  public:
    LogIntegrand(ChiScaleFactor factor, double t, double nu, double delta,
                 const NormalDistribution& normal)
        : factor_(factor), t_(t), nu_(nu), delta_(delta), normal_(normal),
          sign_(factor == ChiScaleFactor::UpperTail ? -1.0 : 1.0) {}

    double operator()(double u) const {
        const double y = sign_ * (t_ * u - delta_);
        const double logFactor = factor_ == ChiScaleFactor::Density
                                     ? std::log(u) - 0.5 * y * y - kLogSqrtTwoPi
                                     : normal_.logCdf(y);
        return logChiScaleDensityRatio(u, nu_) + logFactor;
    }

    // d/du and d²/du² of the logarithm (both finite for u > 0; at u = 0 for ν = 1 and a tail).
    void slopes(double u, double& first, double& second) const {
        first = -nu_ * u;
        second = -nu_;
        if (nu_ > 1.0) {
            first += (nu_ - 1.0) / u;
            second -= (nu_ - 1.0) / (u * u);
        }
        const double y = sign_ * (t_ * u - delta_);
        if (factor_ == ChiScaleFactor::Density) {
            first += 1.0 / u - t_ * y;
            second -= 1.0 / (u * u) + t_ * t_;
            return;
        }
        double hazard = 0.0;
        double curvature = 0.0;
        normalHazard(y, hazard, curvature, normal_);
        first += sign_ * t_ * hazard;
        second -= t_ * t_ * curvature;
    }

    bool finiteAtZero() const { return nu_ == 1.0 && factor_ != ChiScaleFactor::Density; }

  private:
    ChiScaleFactor factor_;
    double t_;
    double nu_;
    double delta_;
    const NormalDistribution& normal_;
    double sign_;
};

// The peak of the log-concave integrand on [0, ∞): Newton's method on the slope, which falls,
// kept inside the bracket of the last points of either sign.
double findPeak(const LogIntegrand& logG) {
    double first = 0.0;
    double second = 0.0;
    if (logG.finiteAtZero()) {
        logG.slopes(0.0, first, second);
        if (first <= 0.0) {
            return 0.0;
        }
    }
    double lo = 0.0;
    double hi = std::numeric_limits<double>::infinity();
    double u = 1.0;
    for (int step = 0; step < kMaxPeakSteps; ++step) {
        logG.slopes(u, first, second);
        if (first == 0.0) {
            return u;
        }
        (first > 0.0 ? lo : hi) = u;
        double next = u - first / second;
        // Outside the bracket: a bisection, geometric where the bracket spans orders of
        // magnitude (the peak can lie at u = 1e-100 for |t| = 1e100), by factors of 64 while
        // one end is still open.
        if (!(next > lo && next < hi)) {
            if (std::isinf(hi)) {
                next = kOpenBracketFactor * u;
            } else if (lo == 0.0) {
                next = hi / kOpenBracketFactor;
            } else {
                next = hi > kGeometricBisection * lo ? std::sqrt(lo * hi) : 0.5 * (lo + hi);
            }
        }
        if (std::fabs(next - u) <= kPeakTolerance * u || hi - lo <= kPeakTolerance * u) {
            return next;
        }
        u = next;
    }
    return u;
}

// The distance from the peak at which the integrand has fallen by kDrop on one side (direction
// ±1), at most `limit`: from a Gaussian guess, then, the logarithm being concave, at least
// far enough once it is stretched by kDrop/(the fall reached). A guess that overshoots by far
// (a factor such as Φ(tu − δ) for large |t| that falls like a step) is pulled back by bisection
// until the fall lies within [kDrop, 4·kDrop], so that the panels see the step.
struct SideExtent {
    double distance;
    // Pulled back from an overshoot: the integrand falls there much faster than a Gaussian of
    // the peak's width, too fast for a grid of that width.
    bool steep;
};

template <typename LogF>
SideExtent sideExtent(const LogF& logG, double peak, double logPeak, double width, double direction,
                  double limit) {
    double s = std::min(kGaussianSpan * width, limit);
    double fall = 0.0;
    for (int k = 0; k < kMaxWidenings; ++k) {
        fall = logPeak - logG(peak + direction * s);
        if (fall >= kDrop || s >= limit) {
            break;
        }
        const double stretch = fall > kDrop / 1e3 ? kDrop / fall : 1e3;
        s = std::min(s * stretch * 1.01, limit);
    }
    double inner = 0.0;
    const bool steep = fall > kOvershoot * kDrop;
    for (int k = 0; k < kMaxTrimmings && fall > kOvershoot * kDrop; ++k) {
        const double middle = 0.5 * (inner + s);
        const double middleFall = logPeak - logG(peak + direction * middle);
        if (middleFall >= kDrop) {
            s = middle;
            fall = middleFall;
        } else {
            inner = middle;
        }
    }
    return {s, steep};
}

// The trapezoidal sum of f on the grid peak + k·h inside [lo, hi], refined by halving h until
// two sums agree; nothing when they do not within kTrapezoidHalvings halvings or the grid is too
// long.
template <typename F>
std::optional<double> trapezoidIntegral(F&& f, double lo, double hi, double peak, double h) {
    if ((hi - lo) / h > kMaxTrapezoidNodes * 0.5) {
        return std::nullopt;
    }
    const auto first = static_cast<int>(std::ceil((lo - peak) / h));
    const auto last = static_cast<int>(std::floor((hi - peak) / h));
    double sum = 0.0;
    for (int k = first; k <= last; ++k) {
        sum += f(peak + k * h);
    }
    double estimate = sum * h;
    for (int halving = 0; halving < kTrapezoidHalvings; ++halving) {
        h *= 0.5;
        const auto oddFirst = static_cast<int>(std::ceil(((lo - peak) / h - 1.0) / 2.0));
        const auto oddLast = static_cast<int>(std::floor(((hi - peak) / h - 1.0) / 2.0));
        for (int j = oddFirst; j <= oddLast; ++j) {
            sum += f(peak + (2 * j + 1) * h);
        }
        const double refined = sum * h;
        if (std::fabs(refined - estimate) <= kTrapezoidAgreement * refined) {
            return refined;
        }
        estimate = refined;
    }
    return std::nullopt;
}

// Where the conditional factor Φ(±(tu − δ)) or φ(tu − δ) changes, |tu − δ| <= 8.5 (beyond,
// 1 − Φ < 1e-17): a grid must resolve it and the panels have edges in it, however small its
// share of the logarithm, since its share of the integral can still exceed 1e-10.
constexpr double kTransitionHalfWidth = 8.5;
constexpr std::array<double, 5> kTransitionEdges{-8.5, -4.0, 0.0, 4.0, 8.5};
// A grid's first step must stay within this much of the transition's scale 1/|t| (the
// accepted sum has at least half that step); on the grid in ln u, whose step in u grows with u,
// where the transition meets the bulk of the integrand, within kMassWidths widths of the peak.
constexpr double kGridStepPerTransitionScale = 0.75;
constexpr double kMassWidths = 3.0;

// The largest u in [lo, hi] inside the transition, or 0 when it does not reach [lo, hi].
double transitionReach(double t, double delta, double lo, double hi) {
    const double a = (delta - kTransitionHalfWidth) / t;
    const double b = (delta + kTransitionHalfWidth) / t;
    const double from = std::max(std::min(a, b), lo);
    const double to = std::min(std::max(a, b), hi);
    return from <= to ? to : 0.0;
}

struct Panel {
    double a;
    double b;
    double kronrod;
    double gauss;
};
}  // namespace

// The noncentral t distribution as a mixture over its scale: P(T <= t) = E[Φ(tU − δ)],
// P(T > t) = E[Φ(δ − tU)] and f(t) = E[U·φ(tU − δ)] with U = √(χ²_ν/ν) (Johnson, Kotz and
// Balakrishnan, Continuous Univariate Distributions 2, 2nd ed., 1995, ch. 31). Each integrand is
// positive and log-concave, so that after locating its peak and width the integral over the
// interval where it lies within e^−45 of the peak, by the trapezoidal rule where both ends are
// negligible and otherwise by adaptive Gauss–Kronrod panels to a relative tolerance, keeps full relative precision in every tail; the integrand is scaled by
// its peak so that nothing underflows.
ChiScaleIntegral integrateOverChiScale(ChiScaleFactor factor, double t, double nu, double delta,
                                       const NormalDistribution& normal) {
    const LogIntegrand logG(factor, t, nu, delta, normal);
    const double peak = findPeak(logG);
    const double logPeak = logG(peak);
    double first = 0.0;
    double second = 0.0;
    logG.slopes(peak > 0.0 ? peak : std::numeric_limits<double>::min(), first, second);
    const double width = 1.0 / std::sqrt(-second);
    const SideExtent left = peak > 0.0 ? sideExtent(logG, peak, logPeak, width, -1.0, peak)
                                       : SideExtent{0.0, true};
    const SideExtent right = sideExtent(logG, peak, logPeak, width, 1.0,
                                        std::numeric_limits<double>::max() / 4.0);
    auto scaled = [&](double u) { return std::exp(logG(u) - logPeak); };
    const double logScale = logPeak + logChiScaleDensityAtOne(nu);
    const double rightEnd = peak + right.distance;
    // Below e^−800 the integral is 0 in double precision: its bound, the peak times the
    // interval, is returned as its logarithm.
    const double leftEnd = peak - left.distance;
    const double logBound = logScale + std::log(rightEnd - leftEnd);
    if (logBound < kNegligibleLog) {
        return {logBound, true};
    }
    const double reach = transitionReach(t, delta, leftEnd, rightEnd);
    const bool rightSmooth = !right.steep && right.distance < std::numeric_limits<double>::max() / 4.0;
    if (rightSmooth && !left.steep && left.distance < peak &&
        (reach == 0.0 ||
         kFirstStepPerWidth * width * std::fabs(t) <= kGridStepPerTransitionScale)) {
        if (const std::optional<double> sum =
                trapezoidIntegral(scaled, peak - left.distance, rightEnd, peak,
                                  kFirstStepPerWidth * width)) {
            return {std::log(*sum) + logScale, true};
        }
    } else if (rightSmooth && peak > 0.0 && nu >= kSmallestLogScaleDf) {
        // The integrand reaches u = 0, or falls steeply, before it has fallen by kDrop: in
        // v = ln u, g(e^v)·e^v decays like e^(νv) as v → −∞, and a step of Φ(tu − δ) at small u
        // is as wide as its distance from 0, so the trapezoidal rule applies there.
        const double logPeakU = std::log(peak);
        auto logInV = [&](double v) { return logG(std::exp(v)) + v; };
        const double logPeakV = logPeak + logPeakU;
        const double widthV = width / peak;
        const SideExtent leftV = sideExtent(logInV, logPeakU, logPeakV, widthV, -1.0,
                                            std::numeric_limits<double>::max() / 4.0);
        auto scaledInV = [&](double v) { return std::exp(logInV(v) - logPeakV); };
        if (!leftV.steep &&
            (reach == 0.0 || kFirstStepPerWidth * widthV * std::fabs(t) *
                                     std::min(reach, peak + kMassWidths * width) <=
                                 kGridStepPerTransitionScale)) {
            if (const std::optional<double> sum =
                    trapezoidIntegral(scaledInV, logPeakU - leftV.distance, std::log(rightEnd),
                                      logPeakU, kFirstStepPerWidth * widthV)) {
                return {std::log(*sum) + logPeakV + logChiScaleDensityAtOne(nu), true};
            }
        }
    }
    std::array<Panel, kMaxPanels> panels{};
    int count = 0;
    auto addPanel = [&](double a, double b) {
        const KronrodPanel rule = kronrod21Panel(scaled, a, b);
        panels[count++] = {a, b, rule.kronrod, rule.gauss};
    };
    // Panel edges: the ends, the peak and the middle of either side; a steep end gets a panel
    // of its own about as wide as the integrand's rise there, so that the rules cannot step
    // over it; and the transition of the conditional factor.
    auto endWidth = [&](double end) {
        double slope = 0.0;
        double curvature = 0.0;
        logG.slopes(end, slope, curvature);
        return 2.0 * kGaussianSpan / std::sqrt(-curvature);
    };
    std::array<double, 16> edges{};
    int edgeCount = 0;
    auto addEdge = [&](double u) {
        if (u >= leftEnd && u <= rightEnd) {
            edges[edgeCount++] = u;
        }
    };
    addEdge(leftEnd);
    addEdge(0.5 * (leftEnd + peak));
    addEdge(peak);
    addEdge(0.5 * (peak + rightEnd));
    addEdge(rightEnd);
    if (left.steep && leftEnd > 0.0) {
        addEdge(leftEnd + endWidth(leftEnd));
    }
    if (right.steep) {
        addEdge(rightEnd - endWidth(rightEnd));
    }
    for (const double y : kTransitionEdges) {
        addEdge((delta + y) / t);
    }
    std::sort(edges.begin(), edges.begin() + edgeCount);
    for (int k = 0; k + 1 < edgeCount; ++k) {
        if (edges[k + 1] > edges[k]) {
            addPanel(edges[k], edges[k + 1]);
        }
    }
    double total = 0.0;
    for (int k = 0; k < count; ++k) {
        total += panels[k].kronrod;
    }
    // Bisects every panel whose two rules disagree, until all agree or the panels run out.
    bool converged = false;
    while (!converged) {
        converged = true;
        const int before = count;
        for (int k = 0; k < before; ++k) {
            const Panel panel = panels[k];
            if (std::fabs(panel.kronrod - panel.gauss) <= kPanelTolerance * total) {
                continue;
            }
            if (count == kMaxPanels) {
                return {std::log(total) + logScale, false};
            }
            converged = false;
            const double middle = 0.5 * (panel.a + panel.b);
            const KronrodPanel lower = kronrod21Panel(scaled, panel.a, middle);
            panels[k] = {panel.a, middle, lower.kronrod, lower.gauss};
            addPanel(middle, panel.b);
            total += lower.kronrod + panels[count - 1].kronrod - panel.kronrod;
        }
    }
    return {std::log(total) + logScale, true};
}

}  // namespace quorvel
