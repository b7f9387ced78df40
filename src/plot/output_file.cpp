#include "plot/output_file.h"

#include <QImage>
#include <QPdfWriter>
#include <QSaveFile>

namespace plovix::plot {

namespace {

std::optional<QString> commit(QSaveFile& file) {
    if (file.commit()) return std::nullopt;
    return file.errorString();
}

}  // namespace

std::optional<QString> writePdf(const QString& path, const QPageLayout& layout,
                                const std::function<bool(QPdfWriter&)>& paint) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Plovix"));
        writer.setPageLayout(layout);
        if (!paint(writer)) {
            file.cancelWriting();
            return QStringLiteral("the pages could not be drawn");
        }
    }  // the writer finishes the file here
    return commit(file);
}

std::optional<QString> writePng(const QString& path, const QImage& image) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return QStringLiteral("the image could not be encoded");
    }
    return commit(file);
}

}  // namespace plovix::plot
