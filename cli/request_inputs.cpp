#include "cli/request_inputs.h"

namespace quorvel::cli {

InputNeeds inputsFor(DistributionKind distribution, QuantityKind quantity) {
    InputNeeds needs;
    needs.required.push_back(quantity == QuantityKind::Value ? Input::CumP : Input::Value);
    needs.required.push_back(Input::Df1);
    if (distribution == DistributionKind::F) {
        needs.required.push_back(Input::Df2);
    }
    switch (quantity) {
        case QuantityKind::CumP:
        case QuantityKind::Value:
            needs.required.push_back(Input::Noncentrality);
            break;
        case QuantityKind::Noncentrality:
            needs.required.push_back(Input::CumP);
            break;
        case QuantityKind::Interval:
            needs.takesConfidence = true;
            break;
    }
    return needs;
}

bool isDegreesOfFreedom(Input input) {
    return input == Input::Df1 || input == Input::Df2;
}

void assignInput(ComputeRequest& request, Input input, double number) {
    switch (input) {
        case Input::Value:
            request.value = number;
            break;
        case Input::Df1:
            request.df1 = truncateDegreesOfFreedom(number);
            break;
        case Input::Df2:
            request.df2 = truncateDegreesOfFreedom(number);
            break;
        case Input::Noncentrality:
            request.noncentrality = number;
            break;
        case Input::CumP:
            request.cumP = number;
            break;
        case Input::Confidence:
            request.confidence = number;
            break;
    }
}

std::optional<DistributionKind> distributionNamed(std::string_view name) {
    for (DistributionKind distribution :
         {DistributionKind::F, DistributionKind::T, DistributionKind::ChiSquare}) {
        if (name == distributionName(distribution)) {
            return distribution;
        }
    }
    return std::nullopt;
}

std::optional<QuantityKind> quantityNamed(std::string_view name) {
    if (name == "cdf")
        return QuantityKind::CumP;
    if (name == "value")
        return QuantityKind::Value;
    if (name == "noncentrality")
        return QuantityKind::Noncentrality;
    if (name == "interval")
        return QuantityKind::Interval;
    return std::nullopt;
}

}  // namespace quorvel::cli
