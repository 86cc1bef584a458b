#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/computation.h"

namespace quorvel::bench {

// One benchmarked computation: our routine through the program's own entry, and the same
// quantity from Boost.Math where Boost has it (empty otherwise).
struct BenchCase {
    std::string operation;
    ComputeRequest request;
    std::function<double()> boost;
};

// The 18 combinations (three distributions, six quantities) on a typical input and on a hard
// one within the accepted ranges.
std::vector<BenchCase> benchCases();

}  // namespace quorvel::bench
