#include "numerics/calculators.h"

#include "numerics/f/noncentral_beta.h"
#include "numerics/f/noncentral_f.h"
#include "numerics/foundations/normal_distribution.h"

namespace quorvel {

Calculators::Calculators(FailureReporter& reporter)
    : reporter_(reporter),
      beta_(std::make_unique<NoncentralBeta>(*this)),
      f_(std::make_unique<NoncentralF>(*this)),
      normal_(std::make_unique<NormalDistribution>()) {}

Calculators::~Calculators() {
    beta_.reset();
    f_.reset();
    normal_.reset();
}

}  // namespace quorvel
