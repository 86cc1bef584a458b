#include "numerics/foundations/normal_distribution.h"

#include <cmath>

#include "numerics/foundations/failure/failure_value.h"

namespace quorvel {

namespace {
// Far-tail constant: 2Φ(|z|) − 1 beyond |z| = 8.
constexpr double kFarTailX = 1.0 - 1e-15;
// Quantile result outside the accepted probabilities.
constexpr double kQuantileOutOfRange = kFailureValue;
constexpr double kSmallestProbability = 1e-35;
}  // namespace

// Φ(z) after Ibbetson, "Algorithm 209: Gauss", Comm. ACM 6 (1963), with a power-of-ten tail
// for 4 < |z| <= 8 and a constant floor beyond. X below approximates 2Φ(|z|) − 1.
double NormalDistribution::cdf(double z) const {
    double X = 0.0;
    if (z != 0.0) {
        const double y = std::fabs(z) / 2.0;
        if (y > 4.0) {
            X = kFarTailX;
        } else if (y > 2.0) {
            const double E = -0.560159336 - 0.139082759 * std::fabs(z) - 0.21143111 * z * z;
            X = 1.0 - 2.0 * std::pow(10.0, E);
        } else if (y < 1.0) {
            const double w = y * y;
            X = ((((((((0.000124818987 * w - 0.001075204047) * w + 0.005198775019) * w -
                      0.019198292004) *
                         w +
                     0.059054035642) *
                        w -
                    0.151968751364) *
                       w +
                   0.319152932694) *
                      w -
                  0.5319230073) *
                     w +
                 0.797884560593) *
                y * 2.0;
        } else {
            const double u = y - 2.0;
            X = (((((((((((((-0.000045255659 * u + 0.00015252929) * u - 0.000019538132) * u -
                           0.000676904986) *
                              u +
                          0.001390604284) *
                             u -
                         0.00079462082) *
                            u -
                        0.002034254874) *
                           u +
                       0.006549791214) *
                          u -
                      0.010557625006) *
                         u +
                     0.011630447319) *
                        u -
                    0.009279453341) *
                       u +
                   0.005353579108) *
                      u -
                  0.002141268741) *
                     u +
                 0.000535310849) *
                    u +
                0.999936657524;
        }
    }
    double R = z < 0.0 ? (1.0 - X) / 2.0 : (1.0 + X) / 2.0;
    if (R < 0.0) {
        R = 0.0;
    }
    if (R > 1.0) {
        R = 1.0;
    }
    return R;
}

// Φ⁻¹(p) by Odeh and Evans, "Algorithm AS 70: The percentage points of the normal
// distribution", Appl. Statist. 23 (1974), coefficients cut to eight significant digits.
double NormalDistribution::quantile(double probability) const {
    if (!(probability > kSmallestProbability) || !(1.0 - kSmallestProbability > probability)) {
        return kQuantileOutOfRange;
    }
    if (probability == 0.5) {
        return 0.0;
    }
    const double q = probability <= 0.5 ? probability : 1.0 - probability;
    const double t = std::sqrt(std::log(1.0 / (q * q)));
    const double N =
        -((((4.5364221e-05 * t + 0.02042312) * t + 0.34224209) * t + 1.0) * t + 0.32223243);
    const double D =
        (((0.00385607 * t + 0.10353775) * t + 0.53110346) * t + 0.58858157) * t + 0.09934846;
    const double X = t + N / D;
    return probability < 0.5 ? -X : X;
}

double NormalDistribution::cdf(double value, double mu, double sigma) {
    x = value;
    mean = mu;
    standardDeviation = sigma;
    return cdf();
}

double NormalDistribution::cdf() const {
    return cdf((x - mean) / standardDeviation);
}

double NormalDistribution::quantile(double probability, double mu, double sigma) {
    p = probability;
    mean = mu;
    standardDeviation = sigma;
    return quantile();
}

double NormalDistribution::quantile() const {
    return mean + standardDeviation * quantile(p);
}

}  // namespace quorvel
