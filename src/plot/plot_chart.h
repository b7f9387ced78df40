#pragma once
// A specimen's load-displacement plot drawn with Qt Charts: each loading cycle in its own
// colour, kept readings as marked points joined by lines, dropped readings as small grey points,
// the filter criteria under the title. The window shows it; plovix-convert --plot writes it.

#include <QSize>
#include <QString>
#include <memory>
#include <optional>

#include "filter/plot_points.h"

class QChart;
class QImage;
class QPainter;
class QRectF;
class QWidget;

namespace plovix::plot {

// The size a plot is laid out at before it is scaled to its target: the size of a PNG.
inline constexpr QSize kPlotSize{1200, 800};

std::unique_ptr<QChart> makeChart(const PlotData& data);

// A view of the plot for a window: drag a rectangle to zoom in, right-click to zoom out.
QWidget* makePlotView(const PlotData& data, QWidget* parent);

// Draws the plot into `target` of `painter`, laid out at kPlotSize's shape fitted to the
// target; on a PDF or a printer it stays vector.
void paintPlot(const PlotData& data, QPainter& painter, const QRectF& target);

QImage plotImage(const PlotData& data, QSize size = kPlotSize);

// Writes the plot to `path` as PNG or as a one-page PDF, by its ending in any letter case, by
// atomic replace. Returns why it could not.
std::optional<QString> savePlot(const PlotData& data, const QString& path);

}  // namespace plovix::plot
