#include <boost/math/distributions/non_central_f.hpp>

#include "tests/support/boost_oracle.h"

namespace quorvel::oracle {

namespace bm = boost::math;

double noncentralFCdf(double x, double df1, double df2, double lambda) {
    return bm::cdf(bm::non_central_f_distribution<double>(df1, df2, lambda), x);
}

double noncentralFPdf(double x, double df1, double df2, double lambda) {
    return bm::pdf(bm::non_central_f_distribution<double>(df1, df2, lambda), x);
}

double noncentralFQuantile(double p, double df1, double df2, double lambda) {
    return bm::quantile(bm::non_central_f_distribution<double>(df1, df2, lambda), p);
}

}  // namespace quorvel::oracle
