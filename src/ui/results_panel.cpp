#include "ui/results_panel.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

enum Row {
    kNumberRow,
    kButtonRow,
    kFileRow,
    kTotCyclesRow,
    kReadInFileRow,
    kCycleReadRow,
    kIdrRow,
    kSdrRow,
    kIlrRow,
    kSlrRow,
    kVertPressRow,
    kMaxLoadRow,
    kNumNorvoReadRow,
    kMetDispRow,
    kMetLoadRow,
    kTtfRow,
};

// A file name that does not fit its column is shortened in the middle; the tooltip gives the
// whole path.
class ElidedLabel : public QLabel {
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override {
        return {fontMetrics().averageCharWidth() * 4, QLabel::minimumSizeHint().height()};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        painter.drawText(area, alignment(),
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

QString numbered(const char* name, int specimen) {
    return QLatin1String(name) + QString::number(specimen);
}

// The one local file of a drag, or an empty text.
QString droppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) return {};
    const QUrl url = mime->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

void setShown(QWidget* w, bool shown) {
    if (w->isVisibleTo(w->parentWidget()) != shown) w->setVisible(shown);
}

}  // namespace

ResultsPanel::ResultsPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("RESULTS OF FILTERING READINGS"), parent),
      grid_(new QGridLayout(this)) {
    setObjectName(QStringLiteral("fraResults"));
    setAcceptDrops(true);
    grid_->setHorizontalSpacing(12);
    grid_->setVerticalSpacing(3);

    heading(kNumberRow, QStringLiteral("lblSpecNoT"), QStringLiteral("Specimen No"));
    heading(kFileRow, QStringLiteral("lblDANameT"), QStringLiteral("Data file:"));
    heading(kTotCyclesRow, QStringLiteral("lblTotCyclesT"), QStringLiteral("Cycles in file:"));
    heading(kReadInFileRow, QStringLiteral("lblReadInFileT"), QStringLiteral("Readings in File"));
    cycleReadHeading_ = heading(kCycleReadRow, QStringLiteral("lblCycleReadT"),
                                QStringLiteral("Cycles/Readings before filtering:"));
    heading(kIdrRow, QStringLiteral("lblIDRT"), QStringLiteral("Initial disp. repeats:"));
    heading(kSdrRow, QStringLiteral("lblSDRT"), QStringLiteral("Skip disp. repeats:"));
    heading(kIlrRow, QStringLiteral("lblILRT"), QStringLiteral("Initial load repeats:"));
    heading(kSlrRow, QStringLiteral("lblSLRT"), QStringLiteral("Skip load repeats:"));
    vertPressHeading_ = heading(kVertPressRow, QStringLiteral("lblVertPressT"),
                                QStringLiteral("Vertical pressure:"));
    maxLoadHeading_ =
        heading(kMaxLoadRow, QStringLiteral("lblMaxLoadT"), QStringLiteral("Maximum load:"));
    heading(kNumNorvoReadRow, QStringLiteral("lblNumNorvoReadT"),
            QStringLiteral("Readings to be written:"));
    heading(kMetDispRow, QStringLiteral("lblMetDispT"),
            QStringLiteral("Readings meeting disp. criteria:"));
    heading(kMetLoadRow, QStringLiteral("lblMetLoadT"),
            QStringLiteral("Readings meeting load criteria:"));
    ttfHeading_ = heading(kTtfRow, QStringLiteral("lblTTFT"), QStringLiteral("Time of test:"));

    int buttonWidth = 0;
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        SpecimenColumnWidgets& c = columns_[static_cast<std::size_t>(n)];
        c.number = new QLabel(QString::number(n), this);
        c.number->setObjectName(numbered("lblSpecNo", n));
        c.number->setAlignment(Qt::AlignCenter);
        c.number->setToolTip(QStringLiteral("Specimen %1 (Alt+%1)").arg(n));
        c.number->installEventFilter(this);
        // The keyboard's click on the number: Alt and the specimen's digit.
        auto* select = new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_0 + n)), this);
        connect(select, &QShortcut::activated, this, [this, n] { emit numberClicked(n); });
        grid_->addWidget(c.number, kNumberRow, n);

        c.button = new QPushButton(QStringLiteral("Select D/A File"), this);
        c.button->setObjectName(numbered("cmdGetDAFile", n));
        c.button->setAccessibleName(QStringLiteral("Select D/A File for specimen %1").arg(n));
        connect(c.button, &QPushButton::clicked, this, [this, n] { emit fileRequested(n); });
        grid_->addWidget(c.button, kButtonRow, n);
        buttonWidth = std::max(buttonWidth, c.button->sizeHint().width());

        c.fileName = new ElidedLabel(this);
        c.fileName->setObjectName(numbered("lblDAName", n));
        c.fileName->setAlignment(Qt::AlignCenter);
        c.fileName->installEventFilter(this);
        grid_->addWidget(c.fileName, kFileRow, n);

        c.totCycles = cell(kTotCyclesRow, n, "lblTotCycles");
        c.readInFile = cell(kReadInFileRow, n, "lblReadInFile");
        c.cycleRead = cell(kCycleReadRow, n, "lblCycleRead");
        c.idr = cell(kIdrRow, n, "lblIDR");
        c.ilr = cell(kIlrRow, n, "lblILR");
        c.vertPress = cell(kVertPressRow, n, "lblVertPress");
        c.maxLoad = cell(kMaxLoadRow, n, "lblMaxLoad");
        c.numNorvoRead = cell(kNumNorvoReadRow, n, "lblNumNorvoRead");
        c.metDisp = cell(kMetDispRow, n, "lblMetDisp");
        c.metLoad = cell(kMetLoadRow, n, "lblMetLoad");
        c.ttf = cell(kTtfRow, n, "lblTTF");

        const auto skipBox = [&](int row, const char* name, const QString& caption,
                                 bool displacement) {
            auto* box = new QCheckBox(this);
            box->setObjectName(numbered(name, n));
            box->setAccessibleName(caption);
            box->setToolTip(caption);
            connect(box, &QCheckBox::clicked, this, [this, n, displacement](bool on) {
                emit skipRepeatsToggled(n, displacement, on);
            });
            grid_->addWidget(box, row, n, Qt::AlignCenter);
            return box;
        };
        c.sdr = skipBox(kSdrRow, "chkSDR", QStringLiteral("Skip disp. repeats:"), true);
        c.slr = skipBox(kSlrRow, "chkSLR", QStringLiteral("Skip load repeats:"), false);
    }
    // The skip boxes come after the first file: their rows keep their height meanwhile, so the
    // window does not grow under the operator's hands.
    grid_->setRowMinimumHeight(kSdrRow, columns_[1].sdr->sizeHint().height());
    grid_->setRowMinimumHeight(kSlrRow, columns_[1].slr->sizeHint().height());
    // Room for all four columns from the start: the window keeps its shape as specimens come
    // in, and an empty column is still a place to drop a file on.
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        grid_->setColumnMinimumWidth(n, buttonWidth);
        grid_->setColumnStretch(n, 1);
    }
    grid_->setRowStretch(kTtfRow + 1, 1);
    // Keyboard order: the file buttons first, then each column's skip boxes.
    QWidget* previous = columns_[1].button;
    for (int n = 2; n <= kMaxSpecimen; ++n) {
        setTabOrder(previous, columns_[static_cast<std::size_t>(n)].button);
        previous = columns_[static_cast<std::size_t>(n)].button;
    }
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        const SpecimenColumnWidgets& c = columns_[static_cast<std::size_t>(n)];
        setTabOrder(previous, c.sdr);
        setTabOrder(c.sdr, c.slr);
        previous = c.slr;
    }
}

