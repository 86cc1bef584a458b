#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

#include "tests/support/boost_oracle.h"

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

}  // namespace quorvel::oracle
