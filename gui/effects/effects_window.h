#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "model/computation_listener.h"
#include "gui/effects/effects_controller.h"
#include "model/effects/effects.h"

class QComboBox;
class QHBoxLayout;
class QKeyEvent;
class QLayout;
class QPushButton;
class QTabWidget;

namespace quorvel {

class Calculators;
class ComputationListeners;
class EffectGroup;
struct EffectsTabFields;
class HelpWindow;
class PlotPane;
class PowerPlot;

// The Effect Size and Power window: one tab per family (t: d and g; F: partial η², f², ω² and
// ε²; chi-square: RMSEA, w and Cramér's V), each with its design choice above three groups: the
// effect size with its confidence interval (two-sided or one-sided), a power question (the
// power of a test, the smallest effect it detects, the alpha that gives a target power, or the
// compromise between alpha and beta), and the sample size that reaches a target power. The
// design (t: two groups, one sample, equivalence; F: today's Df, ANOVA, factorial, ANCOVA,
// repeated measures, regression; chi-square: w, RMSEA) shows its inputs in the power and
// sample-size groups, and its noncentrality formula beside their results. Every group computes
// through computeEffect, the entry the command line uses, and tells the listeners. Right of the
// tabs, a plot pictures the last power or sample size, as the choice above it says: the central
// and the noncentral density, the critical value, the power shaded; or the power curve over N,
// or over the effect size at the N, with the computed point, the target power and alpha marked.
// Each tab keeps its own computation, and a tab without one shows the prompt. Beside the
// choice, a curve's points are saved as CSV and the computation's protocol (inputs,
// convention, test, result) is copied to the clipboard; the plot's context menu saves the
// picture as PNG or SVG.
//
// Keys: Tab moves through the tab's choices, fields, Compute buttons and results, then Help and
// Close; each group's title and each caption carry a mnemonic (a caption repeated in another
// group of the same tab shares its letter, and pressing it again moves on to the next). Enter
// computes the tab's current group: the group that has the focus, or else the one that had it
// last (at first the effect-size group); on a push button Enter presses it. F1 and Help open
// this window's help page, Shift+F1 a field's What's This text, Escape closes the window.
//
// A top-level window without a parent, so that the modal main dialog does not block it.
class EffectsWindow : public QWidget, private ComputationListener {
    Q_OBJECT

  public:
    EffectsWindow(Calculators& calculators, HelpWindow& helpWindow,
                  ComputationListeners& listeners);
    ~EffectsWindow() override;

    QTabWidget& tabs() const { return *tabs_; }
    // The row that holds the tabs: a widget added to it shows at the right of the tabs.
    QHBoxLayout& sideBySide() const { return *sideBySide_; }
    EffectGroup& group(DistributionKind distribution, EffectQuantity quantity) const;
    // A tab's design choice. The t tab's: two groups (index 0), one sample (index 1), and the
    // equivalence design of two groups (2) or one sample (3); the F and chi-square tabs' first
    // item is the design of today's forms, by their Df.
    QComboBox& design(DistributionKind distribution) const;
    // The design the tab of the family has chosen.
    FormDesign chosenDesign(DistributionKind distribution) const;
    // The group Enter computes on the current tab.
    EffectGroup& currentGroup() const;
    // Shows the window with a request's tab, design, group and question, its inputs put back,
    // ready to compute (a row of the history). False, leaving the window as it is, for a
    // request the window cannot hold: an RMSEA sensitivity that searches a not-close fit.
    bool restore(const EffectRequest& request);
    // The power picture of the last power or sample-size computation, right of the tabs.
    PlotPane& plot() const { return *plot_; }
    // What the plot shows, in the order of PowerPicture.
    QComboBox& pictureChoice() const { return *pictureChoice_; }
    QPushButton& savePointsButton() const { return *savePoints_; }
    QPushButton& copyProtocolButton() const { return *copyProtocol_; }
    // Writes the points of the curve shown as CSV (powerCurveCsv) to `path`; false when no
    // curve is shown or the file could not be written.
    bool savePoints(const QString& path) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* makeTab(const EffectsTabFields& fields, Calculators& calculators,
                     ComputationListeners& listeners);
    QLayout* makeDesignChoice(const EffectsTabFields& fields);
    // The position of the request's design in its tab's choice.
    int designIndexOf(const EffectRequest& request) const;
    void followFocus(QWidget* now);
    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) override;
    void showPictureOf(std::size_t tab);
    QLayout* makePlotColumn();
    void updatePlotButtons();
    void savePointsWithDialog();
    void copyProtocol();

    // A tab's last power or sample-size computation.
    struct Pictured {
        EffectRequest request;
        EffectOutcome outcome;
    };

    Calculators& calculators_;
    HelpWindow& helpWindow_;
    ComputationListeners& listeners_;
    QHBoxLayout* sideBySide_;
    QTabWidget* tabs_;
    // By tab (t, F, chi-square).
    std::array<QComboBox*, 3> designs_{};
    // By tab (t, F, chi-square), then by quantity (estimate, power, sample size).
    std::array<std::array<EffectGroup*, 3>, 3> groups_{};
    std::array<EffectGroup*, 3> current_{};
    QMetaObject::Connection focusWatch_;
    PlotPane* plot_ = nullptr;
    QComboBox* pictureChoice_ = nullptr;
    QPushButton* savePoints_ = nullptr;
    QPushButton* copyProtocol_ = nullptr;
    std::unique_ptr<PowerPlot> powerPlot_;
    std::array<std::optional<Pictured>, 3> pictured_{};
};

}  // namespace quorvel
