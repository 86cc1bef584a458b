#include "gui/plot/plot_pane.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/plot/axis_ticks.h"
#include "gui/plot/export_size_dialog.h"
#include "gui/plot/label_placement.h"
#include "gui/widgets/message_box_reporter.h"

namespace quorvel {

namespace {
// Curve colours: one per limit of an interval, the first for a single curve.
const QColor kCurveColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0xc0, 0x39, 0x2b)};
constexpr int kAreaAlpha = 80;
// Headroom above the highest curve, so that its peak does not touch the frame.
constexpr double kHeadroom = 1.08;
constexpr int kMinimumPlotWidth = 520;
constexpr double kLegendScale = 0.85;
// A saved picture is laid out at most this wide and scaled up to the size asked for.
constexpr int kExportLayoutWidth = 800;
// The first tick's category starts this fraction of a step before it, so that it has a label.
constexpr double kFirstTickLead = 1e-6;
// A computed point on a curve.
constexpr double kDotSize = 9.0;

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

// The density axis: from 0 to the round tick above the curves' body and its headroom; a
// probability axis from 0 to 1.
AxisTicks densityTicks(const PlotScene& scene) {
    return roundTicks(0.0, scene.probabilityAxis ? 1.0 : scene.yTo * kHeadroom);
}

// An axis whose labels stand on the round ticks, printed in the ticks' one format.
QCategoryAxis* roundAxis(const AxisTicks& ticks, const QString& title) {
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setStartValue(ticks.from - kFirstTickLead * ticks.step);
    const long intervals = std::lround((ticks.to - ticks.from) / ticks.step);
    for (long k = 0; k <= intervals; ++k) {
        const double value = ticks.from + static_cast<double>(k) * ticks.step;
        axis->append(QString::fromStdString(tickLabel(ticks, value)), value);
    }
    axis->setRange(ticks.from, ticks.to);
    axis->setTitleText(title);
    return axis;
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
    drawLevels();
    drawDots();
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
        auto* label = new QGraphicsSimpleTextItem(textOf(area.label), chart_);
        label->setBrush(colourOf(area.curve).darker(140));
        areaLabels_.push_back(label);
        if (area.points.size() < 2) {
            continue;  // too thin to shade: the label alone tells it
        }
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
    const double top = densityTicks(scene_).to;
    for (const PlotMark& mark : scene_.marks) {
        auto* line = new QLineSeries;
        line->append(mark.x, 0.0);
        line->append(mark.x, top);
        line->setName(textOf(mark.label));
        line->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
        chart_->addSeries(line);
    }
}

void PlotPane::drawLevels() {
    for (const PlotLevel& level : scene_.levels) {
        auto* line = new QLineSeries;
        line->append(scene_.xFrom, level.y);
        line->append(scene_.xTo, level.y);
        line->setName(textOf(level.label));
        line->setPen(level.emphasised ? QPen(colourOf(1), 1.5, Qt::DashLine)
                                      : QPen(Qt::darkGray, 1.5, Qt::DashDotLine));
        chart_->addSeries(line);
    }
}

void PlotPane::drawDots() {
    for (const PlotDot& dot : scene_.dots) {
        auto* point = new QScatterSeries;
        point->append(dot.at.x, dot.at.y);
        point->setName(textOf(dot.label));
        point->setMarkerSize(kDotSize);
        point->setColor(Qt::black);
        point->setBorderColor(Qt::black);
        chart_->addSeries(point);
    }
}

void PlotPane::setAxes() {
    QCategoryAxis* xAxis = roundAxis(scene_.xTicks, textOf(scene_.axisName));
    QCategoryAxis* yAxis = roundAxis(densityTicks(scene_), textOf(scene_.yName));
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart_->series()) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
}

