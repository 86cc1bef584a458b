#include <boost/math/distributions/non_central_chi_squared.hpp>

#include "tests/support/boost_oracle.h"

namespace quorvel::oracle {

namespace bm = boost::math;

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

}  // namespace quorvel::oracle
