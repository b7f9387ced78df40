#pragma once
// The data display on paper: its lines one under another in a fixed-pitch font, a new page when
// a page is full. A line wider than the page goes on in the next printed line, so nothing of it
// is cut off at the edge of the paper.

#include <QFont>
#include <QPageLayout>
#include <QPainter>

class QPagedPaintDevice;

namespace plovix::ui {

// "Courier New" in the point size the source's display is printed in, neither bold nor
// italic; where Courier New is not installed, the system's fixed-pitch font.
QFont displayPrintFont(int sourceType);

// The page a saved PDF of the display has: the locale's paper (Letter where inches are the
// measure, else A4), portrait, margins of 15 mm.
QPageLayout displayPageLayout();

class LinePrinter {
  public:
    // Begins the document on `device`; active() says whether it could.
    LinePrinter(QPagedPaintDevice& device, const QFont& font);

    bool active() const { return painter_.isActive(); }
    void print(const QString& line);
    // Ends the document, which sends the pages on. False when the device failed.
    bool end();
    int pages() const { return pages_; }

  private:
    void startLine();

    QPagedPaintDevice& device_;
    QPainter painter_;
    QRectF page_;
    qreal lineHeight_ = 0, ascent_ = 0, y_ = 0;
    int pages_ = 1;
};

}  // namespace plovix::ui