// Each area's probability stands beside the mark that ends it, on the area's side, at the
// nearest place where it touches no curve, no mark and no other label (label_placement.h).
void PlotPane::placeAreaLabels() {
    if (areaLabels_.empty()) {
        return;
    }
    const QRectF plot = chart_->plotArea();
    const auto pixel = [this](double x, double y) {
        const QPointF at = chart_->mapToPosition(QPointF(x, y));
        return PixelPoint{at.x(), at.y()};
    };
    LabelObstacles obstacles;
    for (const PlotCurve& curve : scene_.curves) {
        std::vector<PixelPoint>& line = obstacles.lines.emplace_back();
        line.reserve(curve.points.size());
        for (const PlotPoint& point : curve.points) {
            line.push_back(pixel(point.x, point.y));
        }
    }
    const double top = densityTicks(scene_).to;
    for (const PlotMark& mark : scene_.marks) {
        obstacles.lines.push_back({pixel(mark.x, 0.0), pixel(mark.x, top)});
    }
    const PixelBox box{plot.left(), plot.top(), plot.width(), plot.height()};
    for (std::size_t index = 0; index < areaLabels_.size() && index < scene_.areas.size();
         ++index) {
        const ShadedArea& area = scene_.areas[index];
        const double anchor = pixel(area.upperTail ? area.from : area.to, 0.0).x;
        const QRectF size = areaLabels_[index]->boundingRect();
        const PixelPoint at =
            placeLabel(box, anchor, area.upperTail, size.width(), size.height(), obstacles);
        areaLabels_[index]->setPos(at.x, at.y);
        areaLabels_[index]->show();
        obstacles.labels.push_back({at.x, at.y, size.width(), size.height()});
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
    hover_->setText(tr("%1 = %2, %3 = %4")
                        .arg(textOf(scene_.axisName), textOf(plotNumber(nearest->x)),
                             textOf(scene_.yName).toLower(), textOf(plotNumber(nearest->y))));
}

QString PlotPane::titleText() const {
    return title_->text();
}

QString PlotPane::hoverText() const {
    return hover_->text();
}

bool PlotPane::savePicture(const QString& path, QSize pixels) {
    if (pixels.isEmpty()) {
        return false;
    }
    // A pane of its own, never on screen, laid out at the picture's proportions: the hover
    // readout is not part of it.
    const double scale = std::max(1.0, static_cast<double>(pixels.width()) / kExportLayoutWidth);
    const QSize layout(static_cast<int>(std::lround(pixels.width() / scale)),
                       static_cast<int>(std::lround(pixels.height() / scale)));
    PlotPane picture(QString(), nullptr);
    picture.setAttribute(Qt::WA_DontShowOnScreen);
    picture.view_->setMinimumWidth(0);
    picture.resize(layout);
    picture.show();
    picture.showScene(scene_);
    picture.hover_->hide();
    picture.layout()->activate();
    QCoreApplication::sendPostedEvents();
    picture.placeAreaLabels();

    QPainter painter;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(pixels);
        generator.setViewBox(QRect(QPoint(0, 0), layout));
        generator.setTitle(title_->text());
        if (!painter.begin(&generator)) {
            return false;
        }
        picture.render(&painter);
        return painter.end();
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    if (!painter.begin(&image)) {
        return false;
    }
    picture.render(&painter);
    painter.end();
    return image.save(path, "PNG");
}

void PlotPane::saveWithDialog(const QString& filter, const QString& suffix) {
    const std::optional<QSize> pixels =
        askExportSize(this, QSize(kDefaultExportWidth, kDefaultExportHeight));
    if (!pixels) {
        return;
    }
    QString path = QFileDialog::getSaveFileName(this, tr("Save Picture"), QString(), filter);
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) {
        path += suffix;
    }
    if (!savePicture(path, *pixels)) {
        QMessageBox::warning(this, QString::fromLatin1(kProgramDisplayName),
                             tr("The picture could not be written to %1.").arg(path));
    }
}

void PlotPane::fillParentRightOf(int left) {
    parentLeft_ = left;
    if (parentWidget() != nullptr) {
        parentWidget()->installEventFilter(this);
        fitToParent();
    }
}

void PlotPane::fitToParent() {
    const QWidget* parent = parentWidget();
    if (parent != nullptr && parentLeft_ >= 0) {
        setGeometry(parentLeft_, 0, std::max(0, parent->width() - parentLeft_), parent->height());
    }
}

bool PlotPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        fitToParent();
    }
    return QWidget::eventFilter(watched, event);
}

void PlotPane::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
    event->accept();
}

}  // namespace quorvel
