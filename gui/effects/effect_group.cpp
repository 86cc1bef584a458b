#include "gui/effects/effect_group.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <variant>

#include "gui/help/program_resources.h"
#include "gui/widgets/cnum_edit.h"
#include "gui/widgets/message_box_reporter.h"
#include "gui/widgets/num_edit_logic.h"
#include "model/computation_listener.h"
#include "numerics/calculators.h"

namespace quorvel {

namespace {

constexpr int kMinDecimals = 2;
constexpr int kMaxDecimals = 6;
// The confidence levels the window offers.
constexpr double kLowestConfidence = 0.80;
constexpr double kHighestConfidence = 0.9999;
// Room for a 17-digit number with its sign, point and exponent.
constexpr int kResultCharacters = 24;

}  // namespace

EffectGroup::EffectGroup(const QString& title, DistributionKind distribution,
                         std::string_view command, Calculators& calculators,
                         ComputationListeners& listeners)
    : QGroupBox(title),
      distribution_(distribution),
      commands_{command},
      quantity_(effectCommandNamed(distribution, command)->quantity),
      calculators_(calculators),
      listeners_(listeners),
      columns_(new QHBoxLayout(this)),
      inputs_(new QFormLayout) {
    columns_->addLayout(inputs_);
}

QLabel* EffectGroup::addRow(const char* label, QWidget* field, std::uint32_t popupId) {
    auto* caption = new QLabel(tr(label));
    caption->setBuddy(field);
    const QString text = effectsWhatsThis(popupId);
    caption->setWhatsThis(text);
    field->setWhatsThis(text);
    inputs_->addRow(caption, field);
    return caption;
}

void EffectGroup::addMeasureChoice(const char* label,
                                   const std::vector<EffectMeasureOption>& measures,
                                   std::uint32_t popupId) {
    measure_ = new QComboBox;
    commands_.clear();
    for (const EffectMeasureOption& measure : measures) {
        measure_->addItem(tr(measure.caption));
        commands_.push_back(measure.command);
    }
    addRow(label, measure_, popupId);
    connect(measure_, &QComboBox::currentIndexChanged, this, &EffectGroup::clearResults);
}

void EffectGroup::addField(const EffectField& field) {
    auto* edit = new CNumEdit(calculators_.failureValue);
    if (field.integer) {
        edit->Init(static_cast<int>(field.value), static_cast<int>(field.min),
                   static_cast<int>(field.max));
    } else {
        edit->Init(field.value, field.min, field.max, kMinDecimals, kMaxDecimals);
    }
    edit->setChangeListener([this] { clearResults(); });
    fields_.push_back({field.input, addRow(field.label, edit, field.popupId), edit});
}

void EffectGroup::addSidesChoice(std::uint32_t popupId) {
    sides_ = new QComboBox;
    sides_->addItem(tr("Two-sided"));
    sides_->addItem(tr("One-sided"));
    addRow(QT_TR_NOOP("Si&des:"), sides_, popupId);
    connect(sides_, &QComboBox::currentIndexChanged, this, &EffectGroup::clearResults);
}

void EffectGroup::addResults(const char* computeCaption,
                             const std::vector<const char*>& resultLabels,
                             std::uint32_t resultPopupId) {
    auto* column = new QVBoxLayout;
    computeButton_ = new QPushButton(tr(computeCaption));
    computeButton_->setWhatsThis(effectsWhatsThis(resultPopupId));
    connect(computeButton_, &QPushButton::clicked, this, &EffectGroup::compute);
    column->addWidget(computeButton_);
    outputs_ = new QFormLayout;
    for (const char* label : resultLabels) {
        auto* result = new CNumEdit(calculators_.failureValue);
        result->setReadOnly(true);
        result->setMinimumWidth(result->fontMetrics().averageCharWidth() * kResultCharacters);
        result->setWhatsThis(effectsWhatsThis(resultPopupId));
        outputs_->addRow(tr(label), result);
        results_.push_back(result);
    }
    column->addLayout(outputs_);
    status_ = new QLabel;
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(status_);
    column->addStretch();
    columns_->addLayout(column, 1);
}

bool EffectGroup::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut && !inputs_->isEmpty()) {
        inputs_->itemAt(0, QFormLayout::FieldRole)->widget()->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QGroupBox::event(event);
}

CNumEdit* EffectGroup::field(EffectInput input) const {
    for (const Input& field : fields_) {
        if (field.input == input) {
            return field.edit;
        }
    }
    return nullptr;
}

void EffectGroup::setRowShown(EffectInput input, bool shown) {
    if (CNumEdit* edit = field(input)) {
        inputs_->setRowVisible(edit, shown);
    }
}

