#include "numerics/calculators.h"

#include "numerics/chisquare/noncentral_chi_square.h"
#include "numerics/f/noncentral_beta.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/normal_distribution.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {

Calculators::Calculators(FailureReporter& reporter)
    : FailureContext(reporter),
      beta_(std::make_unique<NoncentralBeta>(*this, *this)),
      f_(std::make_unique<NoncentralF>(*this, *this)),
      normal_(std::make_unique<NormalDistribution>()),
      t_(std::make_unique<NoncentralT>(*this, *this)),
      chiSquare_(std::make_unique<NoncentralChiSquare>(*this, *this)) {}

Calculators::~Calculators() {
    beta_.reset();
    f_.reset();
    normal_.reset();
    t_.reset();
    chiSquare_.reset();
}

}  // namespace quorvel
