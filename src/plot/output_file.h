#pragma once
// PDF and PNG files written as every file of the program is: into a temporary file beside the
// target, then renamed over it, so a failure leaves the earlier file as it was.

#include <QPageLayout>
#include <QString>
#include <functional>
#include <optional>

class QImage;
class QPdfWriter;

namespace plovix::plot {

// `paint` paints the pages on the writer (it begins its own painter); it returns false when it
// could not. Returns why the file could not be written.
std::optional<QString> writePdf(const QString& path, const QPageLayout& layout,
                                const std::function<bool(QPdfWriter&)>& paint);

std::optional<QString> writePng(const QString& path, const QImage& image);

}  // namespace plovix::plot
