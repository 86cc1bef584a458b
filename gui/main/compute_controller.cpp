#include "gui/main/compute_controller.h"

#include <array>
#include <charconv>
#include <string>

#include "gui/dialog/control_ids.h"
#include "model/computation.h"
#include "model/request_model.h"
#include "numerics/calculators.h"

namespace quorvel {

namespace {
using namespace control;

constexpr double kConfidence90 = 0.90;

struct DistributionLabels {
    const char* value;
    const char* df1;
    const char* noncentrality;
    bool showsDf2;
    const char* confidenceGroup;
};

constexpr std::array<DistributionLabels, 3> kLabels{{
    {"F Value", "Df1", "Lambda", true, "Confidence Limits for Lambda"},
    {"T Value", "Df", "Delta", false, "Confidence Limits for Delta"},
    {"X2 Value", "Df", "Lambda", false, "Confidence Limits for Lambda"},
}};

enum class Role { Input, Output, Hidden };

struct FieldControls {
    int field;
    int spin;
    int label;
};

constexpr FieldControls kValue{kValueField, kValueSpin, kValueLabel};
constexpr FieldControls kNoncentrality{kNoncentralityField, kNoncentralitySpin,
                                       kNoncentralityLabel};
constexpr FieldControls kCumP{kCumPField, kCumPSpin, kCumPLabel};

// Roles of the Value, Noncentrality and CumP fields for quantities 0..5.
struct QuantityRoles {
    Role value;
    Role noncentrality;
    Role cumP;
};

constexpr std::array<QuantityRoles, 6> kRoles{{
    {Role::Input, Role::Input, Role::Output},
    {Role::Output, Role::Input, Role::Input},
    {Role::Input, Role::Output, Role::Input},
    {Role::Input, Role::Hidden, Role::Hidden},
    {Role::Input, Role::Hidden, Role::Hidden},
    {Role::Input, Role::Hidden, Role::Hidden},
}};

// The distribution and the quantity of each radio position.
constexpr std::array<DistributionKind, 3> kDistributionAt{DistributionKind::F, DistributionKind::T,
                                                          DistributionKind::ChiSquare};
constexpr std::array<QuantityKind, 6> kQuantityAt{
    QuantityKind::CumP,     QuantityKind::Value,    QuantityKind::Noncentrality,
    QuantityKind::Interval, QuantityKind::Interval, QuantityKind::Interval};

// The field that shows each input of the request model; the confidence level has none (the
// interval buttons set it), and no control has the id 0.
constexpr int kNoField = 0;
struct InputField {
    RequestInput input;
    int field;
};
constexpr std::array<InputField, 5> kInputFields{{
    {RequestInput::Value, kValueField},
    {RequestInput::Df1, kDf1Field},
    {RequestInput::Df2, kDf2Field},
    {RequestInput::Noncentrality, kNoncentralityField},
    {RequestInput::CumP, kCumPField},
}};

int fieldOf(RequestInput input) {
    for (const InputField& entry : kInputFields) {
        if (entry.input == input) {
            return entry.field;
        }
    }
    return kNoField;
}

bool isDistribution(int d) {
    return d >= radio::F && d <= radio::ChiSquare;
}
bool isQuantity(int q) {
    return q >= radio::CumP && q <= radio::Interval99;
}
bool isInterval(int q) {
    return q >= radio::Interval90 && q <= radio::Interval99;
}

// The radio position of a request's quantity; an interval's by its level, and none (−1) for a
// level without a button or a density, which the window does not compute.
int quantityPosition(const ComputeRequest& request) {
    switch (request.quantity) {
        case QuantityKind::CumP:
            return radio::CumP;
        case QuantityKind::Value:
            return radio::Value;
        case QuantityKind::Noncentrality:
            return radio::Noncentrality;
        case QuantityKind::Density:
        case QuantityKind::Upper:
            return -1;
        case QuantityKind::Interval:
            break;
    }
    constexpr std::array<double, 3> kLevels{0.90, 0.95, 0.99};
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
        if (request.confidence == kLevels[i]) {
            return radio::Interval90 + static_cast<int>(i);
        }
    }
    return -1;
}

// The text of an input that reads back as exactly the number: in fixed notation where that is
// short ("0.95", "0.00001"), otherwise the shortest form ("1e-300").
std::string inputText(double number) {
    constexpr std::size_t kLongestFixed = 17;
    char buffer[400];
    std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
    if (written.ec != std::errc{} ||
        static_cast<std::size_t>(written.ptr - buffer) > kLongestFixed) {
        written = std::to_chars(buffer, buffer + sizeof buffer, number);
    }
    return std::string(buffer, written.ptr);
}

std::string inputText(const ComputeRequest& request, RequestInput input) {
    switch (input) {
        case RequestInput::Value:
            return inputText(request.value);
        case RequestInput::Df1:
            return std::to_string(request.df1);
        case RequestInput::Df2:
            return std::to_string(request.df2);
        case RequestInput::Noncentrality:
            return inputText(request.noncentrality);
        case RequestInput::CumP:
            return inputText(request.cumP);
        case RequestInput::PLower:
        case RequestInput::PUpper:
            // The window has no field for a tail probability.
            return request.tailTarget ? inputText(request.tailTarget->probability) : "";
        case RequestInput::Confidence:
            break;
    }
    return inputText(request.confidence);
}

void applyRole(ComputeView& view, const FieldControls& controls, Role role) {
    switch (role) {
        case Role::Input:
            view.setVisible(controls.field, true);
            view.setVisible(controls.label, true);
            view.setReadOnly(controls.field, false);
            view.setVisible(controls.spin, true);
            break;
        case Role::Output:
            view.setVisible(controls.field, true);
            view.setVisible(controls.label, true);
            view.setReadOnly(controls.field, true);
            view.setText(controls.field, "");
            view.setVisible(controls.spin, false);
            break;
        case Role::Hidden:
            view.setVisible(controls.field, false);
            view.setVisible(controls.spin, false);
            view.setVisible(controls.label, false);
            break;
    }
}

}  // namespace

