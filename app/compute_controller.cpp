#include "app/compute_controller.h"

#include <array>
#include <vector>

#include "app/control_ids.h"
#include "numerics/calculators.h"
#include "numerics/computation.h"

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

struct FieldDefault {
    int field;
    double value;
};

// In the order in which empty inputs receive their defaults.
constexpr std::array<FieldDefault, 5> kDefaults{{
    {kCumPField, 0.95},
    {kValueField, 1.0},
    {kNoncentralityField, 0.0},
    {kDf1Field, 1.0},
    {kDf2Field, 1.0},
}};

bool isDistribution(int d) {
    return d >= Distribution::F && d <= Distribution::ChiSquare;
}
bool isQuantity(int q) {
    return q >= Quantity::CumP && q <= Quantity::Interval99;
}
bool isInterval(int q) {
    return q >= Quantity::Interval90 && q <= Quantity::Interval99;
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

QuantityKind quantityKind(int quantity) {
    switch (quantity) {
        case Quantity::CumP:
            return QuantityKind::CumP;
        case Quantity::Value:
            return QuantityKind::Value;
        case Quantity::Noncentrality:
            return QuantityKind::Noncentrality;
        default:
            return QuantityKind::Interval;
    }
}

// The fields a combination reads, in the order of the routine's arguments.
std::vector<int> argumentFields(int distribution, int quantity) {
    std::vector<int> fields;
    fields.push_back(quantity == Quantity::Value ? kCumPField : kValueField);
    fields.push_back(kDf1Field);
    if (distribution == Distribution::F) {
        fields.push_back(kDf2Field);
    }
    if (quantity == Quantity::CumP || quantity == Quantity::Value) {
        fields.push_back(kNoncentralityField);
    } else if (quantity == Quantity::Noncentrality) {
        fields.push_back(kCumPField);
    }
    return fields;
}
}  // namespace

ComputeController::ComputeController(Calculators& calculators, ComputeView& view)
    : calculators_(calculators), view_(view) {}

void ComputeController::startUp() {
    distribution_ = Distribution::F;
    quantity_ = Quantity::CumP;
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
    for (const FieldDefault& entry : kDefaults) {
        if (!view_.isReadOnly(entry.field) && view_.text(entry.field).empty()) {
            view_.setValue(entry.field, entry.value);
        }
    }
}

void ComputeController::compute() {
    readSelection();
    setStatus(ComputeStatus::Working);
    if (isDistribution(distribution_) && isQuantity(quantity_)) {
        const ComputeRequest request = readRequest();
        writeOutcome(request.quantity, computeQuantity(calculators_, request));
    }
    setStatus(ComputeStatus::Finished);
}

ComputeRequest ComputeController::readRequest() {
    ComputeRequest request;
    request.distribution = static_cast<DistributionKind>(distribution_);
    request.quantity = quantityKind(quantity_);
    request.confidence = confidence_;
    const std::vector<int> fields = argumentFields(distribution_, quantity_);
    // The arguments are read from the last to the first.
    for (auto field = fields.rbegin(); field != fields.rend(); ++field) {
        const double read = view_.value(*field);
        switch (*field) {
            case kValueField:
                request.value = read;
                break;
            case kNoncentralityField:
                request.noncentrality = read;
                break;
            case kCumPField:
                request.cumP = read;
                break;
            case kDf1Field:
                request.df1 = truncateDegreesOfFreedom(read);
                break;
            case kDf2Field:
                request.df2 = truncateDegreesOfFreedom(read);
                break;
            default:
                break;
        }
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
    }
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