QLabel* ResultsPanel::heading(int row, const QString& name, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    grid_->addWidget(label, row, 0);
    return label;
}

QLabel* ResultsPanel::cell(int row, int specimen, const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(numbered(name, specimen));
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid_->addWidget(label, row, specimen);
    return label;
}

void ResultsPanel::refresh(const ImportWorkflow& workflow) {
    const WindowView& view = workflow.view();
    const SpecimenFiles& files = workflow.session().specimens;
    const ResultHeadings& h = files.Headings;

    cycleReadHeading_->setEnabled(h.cycleReadingsEnabled);
    vertPressHeading_->setText(toQt(h.normalStress));
    vertPressHeading_->setEnabled(h.normalStressEnabled);
    maxLoadHeading_->setText(toQt(h.maxLoad));
    ttfHeading_->setText(toQt(h.timeOrRate));

    for (int n = 1; n <= kMaxSpecimen; ++n) {
        const SpecimenView& sv = view.specimens[static_cast<std::size_t>(n)];
        const SpecimenColumnWidgets& c = columns_[static_cast<std::size_t>(n)];
        const SpecimenColumn& col = files.Column(n);

        marks_[static_cast<std::size_t>(n)] = sv.mark;
        paintNumber(n);

        setShown(c.button, sv.button);
        const std::pair<QLabel*, const std::string*> texts[] = {
            {c.totCycles, &col.cyclesInFile},  {c.readInFile, &col.readingsInFile},
            {c.cycleRead, &col.cycleReadings}, {c.idr, &col.initialDispRepeats},
            {c.ilr, &col.initialLoadRepeats},  {c.vertPress, &col.normalStress},
            {c.maxLoad, &col.maxLoad},         {c.numNorvoRead, &col.readingsToWrite},
            {c.metDisp, &col.metDisp},         {c.metLoad, &col.metLoad},
            {c.ttf, &col.timeOrRate},
        };
        for (const auto& [label, text] : texts) {
            label->setText(toQt(*text));
            setShown(label, sv.column);
        }
        c.cycleRead->setEnabled(col.cycleReadingsEnabled);
        c.vertPress->setEnabled(h.normalStressEnabled);
        // Too many readings for the DOS Norvo, or none: light red.
        c.numNorvoRead->setStyleSheet(col.readingsToWriteRed
                                          ? QStringLiteral("QLabel { color: #ff0000; "
                                                           "font-weight: bold; }")
                                          : QString());

        c.fileName->setText(toQt(files.SpecimenFileName(n)));
        c.fileName->setToolTip(toQt(workflow.specimenTooltip(n)));
        setShown(c.fileName, sv.column);

        const bool skipShown = n == 1 ? sv.skipBoxes : sv.column;
        c.sdr->setChecked(files.SkipDispRepeats(n));
        c.slr->setChecked(files.SkipLoadRepeats(n));
        setShown(c.sdr, skipShown);
        setShown(c.slr, skipShown);
    }
}

