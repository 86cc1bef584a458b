#pragma once

namespace quorvel {

// The standard normal distribution function Φ and its inverse, as closed-form approximations
// without iteration or allocation, cheap enough for the inner loops of the three families.
// Neither operation reports a failure or touches a failure flag.
class NormalDistribution {
  public:
    virtual ~NormalDistribution() = default;

    // Φ(z): Ibbetson's polynomials for |z| <= 4, a power-of-ten tail for 4 < |z| <= 8 and the
    // constants 5e-16 and 1 − 5e-16 beyond; error about 1e-9 near the centre. Result in [0, 1].
    double cdf(double z) const;

    // Φ⁻¹(p) by Odeh and Evans' rational approximation (error about 1.5e-8); returns −9999 when
    // p is not inside (1e-35, 1 − 1e-35), including p >= 1 and NaN, without a message.
    double quantile(double p) const;

    // General forms: store their arguments in the fields below, then evaluate
    // Φ((x − mean)/standardDeviation) or mean + standardDeviation·Φ⁻¹(p). The forms without
    // arguments evaluate the stored fields.
    double cdf(double x, double mean, double standardDeviation);
    double cdf() const;
    double quantile(double probability, double mean, double standardDeviation);
    double quantile() const;

    double p = 0.0;
    double standardDeviation = 1.0;
    double mean = 0.0;
    double x = 0.0;
};

}  // namespace quorvel
