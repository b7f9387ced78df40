#include "plot/plot_chart.h"

#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "plot/output_file.h"
#include "ui/text_bridge.h"

namespace plovix::plot {

namespace {

// One colour per cycle (a run has at most ten), none of them grey: grey is for dropped readings.
constexpr QRgb kCycleColours[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                  0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22, 0x000080};
constexpr QRgb kDroppedColour = 0xa0a0a0;

QColor cycleColour(std::size_t index) {
    return QColor(kCycleColours[index % std::size(kCycleColours)]);
}

QString everyNth(std::int64_t every) {
    const std::int64_t tens = every % 100, ones = every % 10;
    const char* suffix = tens >= 11 && tens <= 13 ? "th"
                         : ones == 1              ? "st"
                         : ones == 2              ? "nd"
                         : ones == 3              ? "rd"
                                                  : "th";
    return QStringLiteral("every %1%2 shown").arg(every).arg(QLatin1String(suffix));
}

QString legendOfDropped(const PlotData& d) {
    QString name = QStringLiteral("Dropped (%1").arg(d.droppedCount);
    if (d.droppedEvery > 1) name += QStringLiteral(", ") + everyNth(d.droppedEvery);
    return name + QLatin1Char(')');
}

// A round step (1, 2, 2.5 or 5 times a power of ten) that cuts `span` into about eight parts.
double roundStep(double span) {
    const double raw = span / 8;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 2.5, 5.0})
        if (raw <= f * power) return f * power;
    return 10 * power;
}

// The axis from `low` to `high`, zero included, ending on round ticks.
QValueAxis* axis(const QString& title, double low, double high) {
    auto* a = new QValueAxis;
    a->setTitleText(title);
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (!(high > low) || !std::isfinite(high - low)) low = 0, high = 1;  // nothing to span
    // A little room beyond the outer readings, so that their marks are not cut in half.
    const double pad = (high - low) / 50;
    if (high > 0) high += pad;
    if (low < 0) low -= pad;
    const double step = roundStep(high - low);
    a->setRange(std::floor(low / step) * step, std::ceil(high / step) * step);
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(0);
    a->setTickInterval(step);
    a->setLabelFormat(QStringLiteral("%g"));
    return a;
}

}  // namespace

std::unique_ptr<QChart> makeChart(const PlotData& d) {
    auto chart = std::make_unique<QChart>();
    QString title =
        QStringLiteral("<p align=\"center\"><span style=\"font-size:13pt\"><b>%1</b></span><br>%2")
            .arg(ui::toQt(d.title).toHtmlEscaped(), ui::toQt(d.criteria).toHtmlEscaped());
    if (d.keptEvery > 1) title += QStringLiteral("<br>Kept readings: ") + everyNth(d.keptEvery);
    chart->setTitle(title + QStringLiteral("</p>"));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);

    double dispLow = 0, dispHigh = 0, loadLow = 0, loadHigh = 0;
    const auto widen = [&](const PlotPoint& p) {
        dispLow = std::min(dispLow, p.disp), dispHigh = std::max(dispHigh, p.disp);
        loadLow = std::min(loadLow, p.load), loadHigh = std::max(loadHigh, p.load);
    };
    std::vector<QAbstractSeries*> series;
    // The dropped readings first, so that the kept ones are drawn over them.
    if (d.droppedCount > 0) {
        auto* dropped = new QScatterSeries;
        dropped->setName(legendOfDropped(d));
        dropped->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        dropped->setMarkerSize(4);
        dropped->setColor(QColor(kDroppedColour));
        dropped->setBorderColor(QColor(kDroppedColour));
        for (const PlotCycle& c : d.cycles)
            for (const PlotPoint& p : c.dropped) dropped->append(p.disp, p.load), widen(p);
        series.push_back(dropped);
    }
    for (std::size_t i = 0; i < d.cycles.size(); ++i) {
        const PlotCycle& c = d.cycles[i];
        auto* kept = new QLineSeries;
        kept->setName(QStringLiteral("Cycle %1 (%2 kept)").arg(c.cycle).arg(c.keptCount));
        QPen pen(cycleColour(i));
        pen.setWidthF(1.6);
        kept->setPen(pen);
        kept->setPointsVisible(true);
        kept->setMarkerSize(5.5);
        for (const PlotPoint& p : c.kept) kept->append(p.disp, p.load), widen(p);
        series.push_back(kept);
    }

    QValueAxis* x = axis(ui::toQt(d.dispAxis), dispLow, dispHigh);
    QValueAxis* y = axis(ui::toQt(d.loadAxis), loadLow, loadHigh);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : series) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    return chart;
}

QWidget* makePlotView(const PlotData& data, QWidget* parent) {
    auto* view = new QChartView(makeChart(data).release(), parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setRubberBand(QChartView::RectangleRubberBand);
    return view;
}

void paintPlot(const PlotData& data, QPainter& painter, const QRectF& target) {
    const std::unique_ptr<QChart> owned = makeChart(data);
    QChart* chart = owned.get();
    QGraphicsScene scene;
    scene.addItem(chart);
    // Laid out at the plot's own width, whatever the target's resolution, so that the texts keep
    // their size against the plot; the target's shape decides the height.
    const QSizeF layoutSize(
        kPlotSize.width(), target.width() > 0 ? kPlotSize.width() * target.height() / target.width()
                                              : kPlotSize.height());
    chart->resize(layoutSize);
    chart->layout()->activate();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, QRectF(QPointF(0, 0), layoutSize), Qt::KeepAspectRatio);
    painter.restore();
    scene.removeItem(chart);
}

QImage plotImage(const PlotData& data, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPlot(data, painter, QRectF(QPointF(0, 0), size));
    return image;
}

std::optional<QString> savePlot(const PlotData& data, const QString& path) {
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == QLatin1String("png")) return writePng(path, plotImage(data));
    if (ending != QLatin1String("pdf"))
        return QStringLiteral("the plot is written as .png or .pdf, not as .%1").arg(ending);
    const QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                           QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    return writePdf(path, page, [&](QPdfWriter& writer) {
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        paintPlot(data, painter, QRectF(painter.viewport()));
        return painter.end();
    });
}

}  // namespace plovix::plot
