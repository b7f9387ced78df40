#include "ui/print_lines.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>

#include "sources/source_table.h"

namespace plovix::ui {

namespace {

constexpr int kDefaultPointSize = 10;

}  // namespace

QFont displayPrintFont(int sourceType) {
    const SourceLayout* source = findSource(sourceType);
    QFont font(QStringLiteral("Courier New"),
               source != nullptr ? source->printPointSize : kDefaultPointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(false);
    font.setItalic(false);
    return font;
}

QPageLayout displayPageLayout() {
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

LinePrinter::LinePrinter(QPagedPaintDevice& device, const QFont& font) : device_(device) {
    if (!painter_.begin(&device_)) return;
    painter_.setFont(font);
    const QFontMetricsF metrics(font, &device_);
    lineHeight_ = metrics.lineSpacing();
    ascent_ = metrics.ascent();
    page_ = QRectF(QPointF(0, 0), QSizeF(painter_.viewport().size()));
}

void LinePrinter::startLine() {
    // A page is begun only for a line that goes on it: no empty page at the end.
    if (y_ == 0 || y_ + lineHeight_ <= page_.height()) return;
    device_.newPage();
    ++pages_;
    y_ = 0;
}

void LinePrinter::print(const QString& line) {
    if (!active()) return;
    const QFontMetricsF metrics(painter_.font(), &device_);
    QString rest = line;
    do {
        // The longest start of the rest that fits across the page, at least one character.
        qsizetype fits = rest.size();
        if (metrics.horizontalAdvance(rest) > page_.width()) {
            qsizetype low = 1, high = rest.size() - 1;
            while (low < high) {
                const qsizetype mid = (low + high + 1) / 2;
                if (metrics.horizontalAdvance(rest.left(mid)) <= page_.width())
                    low = mid;
                else
                    high = mid - 1;
            }
            fits = low;
        }
        startLine();
        painter_.drawText(QPointF(0, y_ + ascent_), rest.left(fits));
        y_ += lineHeight_;
        rest = rest.mid(fits);
    } while (!rest.isEmpty());
}

bool LinePrinter::end() {
    return active() && painter_.end();
}

}  // namespace plovix::ui
