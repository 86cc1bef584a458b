#include "model/request_model.h"

#include <cctype>
#include <string>

namespace quorvel {

InputNeeds inputsFor(DistributionKind distribution, QuantityKind quantity) {
    InputNeeds needs;
    needs.required.push_back(quantity == QuantityKind::Value ? RequestInput::CumP
                                                             : RequestInput::Value);
    needs.required.push_back(RequestInput::Df1);
    if (distribution == DistributionKind::F) {
        needs.required.push_back(RequestInput::Df2);
    }
    switch (quantity) {
        case QuantityKind::CumP:
        case QuantityKind::Density:
        case QuantityKind::Upper:
        case QuantityKind::Value:
            needs.required.push_back(RequestInput::Noncentrality);
            break;
        case QuantityKind::Noncentrality:
            needs.required.push_back(RequestInput::CumP);
            break;
        case QuantityKind::Interval:
            needs.takesConfidence = true;
            break;
    }
    return needs;
}

bool isDegreesOfFreedom(RequestInput input) {
    return input == RequestInput::Df1 || input == RequestInput::Df2;
}

bool isProbabilityTarget(RequestInput input) {
    return input == RequestInput::CumP || input == RequestInput::PLower ||
           input == RequestInput::PUpper;
}

void assignInput(ComputeRequest& request, RequestInput input, double number) {
    switch (input) {
        case RequestInput::Value:
            request.value = number;
            break;
        case RequestInput::Df1:
            request.df1 = truncateDegreesOfFreedom(number);
            break;
        case RequestInput::Df2:
            request.df2 = truncateDegreesOfFreedom(number);
            break;
        case RequestInput::Noncentrality:
            request.noncentrality = number;
            break;
        case RequestInput::CumP:
            request.cumP = number;
            break;
        case RequestInput::Confidence:
            request.confidence = number;
            break;
        case RequestInput::PLower:
            request.tailTarget = TailProbability{Tail::Lower, number};
            break;
        case RequestInput::PUpper:
            request.tailTarget = TailProbability{Tail::Upper, number};
            break;
    }
}

std::optional<DistributionKind> distributionNamed(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    // The window calls the chi-square distribution "X2".
    if (lowered == "x2") {
        return DistributionKind::ChiSquare;
    }
    for (DistributionKind distribution :
         {DistributionKind::F, DistributionKind::T, DistributionKind::ChiSquare}) {
        if (lowered == distributionName(distribution)) {
            return distribution;
        }
    }
    return std::nullopt;
}

namespace {
constexpr struct {
    std::string_view name;
    QuantityKind quantity;
} kQuantityNames[] = {{"cdf", QuantityKind::CumP},
                      {"value", QuantityKind::Value},
                      {"noncentrality", QuantityKind::Noncentrality},
                      {"interval", QuantityKind::Interval},
                      {"pdf", QuantityKind::Density},
                      {"upper", QuantityKind::Upper}};
}  // namespace

std::optional<QuantityKind> quantityNamed(std::string_view name) {
    for (const auto& entry : kQuantityNames) {
        if (name == entry.name) {
            return entry.quantity;
        }
    }
    return std::nullopt;
}

const char* quantityName(QuantityKind quantity) {
    for (const auto& entry : kQuantityNames) {
        if (entry.quantity == quantity) {
            return entry.name.data();
        }
    }
    return "cdf";
}

}  // namespace quorvel
