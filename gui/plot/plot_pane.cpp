#include "gui/plot/plot_pane.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {
// Curve colours: one per limit of an interval, the first for a single curve.
const QColor kCurveColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0xc0, 0x39, 0x2b)};
constexpr int kAreaAlpha = 80;
// Headroom above the highest curve, so that its peak does not touch the frame.
constexpr double kHeadroom = 1.08;
constexpr int kMinimumPlotWidth = 520;
constexpr double kLegendScale = 0.85;

QColor colourOf(std::size_t curve) {
    return kCurveColours[std::min<std::size_t>(curve, std::size(kCurveColours) - 1)];
}

QString textOf(const std::string& text) {
    return QString::fromStdString(text);
}

QLineSeries* lineThrough(const std::vector<PlotPoint>& points) {
    auto* line = new QLineSeries;
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint& point : points) {
        list.append(QPointF(point.x, point.y));
    }
    line->replace(list);
    return line;
}

double highestOfCurves(const PlotScene& scene) {
    double top = 0.0;
    for (const PlotCurve& curve : scene.curves) {
        top = std::max(top, highestPoint(curve.points));
    }
    return top;
}

}  // namespace

PlotPane::PlotPane(const QString& prompt, QWidget* parent) : QWidget(parent) {
    title_ = new QLabel(this);
    title_->setWordWrap(true);
    title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    // The legend names each curve with its Df and noncentrality: a smaller face keeps two curves
    // and their marks on one line of a narrow pane.
    QFont legendFont = chart_->legend()->font();
    legendFont.setPointSizeF(legendFont.pointSizeF() * kLegendScale);
    chart_->legend()->setFont(legendFont);
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumWidth(kMinimumPlotWidth);
    // The pane is a picture beside the fields: Tab keeps to the fields and buttons.
    view_->setFocusPolicy(Qt::NoFocus);
    hover_ = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(title_);
    layout->addWidget(view_, 1);
    layout->addWidget(hover_);

    menu_ = new QMenu(this);
    menu_->addAction(tr("Save Picture as &PNG..."), this,
                     [this] { saveWithDialog(tr("PNG images (*.png)"), QStringLiteral(".png")); });
    menu_->addAction(tr("Save Picture as &SVG..."), this, [this] {
        saveWithDialog(tr("SVG drawings (*.svg)"), QStringLiteral(".svg"));
    });
    connect(chart_, &QChart::plotAreaChanged, this, [this] { placeAreaLabels(); });
    PlotScene empty;
    empty.title = prompt.toStdString();
    showScene(empty);
}

void PlotPane::showScene(const PlotScene& scene) {
    scene_ = scene;
    clearChart();
    hover_->clear();
    if (!scene_.failure.empty()) {
        title_->setText(textOf(scene_.failure));
        return;
    }
    title_->setText(textOf(scene_.title));
    if (scene_.curves.empty()) {
        return;
    }
    drawAreas();
    drawCurves();
    drawMarks();
    setAxes();
    placeAreaLabels();
}

void PlotPane::clearChart() {
    for (QGraphicsSimpleTextItem* label : areaLabels_) {
        delete label;
    }
    areaLabels_.clear();
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
}

void PlotPane::drawAreas() {
    for (const ShadedArea& area : scene_.areas) {
        QLineSeries* upper = lineThrough(area.points);
        auto* series = new QAreaSeries(upper);
        // An area series does not own the line it fills up to.
        upper->setParent(series);
        QColor fill = colourOf(area.curve);
        fill.setAlpha(kAreaAlpha);
        series->setBrush(fill);
        series->setPen(Qt::NoPen);
        series->setName(textOf(area.label));
        chart_->addSeries(series);
        for (QLegendMarker* marker : chart_->legend()->markers(series)) {
            marker->setVisible(false);
        }
        auto* label = new QGraphicsSimpleTextItem(textOf(area.label), chart_);
        label->setBrush(colourOf(area.curve).darker(140));
        areaLabels_.push_back(label);
    }
}

