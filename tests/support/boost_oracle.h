#pragma once

// Boost.Math as the tests' reference, compiled once in the quorvel_boost_oracle library so that
// no test includes its headers. Every function is Boost's own at double precision with Boost's
// default policy: a domain, pole, overflow or evaluation error throws (a std::exception), an
// underflow returns 0. Shapes and noncentralities are passed as Boost takes them; for the
// noncentral F and chi-square the noncentrality is λ, for the t it is δ.
namespace quorvel::oracle {

// The standard normal distribution.
double normalCdf(double z);
double normalUpper(double z);
double normalQuantile(double p);

// Student's t, Fisher's F and the chi-square distribution, central.
double studentsTCdf(double t, double df);
double studentsTPdf(double t, double df);
double studentsTQuantile(double p, double df);
double studentsTUpperQuantile(double q, double df);  // the t with upper tail q
double fisherFCdf(double x, double df1, double df2);
double fisherFPdf(double x, double df1, double df2);
double fisherFUpper(double x, double df1, double df2);
double fisherFQuantile(double p, double df1, double df2);
double fisherFUpperQuantile(double q, double df1, double df2);  // the F with upper tail q
double chiSquareCdf(double x, double df);
double chiSquareUpper(double x, double df);
double chiSquarePdf(double x, double df);
double chiSquareQuantile(double p, double df);

// The noncentral F distribution.
double noncentralFCdf(double x, double df1, double df2, double lambda);
double noncentralFUpper(double x, double df1, double df2, double lambda);
double noncentralFPdf(double x, double df1, double df2, double lambda);
double noncentralFQuantile(double p, double df1, double df2, double lambda);

// The noncentral t distribution.
double noncentralTCdf(double t, double df, double delta);
double noncentralTUpper(double t, double df, double delta);
double noncentralTPdf(double t, double df, double delta);
double noncentralTQuantile(double p, double df, double delta);
double noncentralTMode(double df, double delta);

// The noncentral chi-square distribution.
double noncentralChiSquareCdf(double x, double df, double lambda);
double noncentralChiSquareUpper(double x, double df, double lambda);
double noncentralChiSquarePdf(double x, double df, double lambda);
double noncentralChiSquareQuantile(double p, double df, double lambda);

// The regularized incomplete beta function I_x(a, b) and its complement 1 − I_x(a, b).
double incompleteBeta(double a, double b, double x);
double incompleteBetaComplement(double a, double b, double x);

// The regularized incomplete gamma functions P(a, x) and Q(a, x) = 1 − P(a, x).
double gammaP(double a, double x);
double gammaQ(double a, double x);

// Owen's T function T(h, a).
double owensT(double h, double a);

}  // namespace quorvel::oracle
