#include "bench/bench_cases.h"

#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/non_central_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>

namespace quorvel::bench {

namespace {

namespace bm = boost::math;

struct Inputs {
    double value;
    int df1;
    int df2;
    double noncentrality;
    double cumP;
};

// Boost's value of the same quantity, where Boost offers it.
std::function<double()> boostCounterpart(DistributionKind distribution, QuantityKind quantity,
                                         const Inputs& in) {
    switch (distribution) {
        case DistributionKind::F: {
            const bm::non_central_f_distribution<double> d(in.df1, in.df2, in.noncentrality);
            if (quantity == QuantityKind::CumP)
                return [=] { return bm::cdf(d, in.value); };
            if (quantity == QuantityKind::Value)
                return [=] { return bm::quantile(d, in.cumP); };
            return {};
        }
        case DistributionKind::T: {
            const bm::non_central_t_distribution<double> d(in.df1, in.noncentrality);
            if (quantity == QuantityKind::CumP)
                return [=] { return bm::cdf(d, in.value); };
            if (quantity == QuantityKind::Value)
                return [=] { return bm::quantile(d, in.cumP); };
            return {};
        }
        case DistributionKind::ChiSquare: {
            const bm::non_central_chi_squared_distribution<double> d(in.df1, in.noncentrality);
            if (quantity == QuantityKind::CumP)
                return [=] { return bm::cdf(d, in.value); };
            if (quantity == QuantityKind::Value)
                return [=] { return bm::quantile(d, in.cumP); };
            if (quantity == QuantityKind::Noncentrality) {
                return [=] {
                    return bm::non_central_chi_squared_distribution<double>::find_non_centrality(
                        in.df1, in.value, in.cumP);
                };
            }
            return {};
        }
    }
    return {};
}

void addCases(std::vector<BenchCase>& cases, DistributionKind distribution, const char* label,
              const Inputs& in) {
    struct Quantity {
        QuantityKind kind;
        const char* name;
        double confidence;
    };
    const Quantity quantities[] = {
        {QuantityKind::CumP, "cdf", 0.95},
        {QuantityKind::Value, "value", 0.95},
        {QuantityKind::Noncentrality, "noncentrality", 0.95},
        {QuantityKind::Interval, "interval 90%", 0.90},
        {QuantityKind::Interval, "interval 95%", 0.95},
        {QuantityKind::Interval, "interval 99%", 0.99},
    };
    for (const Quantity& quantity : quantities) {
        ComputeRequest request{distribution, quantity.kind, in.value, in.noncentrality,
                               in.cumP,      in.df1,        in.df2,   quantity.confidence};
        cases.push_back(
            {std::string(distributionName(distribution)) + " " + quantity.name + " " + label,
             request, boostCounterpart(distribution, quantity.kind, in)});
    }
}

}  // namespace

std::vector<BenchCase> benchCases() {
    std::vector<BenchCase> cases;
    addCases(cases, DistributionKind::F, "typical", {3.0, 5, 10, 5.0, 0.5});
    addCases(cases, DistributionKind::F, "hard", {2000.0, 3, 100, 10000.0, 0.0001});
    addCases(cases, DistributionKind::T, "typical", {2.0, 10, 0, 1.0, 0.5});
    addCases(cases, DistributionKind::T, "hard", {2.0, 100000, 0, 1.0, 0.9999});
    addCases(cases, DistributionKind::ChiSquare, "typical", {10.0, 5, 0, 3.0, 0.5});
    addCases(cases, DistributionKind::ChiSquare, "hard", {103000.0, 100000, 0, 5000.0, 0.9999});
    return cases;
}

}  // namespace quorvel::bench
