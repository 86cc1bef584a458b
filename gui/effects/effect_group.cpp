#include "gui/effects/effect_group.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/help/program_resources.h"
#include "gui/widgets/cnum_edit.h"
#include "gui/widgets/message_box_reporter.h"
#include "model/number_text.h"
#include "numerics/calculators.h"

namespace quorvel {

namespace {

constexpr int kMinDecimals = 2;
constexpr int kMaxDecimals = 6;
// A design's formula with its sizes takes up to this many lines at the group's width.
constexpr int kFormulaLines = 3;
// Room for a 17-digit number with its sign, point and exponent.
constexpr int kResultCharacters = 24;
// The status line always has room for this many lines, so that a message appearing under the
// results moves nothing; a longer one is cut there and its tooltip carries it whole.
constexpr int kStatusLines = 3;

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A selectable, wrapped text of a fixed height: a longer one is cut there and its tooltip
// carries it whole.
QLabel* fixedRoomLabel(int lines) {
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setFixedHeight(label->fontMetrics().lineSpacing() * lines);
    return label;
}

std::vector<std::string_view> commandsOf(const std::vector<EffectMeasureOption>& options) {
    std::vector<std::string_view> commands;
    for (const EffectMeasureOption& option : options) {
        commands.push_back(option.command);
    }
    return commands;
}

}  // namespace

EffectGroup::EffectGroup(const QString& title, DistributionKind distribution,
                         std::string_view command, Calculators& calculators,
                         ComputationListeners& listeners)
    : QGroupBox(title),
      calculators_(calculators),
      controller_(distribution, command, calculators, listeners, *this),
      columns_(new QHBoxLayout),
      inputs_(new QFormLayout) {
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(columns_);
    columns_->addLayout(inputs_);
}

void EffectGroup::addRow(const char* label, QWidget* field, std::uint32_t popupId) {
    auto* caption = new QLabel(tr(label));
    caption->setBuddy(field);
    const QString text = effectsWhatsThis(popupId);
    caption->setWhatsThis(text);
    field->setWhatsThis(text);
    inputs_->addRow(caption, field);
}

// A choice of the command computed: the controller follows it.
QComboBox* EffectGroup::addCommandChoice(const char* label,
                                         const std::vector<EffectMeasureOption>& options,
                                         std::uint32_t popupId) {
    auto* box = new QComboBox;
    for (const EffectMeasureOption& option : options) {
        box->addItem(tr(option.caption));
    }
    addRow(label, box, popupId);
    connect(box, &QComboBox::currentIndexChanged, this, [this] { controller_.commandChanged(); });
    return box;
}

void EffectGroup::addMeasureChoice(const char* label,
                                   const std::vector<EffectMeasureOption>& measures,
                                   std::uint32_t popupId) {
    measure_ = addCommandChoice(label, measures, popupId);
    controller_.addMeasureChoice(commandsOf(measures));
}

void EffectGroup::addQuestionChoice(const char* label,
                                    const std::vector<EffectMeasureOption>& questions,
                                    std::uint32_t popupId) {
    question_ = addCommandChoice(label, questions, popupId);
    controller_.addQuestionChoice(commandsOf(questions));
}

void EffectGroup::addField(const EffectField& field) {
    auto* edit = new CNumEdit(calculators_.failureValue);
    if (field.integer) {
        edit->Init(static_cast<int>(field.value), static_cast<int>(field.min),
                   static_cast<int>(field.max));
    } else {
        edit->Init(field.value, field.min, field.max, kMinDecimals, kMaxDecimals);
    }
    edit->setChangeListener([this] { controller_.clearResults(); });
    addRow(field.label, edit, field.popupId);
    fields_.push_back({field.input, edit});
    controller_.addInput(field.input, tr(field.label).toStdString());
}

void EffectGroup::addSidesChoice(std::uint32_t popupId) {
    sides_ = new QComboBox;
    // In the order of sides_position.
    sides_->addItem(tr("Two-sided"));
    sides_->addItem(tr("One-sided"));
    controller_.addSidesChoice();
    addRow(QT_TR_NOOP("Si&des:"), sides_, popupId);
    connect(sides_, &QComboBox::currentIndexChanged, this, [this] { controller_.clearResults(); });
}

void EffectGroup::addAlternativeChoice(std::uint32_t popupId) {
    alternative_ = new QComboBox;
    // In the order of Alternative.
    alternative_->addItem(tr("Two-sided"));
    alternative_->addItem(tr("Greater: lower limit only"));
    alternative_->addItem(tr("Less: upper limit only"));
    controller_.addAlternativeChoice();
    addRow(QT_TR_NOOP("Alte&rnative:"), alternative_, popupId);
    connect(alternative_, &QComboBox::currentIndexChanged, this,
            [this] { controller_.clearResults(); });
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
    status_ = fixedRoomLabel(kStatusLines);
    column->addWidget(status_);
    column->addStretch();
    columns_->addLayout(column, 1);
    // The formula runs under both columns, at the group's width.
    formula_ = fixedRoomLabel(kFormulaLines);
    formula_->hide();
    layout()->addWidget(formula_);
    controller_.addResults(results_.size());
    controller_.commandChanged();
}

bool EffectGroup::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        // The first input the design and the question show.
        for (int row = 0; row < inputs_->rowCount(); ++row) {
            QWidget* input = inputs_->itemAt(row, QFormLayout::FieldRole)->widget();
            if (!input->isHidden()) {
                input->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
        }
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

void EffectGroup::setDesign(const FormDesign& design) { controller_.setDesign(design); }

void EffectGroup::compute() {
    MessageBoxOwnerScope boxes(calculators_.reporter(), window());
    controller_.compute();
}

void EffectGroup::restore(const EffectRequest& request) { controller_.restore(request); }

std::string EffectGroup::text(EffectInput input) const {
    const CNumEdit* edit = field(input);
    return edit != nullptr ? edit->text().trimmed().toStdString() : std::string();
}

void EffectGroup::setText(EffectInput input, std::string_view text) {
    if (CNumEdit* edit = field(input)) {
        edit->ForgetWrittenValue();
        edit->setText(qtText(text));
    }
}

void EffectGroup::setInputShown(EffectInput input, bool shown) {
    if (input == EffectInput::Sides && sides_ != nullptr) {
        inputs_->setRowVisible(sides_, shown);
    } else if (CNumEdit* edit = field(input)) {
        inputs_->setRowVisible(edit, shown);
    }
}

QComboBox* EffectGroup::choiceBox(EffectChoice choice) const {
    switch (choice) {
        case EffectChoice::Measure:
            return measure_;
        case EffectChoice::Sides:
            return sides_;
        case EffectChoice::Alternative:
            return alternative_;
        case EffectChoice::Question:
            break;
    }
    return question_;
}

int EffectGroup::choice(EffectChoice choice) const {
    const QComboBox* box = choiceBox(choice);
    return box != nullptr ? box->currentIndex() : -1;
}

void EffectGroup::setChoice(EffectChoice choice, int position) {
    if (QComboBox* box = choiceBox(choice)) {
        box->setCurrentIndex(position);
    }
}

// A number shows by its significant digits, as the main window's results do, and copies whole;
// any other text (the failure marker, nothing) as it is.
void EffectGroup::setResult(std::size_t index, std::string_view text) {
    CNumEdit* result = results_.at(index);
    if (const std::optional<double> number = parseNumber(text)) {
        result->SetValue(*number);
    } else {
        result->setText(qtText(text));
        result->setCursorPosition(0);
    }
}

void EffectGroup::setResultCaption(std::size_t index, std::string_view caption) {
    static_cast<QLabel*>(
        outputs_->itemAt(static_cast<int>(index), QFormLayout::LabelRole)->widget())
        ->setText(qtText(caption));
}

void EffectGroup::setResultShown(std::size_t index, bool shown) {
    outputs_->setRowVisible(results_.at(index), shown);
}

void EffectGroup::setFormulaShown(bool shown) { formula_->setVisible(shown); }

void EffectGroup::setFormula(std::string_view text) {
    if (formula_ != nullptr) {
        formula_->setText(qtText(text));
        formula_->setToolTip(qtText(text));
    }
}

void EffectGroup::setStatus(std::string_view text) {
    if (status_ != nullptr) {
        status_->setText(qtText(text));
        status_->setToolTip(qtText(text));
    }
}

}  // namespace quorvel
