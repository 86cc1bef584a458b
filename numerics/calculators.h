#pragma once

#include <memory>

#include "numerics/foundations/failure/failure_context.h"

namespace quorvel {

class NoncentralBeta;
class NoncentralF;
class NormalDistribution;
class NoncentralT;
class NoncentralChiSquare;

// Owns the failure context and the single instance of every calculator for the whole run; the
// calculators reach one another through it. Created by the application (or by a test), never
// global.
class Calculators : public FailureContext {
  public:
    // Sets the failure value, then creates the calculators in their fixed order.
    explicit Calculators(FailureReporter& reporter);
    // Deletes the calculators in the order of creation.
    ~Calculators();
    Calculators(const Calculators&) = delete;
    Calculators& operator=(const Calculators&) = delete;

    NoncentralBeta& beta() const { return *beta_; }
    NoncentralF& f() const { return *f_; }
    NormalDistribution& normal() const { return *normal_; }
    NoncentralT& t() const { return *t_; }
    NoncentralChiSquare& chiSquare() const { return *chiSquare_; }

  private:
    std::unique_ptr<NoncentralBeta> beta_;
    std::unique_ptr<NoncentralF> f_;
    std::unique_ptr<NormalDistribution> normal_;
    std::unique_ptr<NoncentralT> t_;
    std::unique_ptr<NoncentralChiSquare> chiSquare_;
};

}  // namespace quorvel
