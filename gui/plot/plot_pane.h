#pragma once

#include <QSize>
#include <QWidget>
#include <vector>

#include "gui/plot/plot_scene.h"

class QChart;
class QGraphicsSimpleTextItem;
class QChartView;
class QLabel;
class QMenu;

namespace quorvel {

// Draws a PlotScene with Qt Charts: its densities (or a power curve) as lines, its shaded areas
// with their probability printed on them, its marks as dashed vertical lines, its levels as
// horizontal ones (an emphasised one dashed in the second curve colour, the others grey and
// dash-dotted), its dots as points, its title above. A failed
// scene clears the chart and shows its one line instead. Hovering over a curve shows the
// nearest computed point (x and density, or power) below the chart. Both axes carry round ticks in
// one format; each area's probability stands beside its mark, clear of the curves, the marks and
// the other labels, and is shown however thin the area. The pane's context menu saves the
// picture, without the hover readout, as PNG or SVG at a size the user picks.
class PlotPane : public QWidget {
    Q_OBJECT

  public:
    // `prompt` stands above the empty plot until the first scene.
    explicit PlotPane(const QString& prompt, QWidget* parent = nullptr);

    void showScene(const PlotScene& scene);
    // The size a picture is saved at unless the user picks another, in pixels.
    static constexpr int kDefaultExportWidth = 1600;
    static constexpr int kDefaultExportHeight = 1200;

    // Writes the picture, without the hover readout, to `path` at `pixels` (an SVG's nominal
    // size): SVG for a name ending in .svg, otherwise PNG. The picture is laid out as a pane of
    // at most 800 pixels' width and scaled up, so that its text keeps its proportion at any
    // size. False when the file could not be written.
    bool savePicture(const QString& path,
                     QSize pixels = QSize(kDefaultExportWidth, kDefaultExportHeight));

    // Keeps the pane filling its parent window to the right of `left`, as the window is resized
    // (for a pane placed without a layout).
    void fillParentRightOf(int left);

    const PlotScene& scene() const { return scene_; }
    QChart& chart() const { return *chart_; }
    QString titleText() const;
    QString hoverText() const;
    QMenu& contextMenu() const { return *menu_; }
    // What hovering at x on a curve shows: the curve's computed point nearest to x.
    void hoverAt(std::size_t curve, double x);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void clearChart();
    void drawAreas();
    void drawCurves();
    void drawMarks();
    void drawLevels();
    void drawDots();
    void setAxes();
    void placeAreaLabels();
    void saveWithDialog(const QString& filter, const QString& suffix);
    void fitToParent();

    PlotScene scene_;
    QLabel* title_ = nullptr;
    QLabel* hover_ = nullptr;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QMenu* menu_ = nullptr;
    std::vector<QGraphicsSimpleTextItem*> areaLabels_;
    int parentLeft_ = -1;
};

}  // namespace quorvel
