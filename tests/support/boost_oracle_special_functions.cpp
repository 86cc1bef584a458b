#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/owens_t.hpp>

#include "tests/support/boost_oracle.h"

namespace quorvel::oracle {

double incompleteBeta(double a, double b, double x) {
    return boost::math::ibeta(a, b, x);
}

double incompleteBetaComplement(double a, double b, double x) {
    return boost::math::ibetac(a, b, x);
}

double gammaP(double a, double x) {
    return boost::math::gamma_p(a, x);
}

double gammaQ(double a, double x) {
    return boost::math::gamma_q(a, x);
}

double owensT(double h, double a) {
    return boost::math::owens_t(h, a);
}

}  // namespace quorvel::oracle
