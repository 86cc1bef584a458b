#include <cmath>
#include <string>

#include "model/effects/design_test.h"
#include "model/effects/effect_parts.h"
#include "model/number_text.h"
#include "numerics/calculators.h"
#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/noncentral_f.h"

namespace quorvel {

FDesignTest fDesignTestAt(const EffectRequest& request, double n, double f2) {
    const double k = request.groups;
    const double m = request.measurements;
    const double e = request.epsilon;
    const double rho = request.correlation;
    switch (request.design) {
        case StudyDesign::Factorial:
            return {static_cast<double>(request.df1), n - request.cells, f2 * n};
        case StudyDesign::Ancova:
            return {k - 1.0, n - k - request.covariates, f2 * n};
        case StudyDesign::RmWithin:
            return {(m - 1.0) * e, (n - k) * (m - 1.0) * e, f2 * n * m * e / (1.0 - rho)};
        case StudyDesign::RmInteraction:
            return {(k - 1.0) * (m - 1.0) * e, (n - k) * (m - 1.0) * e,
                    f2 * n * m * e / (1.0 - rho)};
        case StudyDesign::RmBetween:
            return {k - 1.0, n - k, f2 * n * m / (1.0 + (m - 1.0) * rho)};
        case StudyDesign::Regression:
            return {static_cast<double>(request.predictors), n - request.predictors - 1.0, f2 * n};
        case StudyDesign::R2Change:
            return {static_cast<double>(request.tested), n - request.predictors - 1.0, f2 * n};
        default:
            break;
    }
    return {k - 1.0, n - k, f2 * n};
}

bool isFDesign(StudyDesign design) {
    return design != StudyDesign::Basic && design != StudyDesign::Equivalence &&
           design != StudyDesign::Rmsea;
}

DesignTest designTestOf(Calculators& calculators, const EffectRequest& request) {
    const double failure = calculators.failureValue;
    if (request.design == StudyDesign::Rmsea) {
        // The test of model fit by RMSEA (MacCallum, Browne and Sugawara 1996, Psychol.
        // Methods 1): the model's X² is noncentral chi-square with Df D and λ = (N − 1)·D·ε².
        // Close fit (ε1 > ε0) rejects above the upper α point under ε0, not-close fit (ε1 < ε0)
        // below the lower α point.
        const double scale = (request.n - 1.0) * request.df1;
        const double lambda0 = scale * request.rmsea0 * request.rmsea0;
        const double lambda1 = scale * request.effect * request.effect;
        const bool notClose = request.effect < request.rmsea0;
        const double critical = calculators.chiSquare().percentagePointOfTail(
            {notClose ? Tail::Lower : Tail::Upper, request.alpha}, request.df1, lambda0);
        return {DistributionKind::ChiSquare,
                static_cast<double>(request.df1),
                0.0,
                lambda0,
                lambda1,
                critical,
                notClose,
                critical == failure};
    }
    // The F test of a design, rejecting beyond the central F's upper α point, on real Df (the
    // ε-scaled ones of repeated measures).
    const FDesignTest test = fDesignTestAt(request, request.n, request.effect);
    const double critical = calculators.f().centralPercentagePointOfTail(
        test.nu1, test.nu2, {Tail::Upper, request.alpha});
    return {DistributionKind::F, test.nu1, test.nu2, 0.0,
            test.lambda,         critical, false,    critical == failure};
}

bool describesNotCloseFit(const EffectRequest& request) {
    return request.question == PowerQuestion::Sensitivity ? request.alternative == Alternative::Less
                                                          : request.effect < request.rmsea0;
}

namespace {

// The power of an F design or RMSEA test: the probability beyond its critical value under the
// effect, P(F'(ν1, ν2, λ) > c), P(X² > c) or, for not-close fit, P(X² < c).
PowerValue designTestPower(Calculators& calculators, const EffectRequest& request) {
    const DesignTest test = designTestOf(calculators, request);
    const double failure = calculators.failureValue;
    if (test.failed) {
        return {failure, true};
    }
    double power = 0.0;
    if (test.distribution == DistributionKind::F) {
        power = calculators.f().exactTail(test.critical, test.df1, test.df2, test.noncentrality,
                                          Tail::Upper);
    } else {
        NoncentralChiSquare& chi = calculators.chiSquare();
        power = test.rejectsBelow ? chi.cdf(test.critical, request.df1, test.noncentrality)
                                  : chi.upper(test.critical, request.df1, test.noncentrality);
    }
    // The family's tail at a large λ may exceed 1 by a few units in the last place.
    return power == failure ? PowerValue{failure, true} : PowerValue{std::fmin(power, 1.0), false};
}

std::string whole(double value) {
    return formatShortest(value);
}

}  // namespace

PowerValue designPower(Calculators& calculators, const EffectRequest& request) {
    switch (request.design) {
        case StudyDesign::Basic:
            return testPower(calculators, request);
        case StudyDesign::Equivalence:
            return equivalencePower(calculators, request);
        default:
            break;
    }
    return designTestPower(calculators, request);
}

std::string designFormula(const EffectRequest& request) {
    const std::string k = whole(request.groups);
    const std::string m = whole(request.measurements);
    switch (request.design) {
        case StudyDesign::Basic:
            return "";
        case StudyDesign::Equivalence: {
            const std::string m = request.question == PowerQuestion::Sensitivity
                                      ? std::string("M searched")
                                      : "M = " + whole(request.margin);
            return "two one-sided t tests at alpha against -M and M, t = (mean difference -+ "
                   "M)/(s*sqrt(1/N1 + 1/N2)) (s/sqrt(N) for one sample), Df N1 + N2 - 2 "
                   "(N - 1), " +
                   m + ", true d = " + whole(request.effect) +
                   "; power integrated over the sample SD";
        }
        case StudyDesign::Anova:
            return "lambda = f2*N, Df1 = K - 1 = " + whole(request.groups - 1.0) +
                   ", Df2 = N - K (K = " + k + ", N total)";
        case StudyDesign::Factorial:
            return "lambda = f2*N, Df1 = U = " + whole(request.df1) +
                   ", Df2 = N - cells (cells = " + whole(request.cells) + ", N total)";
        case StudyDesign::Ancova:
            return "lambda = f2*N, Df1 = K - 1 = " + whole(request.groups - 1.0) +
                   ", Df2 = N - K - C (K = " + k + ", C = " + whole(request.covariates) +
                   ", N total)";
        case StudyDesign::RmWithin:
        case StudyDesign::RmInteraction:
            return "lambda = f2*N*M*eps/(1 - rho), Df1 = " +
                   std::string(request.design == StudyDesign::RmWithin ? "(M - 1)*eps"
                                                                       : "(K - 1)*(M - 1)*eps") +
                   ", Df2 = (N - K)*(M - 1)*eps (K = " + k + ", M = " + m +
                   ", rho = " + whole(request.correlation) + ", eps = " + whole(request.epsilon) +
                   ", N total)";
        case StudyDesign::RmBetween:
            return "lambda = f2*N*M/(1 + (M - 1)*rho), Df1 = K - 1, Df2 = N - K (K = " + k +
                   ", M = " + m + ", rho = " + whole(request.correlation) + ", N total)";
        case StudyDesign::Regression:
            return "f2 = R2/(1 - R2), lambda = f2*N, Df1 = P = " + whole(request.predictors) +
                   ", Df2 = N - P - 1 (N total)";
        case StudyDesign::R2Change:
            return "f2 = (R2 - R2reduced)/(1 - R2), lambda = f2*N, Df1 = Q = " +
                   whole(request.tested) + ", Df2 = N - P - 1 (P = " + whole(request.predictors) +
                   ", N total)";
        case StudyDesign::Rmsea:
            break;
    }
    const bool notClose = describesNotCloseFit(request);
    return "lambda = (N - 1)*D*rmsea^2, D = " + whole(request.df1) +
           ", rmsea0 = " + whole(request.rmsea0) + " (" +
           (request.rmsea0 == 0.0 ? "exact fit"
            : notClose            ? "not-close fit"
                                  : "close fit") +
           ", N total)";
}

}  // namespace quorvel
