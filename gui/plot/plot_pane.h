#pragma once

#include <QWidget>
#include <vector>

#include "gui/plot/plot_scene.h"

class QChart;
class QGraphicsSimpleTextItem;
class QChartView;
class QLabel;
class QMenu;

namespace quorvel {

// Draws a PlotScene with Qt Charts: its densities as lines, its shaded areas with their
// probability printed on them, its marks as dashed vertical lines, its title above. A failed
// scene clears the chart and shows its one line instead. Hovering over a curve shows the
// nearest computed point (x and density) below the chart. The pane's context menu saves the
// picture as PNG or SVG.
class PlotPane : public QWidget {
    Q_OBJECT

  public:
    // `prompt` stands above the empty plot until the first scene.
    explicit PlotPane(const QString& prompt, QWidget* parent = nullptr);

    void showScene(const PlotScene& scene);
    // Writes the picture to `path`: SVG for a name ending in .svg, otherwise PNG. False when
    // the file could not be written.
    bool savePicture(const QString& path);

    const PlotScene& scene() const { return scene_; }
    QChart& chart() const { return *chart_; }
    QString titleText() const;
    QString hoverText() const;
    QMenu& contextMenu() const { return *menu_; }
    // What hovering at x on a curve shows: the curve's computed point nearest to x.
    void hoverAt(std::size_t curve, double x);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void clearChart();
    void drawAreas();
    void drawCurves();
    void drawMarks();
    void setAxes();
    void placeAreaLabels();
    void saveWithDialog(const QString& filter, const QString& suffix);

    PlotScene scene_;
    QLabel* title_ = nullptr;
    QLabel* hover_ = nullptr;
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QMenu* menu_ = nullptr;
    std::vector<QGraphicsSimpleTextItem*> areaLabels_;
};

}  // namespace quorvel