ComputeController::ComputeController(Calculators& calculators, ComputeView& view)
    : calculators_(calculators), view_(view) {}

void ComputeController::startUp() {
    distribution_ = radio::F;
    quantity_ = radio::CumP;
    confidence_ = kConfidence90;
    view_.checkPosition(RadioGroup::Distribution, distribution_);
    view_.checkPosition(RadioGroup::Quantity, quantity_);
    updateLayout();
    setStatus(ComputeStatus::NeedsCompute);
}

void ComputeController::updateLayout() {
    readSelection();
    labelForDistribution();
    layoutConfidenceGroup();
    assignFieldRoles();
    fillEmptyInputs();
    setStatus(ComputeStatus::NeedsCompute);
}

void ComputeController::selectInterval(double confidence) {
    confidence_ = confidence;
    updateLayout();
}

void ComputeController::readSelection() {
    distribution_ = view_.checkedPosition(RadioGroup::Distribution);
    quantity_ = view_.checkedPosition(RadioGroup::Quantity);
}

void ComputeController::labelForDistribution() {
    if (!isDistribution(distribution_)) {
        return;
    }
    const DistributionLabels& labels = kLabels[distribution_];
    view_.setText(kValueLabel, labels.value);
    view_.setText(kDf1Label, labels.df1);
    view_.setVisible(kDf2Label, labels.showsDf2);
    view_.setVisible(kDf2Field, labels.showsDf2);
    view_.setVisible(kDf2Spin, labels.showsDf2);
    view_.setText(kNoncentralityLabel, labels.noncentrality);
    view_.setText(kRadioValue, labels.value);
    view_.setText(kRadioNoncentrality, labels.noncentrality);
    view_.setVisible(kTallPropertiesGroup, labels.showsDf2);
    view_.setVisible(kShortPropertiesGroup, !labels.showsDf2);
}

void ComputeController::layoutConfidenceGroup() {
    if (!isQuantity(quantity_)) {
        return;
    }
    const bool interval = isInterval(quantity_);
    for (int id : {kConfidenceGroup, kLowerLabel, kUpperLabel, kLowerField, kUpperField}) {
        view_.setVisible(id, interval);
    }
    view_.setReadOnly(kLowerField, interval);
    view_.setReadOnly(kUpperField, interval);
    if (interval && isDistribution(distribution_)) {
        view_.setText(kConfidenceGroup, kLabels[distribution_].confidenceGroup);
    }
}

