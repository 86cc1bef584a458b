#include <boost/math/distributions/non_central_t.hpp>

#include "tests/support/boost_oracle.h"

namespace quorvel::oracle {

namespace bm = boost::math;

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

}  // namespace quorvel::oracle