void PlotPane::drawCurves() {
    for (std::size_t index = 0; index < scene_.curves.size(); ++index) {
        QLineSeries* line = lineThrough(scene_.curves[index].points);
        line->setName(textOf(scene_.curves[index].name));
        line->setPen(QPen(colourOf(index), 2.0));
        chart_->addSeries(line);
        connect(line, &QLineSeries::hovered, this, [this, index](const QPointF& point, bool on) {
            if (on) {
                hoverAt(index, point.x());
                QToolTip::showText(QCursor::pos(), hover_->text(), this);
            }
        });
    }
}

void PlotPane::drawMarks() {
    const double top = highestOfCurves(scene_) * kHeadroom;
    for (const PlotMark& mark : scene_.marks) {
        auto* line = new QLineSeries;
        line->append(mark.x, 0.0);
        line->append(mark.x, top);
        line->setName(textOf(mark.label));
        line->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
        chart_->addSeries(line);
    }
}

void PlotPane::setAxes() {
    auto* xAxis = new QValueAxis;
    xAxis->setRange(scene_.xFrom, scene_.xTo);
    xAxis->setTitleText(textOf(scene_.axisName));
    xAxis->setLabelFormat(QStringLiteral("%.4g"));
    auto* yAxis = new QValueAxis;
    yAxis->setRange(0.0, highestOfCurves(scene_) * kHeadroom);
    yAxis->setTitleText(tr("Density"));
    yAxis->setLabelFormat(QStringLiteral("%.3g"));
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart_->series()) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
}

// Each area's probability stands beside the end of the area that a mark cuts off, on the
// area's side of it, and high enough to stay clear of a thin tail; a second label stands lower
// than the first, so that two labels beside one mark never overlap.
void PlotPane::placeAreaLabels() {
    const double top = highestOfCurves(scene_);
    for (std::size_t index = 0; index < areaLabels_.size() && index < scene_.areas.size();
         ++index) {
        const std::vector<PlotPoint>& points = scene_.areas[index].points;
        if (points.size() < 2) {
            areaLabels_[index]->hide();
            continue;
        }
        // An area that ends at the right of the picture is an upper tail: it starts at its mark.
        const bool upperTail = points.back().x >= scene_.xTo && points.front().x > scene_.xFrom;
        const double edge = upperTail ? points.front().x : points.back().x;
        const double height = top * (0.6 - 0.15 * static_cast<double>(index % 3));
        const QPointF at = chart_->mapToPosition(QPointF(edge, height));
        const QRectF box = areaLabels_[index]->boundingRect();
        constexpr double kGap = 6.0;
        const QRectF plot = chart_->plotArea();
        const double wanted = upperTail ? at.x() + kGap : at.x() - kGap - box.width();
        const double left = std::clamp(wanted, plot.left() + kGap,
                                       std::max(plot.left(), plot.right() - box.width()));
        areaLabels_[index]->setPos(left, at.y() - box.height() / 2.0);
        areaLabels_[index]->show();
    }
}

void PlotPane::hoverAt(std::size_t curve, double x) {
    if (curve >= scene_.curves.size() || scene_.curves[curve].points.empty()) {
        return;
    }
    const std::vector<PlotPoint>& points = scene_.curves[curve].points;
    const auto nearest =
        std::min_element(points.begin(), points.end(), [x](const PlotPoint& a, const PlotPoint& b) {
            return std::abs(a.x - x) < std::abs(b.x - x);
        });
    hover_->setText(tr("%1 = %2, density = %3")
                        .arg(textOf(scene_.axisName), textOf(plotNumber(nearest->x)),
                             textOf(plotNumber(nearest->y))));
}

QString PlotPane::titleText() const {
    return title_->text();
}

QString PlotPane::hoverText() const {
    return hover_->text();
}

bool PlotPane::savePicture(const QString& path) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(size());
        generator.setViewBox(rect());
        generator.setTitle(title_->text());
        QPainter painter;
        if (!painter.begin(&generator)) {
            return false;
        }
        render(&painter);
        return painter.end();
    }
    return grab().save(path, "PNG");
}

void PlotPane::saveWithDialog(const QString& filter, const QString& suffix) {
    QString path = QFileDialog::getSaveFileName(this, tr("Save Picture"), QString(), filter);
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) {
        path += suffix;
    }
    if (!savePicture(path)) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("The picture could not be written to %1.").arg(path));
    }
}

void PlotPane::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
    event->accept();
}

}  // namespace quorvel
