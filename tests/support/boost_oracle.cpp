#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/owens_t.hpp>

#include "tests/support/boost_oracle.h"

// One translation unit: the distributions share most of their headers, so one compile of them
// costs less than a compile per family.
namespace quorvel::oracle {

namespace bm = boost::math;

double normalCdf(double z) {
    return bm::cdf(bm::normal_distribution<double>(), z);
}

double normalUpper(double z) {
    return bm::cdf(bm::complement(bm::normal_distribution<double>(), z));
}

double normalQuantile(double p) {
    return bm::quantile(bm::normal_distribution<double>(), p);
}

double studentsTCdf(double t, double df) {
    return bm::cdf(bm::students_t_distribution<double>(df), t);
}

double studentsTQuantile(double p, double df) {
    return bm::quantile(bm::students_t_distribution<double>(df), p);
}

double fisherFCdf(double x, double df1, double df2) {
    return bm::cdf(bm::fisher_f_distribution<double>(df1, df2), x);
}

double fisherFQuantile(double p, double df1, double df2) {
    return bm::quantile(bm::fisher_f_distribution<double>(df1, df2), p);
}

double fisherFUpperQuantile(double q, double df1, double df2) {
    return bm::quantile(bm::complement(bm::fisher_f_distribution<double>(df1, df2), q));
}

double chiSquareCdf(double x, double df) {
    return bm::cdf(bm::chi_squared_distribution<double>(df), x);
}

double chiSquareUpper(double x, double df) {
    return bm::cdf(bm::complement(bm::chi_squared_distribution<double>(df), x));
}

double noncentralFUpper(double x, double df1, double df2, double lambda) {
    return bm::cdf(bm::complement(bm::non_central_f_distribution<double>(df1, df2, lambda), x));
}

double noncentralTUpper(double t, double df, double delta) {
    return bm::cdf(bm::complement(bm::non_central_t_distribution<double>(df, delta), t));
}

double studentsTPdf(double t, double df) {
    return bm::pdf(bm::students_t_distribution<double>(df), t);
}

double studentsTUpperQuantile(double q, double df) {
    return bm::quantile(bm::complement(bm::students_t_distribution<double>(df), q));
}

double fisherFPdf(double x, double df1, double df2) {
    return bm::pdf(bm::fisher_f_distribution<double>(df1, df2), x);
}

double fisherFUpper(double x, double df1, double df2) {
    return bm::cdf(bm::complement(bm::fisher_f_distribution<double>(df1, df2), x));
}

double chiSquarePdf(double x, double df) {
    return bm::pdf(bm::chi_squared_distribution<double>(df), x);
}

double chiSquareQuantile(double p, double df) {
    return bm::quantile(bm::chi_squared_distribution<double>(df), p);
}

double noncentralFCdf(double x, double df1, double df2, double lambda) {
    return bm::cdf(bm::non_central_f_distribution<double>(df1, df2, lambda), x);
}

double noncentralFPdf(double x, double df1, double df2, double lambda) {
    return bm::pdf(bm::non_central_f_distribution<double>(df1, df2, lambda), x);
}

double noncentralFQuantile(double p, double df1, double df2, double lambda) {
    return bm::quantile(bm::non_central_f_distribution<double>(df1, df2, lambda), p);
}

double noncentralTCdf(double t, double df, double delta) {
    return bm::cdf(bm::non_central_t_distribution<double>(df, delta), t);
}

double noncentralTPdf(double t, double df, double delta) {
    return bm::pdf(bm::non_central_t_distribution<double>(df, delta), t);
}

double noncentralTQuantile(double p, double df, double delta) {
    return bm::quantile(bm::non_central_t_distribution<double>(df, delta), p);
}

double noncentralTMode(double df, double delta) {
    return bm::mode(bm::non_central_t_distribution<double>(df, delta));
}

double noncentralChiSquareCdf(double x, double df, double lambda) {
    return bm::cdf(bm::non_central_chi_squared_distribution<double>(df, lambda), x);
}

double noncentralChiSquareUpper(double x, double df, double lambda) {
    return bm::cdf(bm::complement(bm::non_central_chi_squared_distribution<double>(df, lambda), x));
}

double noncentralChiSquarePdf(double x, double df, double lambda) {
    return bm::pdf(bm::non_central_chi_squared_distribution<double>(df, lambda), x);
}

double noncentralChiSquareQuantile(double p, double df, double lambda) {
    return bm::quantile(bm::non_central_chi_squared_distribution<double>(df, lambda), p);
}

double incompleteBeta(double a, double b, double x) {
    return bm::ibeta(a, b, x);
}

double incompleteBetaComplement(double a, double b, double x) {
    return bm::ibetac(a, b, x);
}

double gammaP(double a, double x) {
    return bm::gamma_p(a, x);
}

double gammaQ(double a, double x) {
    return bm::gamma_q(a, x);
}

double owensT(double h, double a) {
    return bm::owens_t(h, a);
}

}  // namespace quorvel::oracle