bool ResultsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int n = 1; n <= kMaxSpecimen; ++n) {
            const SpecimenColumnWidgets& c = columns_[static_cast<std::size_t>(n)];
            if (watched == c.number) {
                emit numberClicked(n);
                return true;
            }
            if (watched == c.fileName) {
                emit fileRequested(n);
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

int ResultsPanel::specimenAt(const QPoint& pos) const {
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        const QRect column = grid_->cellRect(kNumberRow, n);
        const int gap = grid_->horizontalSpacing() / 2;
        if (pos.x() >= column.left() - gap && pos.x() <= column.right() + gap) return n;
    }
    return 0;
}

void ResultsPanel::paintNumber(int n) {
    // Current: black and bold; imported: dark grey; not yet imported: white. A file dragged
    // over the column frames its number.
    const SpecimenMark mark = marks_[static_cast<std::size_t>(n)];
    const char* colour = mark == SpecimenMark::Current    ? "#000000"
                         : mark == SpecimenMark::Imported ? "#555555"
                                                          : "#ffffff";
    columns_[static_cast<std::size_t>(n)].number->setStyleSheet(
        QStringLiteral("QLabel { color: %1; background: #a8a8a8; font-weight: %2; padding: 2px; "
                       "border: 2px solid %3; }")
            .arg(QLatin1String(colour),
                 QLatin1String(mark == SpecimenMark::Current ? "bold" : "normal"),
                 QLatin1String(dropTarget_ == n ? "#000080" : "#a8a8a8")));
}

void ResultsPanel::markDropTarget(int specimen) {
    if (dropTarget_ == specimen) return;
    const int previous = dropTarget_;
    dropTarget_ = specimen;
    if (previous != 0) paintNumber(previous);
    if (specimen != 0) paintNumber(specimen);
}

void ResultsPanel::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedFile(event->mimeData()).isEmpty()) return;
    event->acceptProposedAction();
}

void ResultsPanel::dragMoveEvent(QDragMoveEvent* event) {
    const int specimen = specimenAt(event->position().toPoint());
    markDropTarget(specimen);
    if (specimen != 0 && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void ResultsPanel::dragLeaveEvent(QDragLeaveEvent*) {
    markDropTarget(0);
}

void ResultsPanel::dropEvent(QDropEvent* event) {
    markDropTarget(0);
    const int specimen = specimenAt(event->position().toPoint());
    const QString path = droppedFile(event->mimeData());
    if (specimen == 0 || path.isEmpty()) return;
    event->acceptProposedAction();
    emit fileDropped(specimen, path);
}

}  // namespace plovix::ui
