#pragma once

namespace quorvel {

// The standard normal distribution function Φ, its complement and its inverse to full double
// precision in both tails, without iteration or allocation, cheap enough for the inner loops of
// the three families. No operation reports a failure or touches a failure flag.
class NormalDistribution {
  public:
    virtual ~NormalDistribution() = default;

    // Φ(z) from the C library's erfc, with the rounding of z/√2 corrected, so that every tail
    // value down to the smallest normalized double keeps a relative error of a few units in
    // the last place; monotone, 0 and 1 only where the value leaves the double range.
    double cdf(double z) const;

    // 1 − Φ(z) = Φ(−z), computed directly.
    double complement(double z) const;

    // ln Φ(z) for every z, also where Φ(z) underflows (beyond z = −37, from the asymptotic
    // series of Mills' ratio).
    double logCdf(double z) const;

    // Φ⁻¹(p) by Wichura's AS 241 (PPND16), relative error about 1e-16 for 1e-300 < p < 1 −
    // 1e-16; returns −9999 when p is not inside (0, 1), including NaN, without a message.
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