void ComputeController::assignFieldRoles() {
    if (!isQuantity(quantity_)) {
        return;
    }
    const QuantityRoles& roles = kRoles[quantity_];
    applyRole(view_, kValue, roles.value);
    applyRole(view_, kNoncentrality, roles.noncentrality);
    applyRole(view_, kCumP, roles.cumP);
}

void ComputeController::fillEmptyInputs() {
    for (const InputDefault& entry : kInputDefaults) {
        const int field = fieldOf(entry.input);
        if (!view_.isReadOnly(field) && view_.text(field).empty()) {
            view_.setValue(field, entry.value);
        }
    }
}

void ComputeController::compute() {
    readSelection();
    setStatus(ComputeStatus::Working);
    if (isDistribution(distribution_) && isQuantity(quantity_)) {
        const ComputeRequest request = readRequest();
        const ComputeOutcome outcome = computeQuantity(calculators_, request);
        writeOutcome(request.quantity, outcome);
        setStatus(ComputeStatus::Finished);
        listeners_.quantityComputed(request, outcome);
        return;
    }
    setStatus(ComputeStatus::Finished);
}

ComputeRequest ComputeController::readRequest() {
    ComputeRequest request;
    request.distribution = kDistributionAt[distribution_];
    request.quantity = kQuantityAt[quantity_];
    request.confidence = confidence_;
    const InputNeeds needs = inputsFor(request.distribution, request.quantity);
    // The arguments are read from the last to the first.
    for (auto input = needs.required.rbegin(); input != needs.required.rend(); ++input) {
        assignInput(request, *input, view_.value(fieldOf(*input)));
    }
    return request;
}

void ComputeController::writeOutcome(QuantityKind quantity, const ComputeOutcome& outcome) {
    switch (quantity) {
        case QuantityKind::CumP:
            view_.setValue(kCumPField, outcome.result);
            break;
        case QuantityKind::Value:
            view_.setValue(kValueField, outcome.result);
            break;
        case QuantityKind::Noncentrality:
            view_.setValue(kNoncentralityField, outcome.result);
            break;
        case QuantityKind::Interval:
            view_.setValue(kUpperField, outcome.upper);
            view_.setValue(kLowerField, outcome.lower);
            break;
        case QuantityKind::Density:
        case QuantityKind::Upper:
            // The window has no field for a density or an upper tail (kQuantityAt never selects
            // them); its plots ask the families directly. Nothing to write.
            break;
    }
}

bool ComputeController::restore(const ComputeRequest& request) {
    const int quantity = quantityPosition(request);
    if (quantity < 0) {
        return false;
    }
    int distribution = radio::F;
    while (kDistributionAt[distribution] != request.distribution) {
        ++distribution;
    }
    view_.checkPosition(RadioGroup::Distribution, distribution);
    view_.checkPosition(RadioGroup::Quantity, quantity);
    if (isInterval(quantity)) {
        confidence_ = request.confidence;
    }
    updateLayout();
    for (RequestInput input : inputsFor(request.distribution, request.quantity).required) {
        view_.setText(fieldOf(input), inputText(request, input));
    }
    if (isInterval(quantity)) {
        view_.setText(kLowerField, "");
        view_.setText(kUpperField, "");
    }
    setStatus(ComputeStatus::NeedsCompute);
    return true;
}

void ComputeController::markNeedsCompute() {
    setStatus(ComputeStatus::NeedsCompute);
}

void ComputeController::setStatus(ComputeStatus status) {
    status_ = status;
    switch (status) {
        case ComputeStatus::NeedsCompute:
            view_.setText(kComputeButton, "COMPUTE");
            if (!view_.isHighlighted()) {
                view_.setHighlight(true);
            }
            break;
        case ComputeStatus::Working:
            view_.setText(kComputeButton, "Working");
            break;
        case ComputeStatus::Finished:
            view_.setText(kComputeButton, "Finished");
            if (view_.isHighlighted()) {
                view_.setHighlight(false);
            }
            break;
    }
}

}  // namespace quorvel
