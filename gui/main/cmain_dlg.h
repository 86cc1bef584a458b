#pragma once

#include <QDialog>
#include <QSize>
#include <memory>

#include "gui/dialog/template_widgets.h"
#include "gui/main/compute_controller.h"
#include "gui/main/compute_view.h"
#include "gui/plot/quantity_plot.h"

class QAction;
class QMenu;

namespace quorvel {

class Calculators;
class CHighlightButton;
class CNumEdit;
class EffectsWindow;
class HelpWindow;
class PlotPane;

// The main window: the dialog built from its template, bound to the compute controller. Radio
// clicks lay the fields out, the interval choices store their confidence level, Compute
// computes, and every change of a field's text asks for a new computation. F1 and Help open
// the help window; Shift+F1 or the caption's "?" followed by a click shows a control's popup.
// Enter (outside a focused push button, which Enter presses) computes, as Compute does; Escape
// and the caption's close button end the dialog. The dialog's context menu
// (right mouse button on the dialog, or the Menu key) ends with the About entry; its
// "History..." (also Ctrl+H) asks for the record of computations (historyRequested). Beside
// the template, a plot pane pictures each computation; "Show Plot" in the menu hides it.
//
// The dialog is modal but owned by no window, so it blocks no other window: the help window
// stays usable beside it. It is a top-level window of its own, with its own taskbar entry.
class CMainDlg : public QDialog, public ComputeView {
    Q_OBJECT

  public:
    // Builds the dialog and starts it: each field with its spin button, default, range and
    // decimals; F and Cum. P checked; the layout for them; Compute reading "COMPUTE".
    CMainDlg(Calculators& calculators, HelpWindow& helpWindow, QWidget* parent = nullptr);
    ~CMainDlg() override;

    ComputeController& controller() { return controller_; }
    // The widget of a control by identifier; nullptr for none (and for −1).
    QWidget* control(int controlId) const { return controls_.widget(controlId); }
    QMenu& contextMenu() const { return *contextMenu_; }
    PlotPane& plotPane() const { return *plotPane_; }
    // Shows the plot beside the template, or shrinks the window back to the template alone.
    // The menu's "Show Plot" does the same and remembers the choice for the next start.
    void setPlotShown(bool shown);
    bool isPlotShown() const;
    // The Effect Size and Power window once it has been opened (one for the dialog's life,
    // hidden when closed); nullptr before.
    EffectsWindow* effectsWindow() const { return effectsWindow_.get(); }
    // Opens the Effect Size and Power window in front (context menu, Ctrl+E).
    void showEffectsWindow();

    int checkedPosition(RadioGroup group) const override;
    void checkPosition(RadioGroup group, int position) override;
    void setVisible(int controlId, bool visible) override;
    void setText(int controlId, std::string_view text) override;
    void setReadOnly(int fieldId, bool readOnly) override;
    bool isReadOnly(int fieldId) const override;
    std::string text(int fieldId) const override;
    double value(int fieldId) override;
    void setValue(int fieldId, double value) override;
    bool isHighlighted() const override;
    void setHighlight(bool on) override;
    using QDialog::setVisible;

  signals:
    // The menu's "History..." or Ctrl+H: the record of computations is wanted.
    void historyRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* makeControl(const dialog::ControlTemplate& control, QWidget* parent);
    void setUpFields();
    void connectCommands();
    void attachContextHelp();
    void buildContextMenu();
    void showAbout();
    void setUpPlot();

    CNumEdit& field(int fieldId) const;
    CHighlightButton& computeButton() const;

    Calculators& calculators_;
    HelpWindow& helpWindow_;
    ComputeController controller_;
    TemplateWidgets controls_;
    QMenu* contextMenu_ = nullptr;
    QSize templateSize_;
    PlotPane* plotPane_ = nullptr;
    QAction* showPlotAction_ = nullptr;
    std::unique_ptr<QuantityPlot> quantityPlot_;
    std::unique_ptr<EffectsWindow> effectsWindow_;
};

}  // namespace quorvel
