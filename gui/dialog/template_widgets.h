#pragma once

#include <QFont>
#include <functional>
#include <optional>
#include <vector>

#include "gui/dialog/dialog_template.h"
#include "gui/dialog/dialog_units.h"

class QButtonGroup;
class QDialog;
class QWidget;

namespace quorvel {

// Makes the widget of a control whose class needs more than its template says (a numeric
// field, a highlight button); nullptr takes the standard widget.
using CustomWidgetMaker =
    std::function<QWidget*(const dialog::ControlTemplate& control, QWidget* parent)>;

// The template's font: its face and point size, any sans-serif face where that one is missing.
QFont templateFont(const dialog::DialogTemplate& dialogTemplate);
// The dialog base units of a font: the average advance of the 52 letters and the line height.
dialog::DialogBaseUnits baseUnitsOf(const QFont& font);

// A dialog built from its template: the caption, the template's font, a fixed client size, and
// one child widget per control at its rectangle converted to pixels from that font. Standard
// widgets: push button, group box, radio button, label, icon label (its picture is the
// owner's), line edit, and CNumSpinCtrl for an up-down control. Tab follows the template order
// through the controls with a tab stop; each radio group (dialog::radioGroups) is an exclusive
// button group whose button ids are the positions. The default push button is the focused one,
// else the template's (DefaultButtonRule). Group boxes lie below all other controls,
// so that a click inside a box reaches the control under the mouse. A radio button or a static
// text whose caption needs more room than its rectangle (the style's radio indicator and this
// font may be wider than the template's) is widened to its caption, never narrowed below its
// rectangle; the row it stands in (dialog::rowOf) is then laid out again inside the frame of
// its group box, so that no two controls overlap (dialog::fitRow).
class TemplateWidgets {
  public:
    TemplateWidgets(QDialog& dialog, const dialog::DialogTemplate& dialogTemplate,
                    const CustomWidgetMaker& makeCustom = {});

    // The first control with this identifier; nullptr when there is none.
    QWidget* widget(int controlId) const;
    template <class Widget>
    Widget* widgetAs(int controlId) const {
        return qobject_cast<Widget*>(widget(controlId));
    }
    // The controls in template order, parallel to the template's controls.
    const std::vector<QWidget*>& widgets() const { return widgets_; }
    // The radio groups in template order.
    const std::vector<QButtonGroup*>& radioGroups() const { return radioGroups_; }
    // Widens a radio button or static text to its caption, after a change of the caption, and
    // lays its row out again.
    void fitCaption(int controlId) const;

  private:
    void createControls(QDialog& dialog, const CustomWidgetMaker& makeCustom);
    void keepDefaultButton(QDialog& dialog);
    void chainTabOrder();
    void groupRadioButtons(QDialog& dialog);
    bool isCaptioned(std::size_t index) const;
    void fitCaptionAt(std::size_t index) const;
    void layOutRowOf(std::size_t index) const;
    std::optional<std::size_t> indexOf(int controlId) const;

    const dialog::DialogTemplate& template_;
    dialog::DialogBaseUnits units_{};
    std::vector<QWidget*> widgets_;
    std::vector<QButtonGroup*> radioGroups_;
};

}  // namespace quorvel