void EffectGroup::setTwoGroups(bool twoGroups) {
    twoGroups_ = twoGroups;
    setRowShown(EffectInput::N, !twoGroups);
    setRowShown(EffectInput::N1, twoGroups);
    setRowShown(EffectInput::N2, twoGroups);
    if (quantity_ == EffectQuantity::SampleSize && !outputs_->isEmpty()) {
        static_cast<QLabel*>(outputs_->itemAt(0, QFormLayout::LabelRole)->widget())
            ->setText(twoGroups ? tr("N per group:") : tr("N:"));
    }
    clearResults();
}

const EffectCommand& EffectGroup::command() const {
    const std::size_t chosen =
        measure_ != nullptr ? static_cast<std::size_t>(measure_->currentIndex()) : 0;
    return *effectCommandNamed(distribution_, commands_.at(chosen));
}

// The caption without its mnemonic and colon: the name the rules give in their messages.
std::string EffectGroup::nameOf(EffectInput input) const {
    for (const Input& field : fields_) {
        if (field.input == input) {
            return field.label->text()
                .remove(QLatin1Char('&'))
                .remove(QLatin1Char(':'))
                .toStdString();
        }
    }
    return std::string(effectInputName(input));
}

EffectTexts EffectGroup::texts() const {
    EffectTexts texts;
    const bool tDesign = distribution_ == DistributionKind::T;
    for (const Input& field : fields_) {
        const bool sizeOfOtherDesign =
            tDesign &&
            ((field.input == EffectInput::N && twoGroups_) ||
             ((field.input == EffectInput::N1 || field.input == EffectInput::N2) && !twoGroups_));
        if (!sizeOfOtherDesign) {
            texts[field.input] = field.edit->text().trimmed().toStdString();
        }
    }
    if (sides_ != nullptr) {
        texts.emplace(EffectInput::Sides, sides_->currentIndex() == 0 ? "2" : "1");
    }
    if (tDesign && quantity_ == EffectQuantity::SampleSize) {
        texts.emplace(EffectInput::Design, twoGroups_ ? "two-sample" : "one-sample");
    }
    return texts;
}

void EffectGroup::compute() {
    MessageBoxOwnerScope boxes(calculators_.reporter(), window());
    std::variant<EffectRequest, std::string> built =
        effectRequestFrom(command(), texts(), [this](EffectInput input) { return nameOf(input); });
    if (const auto* request = std::get_if<EffectRequest>(&built);
        request != nullptr && request->quantity == EffectQuantity::Estimate &&
        !(request->confidence >= kLowestConfidence && request->confidence <= kHighestConfidence)) {
        built = nameOf(EffectInput::Confidence) + " must lie from 0.80 to 0.9999";
    }
    if (const auto* problem = std::get_if<std::string>(&built)) {
        calculators_.reporter().show(*problem);
        showFailure({*problem});
        return;
    }
    const EffectRequest& request = std::get<EffectRequest>(built);
    const EffectOutcome outcome = computeEffect(calculators_, request);
    if (outcome.failed) {
        showFailure(outcome.messages);
    } else {
        const std::vector<std::string> numbers = effectOutputNumbers(request.quantity, outcome);
        for (std::size_t index = 0; index < results_.size(); ++index) {
            results_[index]->setText(QString::fromStdString(numbers.at(index)));
            results_[index]->setCursorPosition(0);
        }
        status_->setText(tr("Finished"));
    }
    listeners_.effectComputed(request, outcome);
}

void EffectGroup::showFailure(const std::vector<std::string>& messages) {
    for (CNumEdit* result : results_) {
        result->setText(QString::fromUtf8(kFailedText));
        result->setCursorPosition(0);
    }
    QString text = tr("Failed:");
    for (const std::string& message : messages) {
        text += QLatin1Char(' ') + QString::fromStdString(message);
    }
    status_->setText(text);
}

void EffectGroup::restore(const EffectRequest& request) {
    const EffectCommand* restored = effectCommandFor(request);
    if (restored == nullptr) {
        return;
    }
    if (measure_ != nullptr) {
        const auto found = std::find(commands_.begin(), commands_.end(), restored->name);
        if (found != commands_.end()) {
            measure_->setCurrentIndex(static_cast<int>(found - commands_.begin()));
        }
    }
    if (sides_ != nullptr) {
        sides_->setCurrentIndex(request.sides == 2 ? 0 : 1);
    }
    const EffectTexts texts = effectTextsOf(*restored, request);
    for (const Input& field : fields_) {
        if (const auto text = texts.find(field.input); text != texts.end()) {
            field.edit->setText(QString::fromStdString(text->second));
        }
    }
    clearResults();
}

void EffectGroup::clearResults() {
    for (CNumEdit* result : results_) {
        result->clear();
    }
    if (status_ != nullptr) {
        status_->clear();
    }
}

}  // namespace quorvel
