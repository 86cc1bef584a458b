#include "app/template_widgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/default_button_rule.h"
#include "controls/cnum_spin_ctrl.h"

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
        fitCaptionAt(index);
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
    if (const std::optional<std::size_t> index = indexOf(controlId)) {
        fitCaptionAt(*index);
    }
}

void TemplateWidgets::fitCaptionAt(std::size_t index) const {
    const ControlTemplate& control = template_.controls[index];
    const bool captioned =
        control.has(style::kAutoRadioButton) ||
        (control.controlClass == ControlClass::Static && !control.has(style::kIcon));
    if (captioned) {
        QWidget* widget = widgets_[index];
        const int templateWidth = dialog::horizontalPixels(control.rect.width, units_);
        widget->resize(std::max(templateWidth, widget->sizeHint().width()), widget->height());
    }
}

}  // namespace quorvel
