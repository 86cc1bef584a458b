#include "gui/dialog/template_widgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "gui/dialog/default_button_rule.h"
#include "gui/dialog/template_rows.h"
#include "gui/widgets/cnum_spin_ctrl.h"

namespace quorvel {

namespace {

using dialog::ControlClass;
using dialog::ControlTemplate;
namespace style = dialog::style;

QWidget* makeButton(const ControlTemplate& control, QWidget* parent) {
    const QString text = QString::fromUtf8(control.text);
    if (control.has(style::kGroupBox)) {
        return new QGroupBox(text, parent);
    }
    if (control.has(style::kAutoRadioButton)) {
        return new QRadioButton(text, parent);
    }
    auto* button = new QPushButton(text, parent);
    button->setDefault(control.has(style::kDefaultPushButton));
    return button;
}

// A static text starts at the top left, as the template's left text does.
QWidget* makeStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    if (!control.has(style::kIcon)) {
        label->setText(QString::fromUtf8(control.text));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    return label;
}

QWidget* makeStandard(const ControlTemplate& control, QWidget* parent) {
    switch (control.controlClass) {
        case ControlClass::Button:
            return makeButton(control, parent);
        case ControlClass::Static:
            return makeStatic(control, parent);
        case ControlClass::Edit:
            return new QLineEdit(QString::fromUtf8(control.text), parent);
        case ControlClass::UpDown:
            return new CNumSpinCtrl(parent);
    }
    return nullptr;
}

QRect pixelRect(const dialog::DialogRect& rect, const dialog::DialogBaseUnits& units) {
    const dialog::PixelRect pixels = dialog::toPixels(rect, units);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

}  // namespace

QFont templateFont(const dialog::DialogTemplate& dialogTemplate) {
    QFont font(QString::fromUtf8(dialogTemplate.fontFace), dialogTemplate.fontPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

dialog::DialogBaseUnits baseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return {dialog::averageCharWidth(
                metrics.horizontalAdvance(QString::fromLatin1(dialog::kAverageWidthSample))),
            metrics.height()};
}

TemplateWidgets::TemplateWidgets(QDialog& dialog, const dialog::DialogTemplate& dialogTemplate,
                                 const CustomWidgetMaker& makeCustom)
    : template_(dialogTemplate) {
    dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog.setFont(templateFont(dialogTemplate));
    units_ = baseUnitsOf(dialog.font());
    dialog.setFixedSize(dialog::horizontalPixels(dialogTemplate.width, units_),
                        dialog::verticalPixels(dialogTemplate.height, units_));

    createControls(dialog, makeCustom);
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        widgets_[index]->setGeometry(pixelRect(template_.controls[index].rect, units_));
    }
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        fitCaptionAt(index);
    }
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        if (isCaptioned(index)) {
            layOutRowOf(index);
        }
    }
    chainTabOrder();
    groupRadioButtons(dialog);
}

void TemplateWidgets::createControls(QDialog& dialog, const CustomWidgetMaker& makeCustom) {
    widgets_.reserve(template_.controls.size());
    for (const ControlTemplate& control : template_.controls) {
        QWidget* widget = makeCustom ? makeCustom(control, &dialog) : nullptr;
        if (widget == nullptr) {
            widget = makeStandard(control, &dialog);
        }
        if (control.has(style::kTabStop)) {
            widget->setFocusPolicy(Qt::StrongFocus);
        }
        widgets_.push_back(widget);
    }
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        if (template_.controls[index].has(style::kGroupBox)) {
            widgets_[index]->lower();
        }
    }
    keepDefaultButton(dialog);
}

void TemplateWidgets::keepDefaultButton(QDialog& dialog) {
    QPushButton* templateDefault = nullptr;
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        if (template_.controls[index].has(style::kDefaultPushButton)) {
            templateDefault = qobject_cast<QPushButton*>(widgets_[index]);
        }
    }
    auto* rule = new DefaultButtonRule(&dialog, templateDefault);
    for (QWidget* widget : widgets_) {
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            rule->watch(*button);
        }
    }
}

void TemplateWidgets::chainTabOrder() {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets_) {
        if ((widget->focusPolicy() & Qt::TabFocus) == 0) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

void TemplateWidgets::groupRadioButtons(QDialog& dialog) {
    for (const std::vector<std::size_t>& indexes : dialog::radioGroups(template_)) {
        auto* group = new QButtonGroup(&dialog);
        for (std::size_t position = 0; position < indexes.size(); ++position) {
            group->addButton(qobject_cast<QAbstractButton*>(widgets_[indexes[position]]),
                             static_cast<int>(position));
        }
        radioGroups_.push_back(group);
    }
}

std::optional<std::size_t> TemplateWidgets::indexOf(int controlId) const {
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        if (template_.controls[index].id == controlId) {
            return index;
        }
    }
    return std::nullopt;
}

QWidget* TemplateWidgets::widget(int controlId) const {
    const std::optional<std::size_t> index = indexOf(controlId);
    return index ? widgets_[*index] : nullptr;
}

void TemplateWidgets::fitCaption(int controlId) const {
    const std::optional<std::size_t> index = indexOf(controlId);
    if (index && isCaptioned(*index)) {
        fitCaptionAt(*index);
        layOutRowOf(*index);
    }
}

bool TemplateWidgets::isCaptioned(std::size_t index) const {
    const ControlTemplate& control = template_.controls[index];
    return control.has(style::kAutoRadioButton) ||
           (control.controlClass == ControlClass::Static && !control.has(style::kIcon));
}

void TemplateWidgets::fitCaptionAt(std::size_t index) const {
    if (isCaptioned(index)) {
        QWidget* widget = widgets_[index];
        const int templateWidth =
            dialog::horizontalPixels(template_.controls[index].rect.width, units_);
        widget->resize(std::max(templateWidth, widget->sizeHint().width()), widget->height());
    }
}

// The row starts again from the template's places, so a caption that becomes shorter lets its
// neighbours return. Its room is the inside of its group box's frame, or the whole dialog.
void TemplateWidgets::layOutRowOf(std::size_t index) const {
    const std::vector<std::size_t> row = dialog::rowOf(template_, index);
    std::vector<dialog::RowSlot> rowSlots;
    rowSlots.reserve(row.size());
    for (std::size_t member : row) {
        rowSlots.push_back({dialog::horizontalPixels(template_.controls[member].rect.x, units_),
                            widgets_[member]->width()});
    }
    QRect room = widgets_[index]->parentWidget()->rect();
    if (const std::optional<std::size_t> box = dialog::enclosingGroupBox(template_, index)) {
        const QWidget* frame = widgets_[*box];
        const int line = frame->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, frame);
        room = frame->geometry().adjusted(line, 0, -line, 0);
    }
    const std::vector<int> places = dialog::fitRow(rowSlots, room.left(), room.right());
    for (std::size_t position = 0; position < row.size(); ++position) {
        QWidget* widget = widgets_[row[position]];
        widget->move(places[position], widget->y());
    }
}

}  // namespace quorvel
