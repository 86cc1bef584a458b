#pragma once

namespace quorvel {

// ln(mean^k·e^(−mean)/Γ(k + 1)) for real k >= 0 and mean >= 0: the logarithm of the Poisson
// probability at k, and of the prefactor x^a·e^(−x)/Γ(a + 1) of the incomplete gamma function.
// Formed as −stirlingError(k) − D(k, mean) − ½·ln(2πk) with the deviance
// D = k·ln(k/mean) + mean − k summed as a series where k is near the mean (Loader 2000, "Fast
// and accurate computation of binomial probabilities"), so that the logarithm is right to a
// few units of its own rounding even where the terms of the naive form run to 1e5.
// −mean at k = 0; −∞ for mean 0 and k > 0.
double logPoissonTerm(double k, double mean);

}  // namespace quorvel
