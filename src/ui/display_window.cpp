#include "ui/display_window.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <ctime>

#include "app/help_topics.h"
#include "app/program_paths.h"
#include "display/data_display.h"
#include "filter/filter_report.h"
#include "plot/output_file.h"
#include "plot/plot_chart.h"
#include "sources/source_table.h"
#include "ui/print_lines.h"
#include "ui/qt_operator.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

// The display's lines for the list, turned into text only as they are drawn: a file of a
// million readings gives millions of lines.
class DisplayLinesModel final : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    void setLines(std::vector<std::string> lines) {
        beginResetModel();
        lines_ = std::move(lines);
        endResetModel();
    }
    const std::vector<std::string>& lines() const { return lines_; }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return toQt(lines_[static_cast<std::size_t>(index.row())]);
    }

  private:
    std::vector<std::string> lines_;
};

// The display's messages as message boxes over the window; it has no status line.
class MessageBoxes final : public Operator {
  public:
    explicit MessageBoxes(QWidget* window) : boxes_(window, nullptr, nullptr) {}
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        boxes_.showMessage(text, title, icon);
    }
    bool askOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override {
        return boxes_.askOkCancel(text, title, icon);
    }
    void showStatus(const std::string&, int) override {}
    void reportProgress(std::int64_t, std::int64_t) override {}
    void processEvents() override {}

  private:
    QtOperator boxes_;
};

namespace {

constexpr int kRebuildDelay = 150;  // ms after the last resize

PrintedAt now() {
    return printedAt(std::time(nullptr), false);
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QFont listFont() {
    QFont font = displayPrintFont(0);
    font.setPointSize(QApplication::font().pointSize());
    return font;
}

}  // namespace

DisplayWindow::DisplayWindow(const ImportWorkflow& workflow, QString& printerName, QWidget* parent)
    : QDialog(parent),
      workflow_(workflow),
      session_(workflow.session()),
      specimen_(workflow.session().specimens.CurrentSpecimen),
      printerName_(printerName),
      installedPrinters_([] { return QPrinterInfo::availablePrinterNames(); }),
      messages_(std::make_unique<MessageBoxes>(this)) {
    setObjectName(QStringLiteral("frmConvert"));
    const SourceLayout* source = findSource(session_.settings.SourceType);
    setWindowTitle(toQt(source != nullptr ? source->name : "") +
                   QStringLiteral(" Import Data Display"));
    setModal(true);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabDisplay"));
    tabs_->addTab(makeDataPage(), QStringLiteral("&Data"));
    tabs_->addTab(makePlotPage(), QStringLiteral("&Plot and Filter Report"));

    print_ = button("cmdPrint", QStringLiteral("Print"), this);
    preview_ = button("cmdPreview", QStringLiteral("Print Pre&view"), this);
    savePdf_ = button("cmdSavePdf", QStringLiteral("Save as PD&F..."), this);
    savePng_ = button("cmdSavePng", QStringLiteral("Save as P&NG..."), this);
    printSet_ = button("cmdPrintSet", QStringLiteral("Show Printers"), this);
    help_ = button("cmdHelp", QStringLiteral("Help"), this);
    close_ = button("cmdQuit", QStringLiteral("Close"), this);
    printers_ = new QComboBox(this);
    printers_->setObjectName(QStringLiteral("cmbPrinters"));
    printers_->setPlaceholderText(QStringLiteral("Select a printer"));
    printers_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    printers_->setVisible(false);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(print_), static_cast<QWidget*>(preview_),
                       static_cast<QWidget*>(savePdf_), static_cast<QWidget*>(savePng_),
                       static_cast<QWidget*>(printSet_), static_cast<QWidget*>(printers_)})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(help_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);

    connect(print_, &QPushButton::clicked, this, &DisplayWindow::print);
    connect(preview_, &QPushButton::clicked, this, &DisplayWindow::preview);
    connect(savePdf_, &QPushButton::clicked, this, &DisplayWindow::savePdf);
    connect(savePng_, &QPushButton::clicked, this, &DisplayWindow::savePng);
    connect(printSet_, &QPushButton::clicked, this, &DisplayWindow::togglePrinters);
    connect(printers_, &QComboBox::textActivated, this, &DisplayWindow::choosePrinter);
    connect(help_, &QPushButton::clicked, this, &DisplayWindow::showHelp);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    connect(tabs_, &QTabWidget::currentChanged, this, &DisplayWindow::tabChanged);

    rebuildTimer_ = new QTimer(this);
    rebuildTimer_->setSingleShot(true);
    rebuildTimer_->setInterval(kRebuildDelay);
    connect(rebuildTimer_, &QTimer::timeout, this, &DisplayWindow::rebuild);
    tabChanged();

    // Most of the screen, centred on it: the lines are long and many.
    if (const QScreen* screen = parent != nullptr ? parent->screen() : this->screen()) {
        const QRect area = screen->availableGeometry();
        resize(QSize(1000, 720).boundedTo(area.size() * 9 / 10));
        move(area.center() - rect().center());
    }
}

DisplayWindow::~DisplayWindow() = default;

QWidget* DisplayWindow::makeDataPage() {
    auto* page = new QWidget(this);
    model_ = new DisplayLinesModel(page);
    list_ = new QListView(page);
    list_->setObjectName(QStringLiteral("List1"));
    list_->setModel(model_);
    list_->setFont(listFont());
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    currentLine_ = new QPlainTextEdit(page);
    currentLine_->setObjectName(QStringLiteral("txtCurrentLine"));
    currentLine_->setReadOnly(true);
    currentLine_->setFont(list_->font());
    currentLine_->setWordWrapMode(QTextOption::WrapAnywhere);
    // Room for a long line wrapped twice.
    currentLine_->setFixedHeight(QFontMetrics(currentLine_->font()).lineSpacing() * 3 +
                                 2 * currentLine_->frameWidth() + 8);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DisplayWindow::showCurrentLine);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(list_, 9);
    layout->addWidget(currentLine_);
    return page;
}

QWidget* DisplayWindow::makePlotPage() {
    const std::optional<PlotData>& plot = workflow_.plotData(specimen_);
    const std::optional<FilterReport>& report = workflow_.filterReport(specimen_);
    if (!plot || !report) {
        auto* none = new QLabel(
            QStringLiteral("Specimen %1 has no readings to plot: choose its D/A file first.")
                .arg(specimen_),
            this);
        none->setObjectName(QStringLiteral("lblNoPlot"));
        none->setAlignment(Qt::AlignCenter);
        return none;
    }
    auto* page = new QSplitter(Qt::Vertical, this);
    page->setObjectName(QStringLiteral("pnlPlot"));
    QWidget* view = plot::makePlotView(*plot, page);
    view->setObjectName(QStringLiteral("chtPlot"));
    auto* text = new QPlainTextEdit(page);
    text->setObjectName(QStringLiteral("txtFilterReport"));
    text->setReadOnly(true);
    text->setFont(listFont());
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (const std::string& line :
         filterReportLines(*report, plot->dispUnit, session_.program.TestType == kDirectShear))
        lines << toQt(line);
    text->setPlainText(lines.join(QLatin1Char('\n')));
    page->addWidget(view);
    page->addWidget(text);
    page->setStretchFactor(0, 1);
    const int reportHeight =
        QFontMetrics(text->font()).lineSpacing() * (static_cast<int>(lines.size()) + 1) + 12;
    page->setSizes({600, std::min(reportHeight, 220)});
    return page;
}

const std::vector<std::string>& DisplayWindow::lines() const {
    return model_->lines();
}

void DisplayWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    rebuildTimer_->start();
}

void DisplayWindow::rebuild() {
    // Told once that there is nothing to show, not at every resize.
    if (session_.settings.DAFile.empty() && toldNoData_) return;
    toldNoData_ = session_.settings.DAFile.empty();
    const int row = list_->currentIndex().row();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->setLines(displayLines(session_, *messages_, now()));
    QApplication::restoreOverrideCursor();
    // The operator keeps his place in the list.
    if (row >= 0 && row < model_->rowCount()) {
        list_->setCurrentIndex(model_->index(row));
        list_->scrollTo(model_->index(row), QAbstractItemView::PositionAtCenter);
    }
    showCurrentLine();
}

void DisplayWindow::showCurrentLine() {
    const QModelIndex current = list_->currentIndex();
    currentLine_->setPlainText(current.isValid() ? current.data().toString() : QString());
}

bool DisplayWindow::plotShown() const {
    return tabs_->currentIndex() == 1;
}

void DisplayWindow::tabChanged() {
    // The buttons act on what the window shows; only a plot has a PNG.
    const bool hasPlot = workflow_.plotData(specimen_).has_value();
    const bool usable = !plotShown() || hasPlot;
    for (QPushButton* b : {print_, preview_, savePdf_}) b->setEnabled(usable);
    savePng_->setEnabled(plotShown() && hasPlot);
}

bool DisplayWindow::noData() {
    if (!session_.settings.DAFile.empty()) return false;
    Display(session_, *messages_, now(), [](std::string_view) {});  // "No data to display"
    return true;
}

bool DisplayWindow::printDisplay(QPagedPaintDevice& device) {
    if (noData()) return false;
    LinePrinter out(device, displayPrintFont(session_.settings.SourceType));
    if (!out.active()) {
        messages_->showMessage("The printer could not start the document.", kProgramName,
                               MessageIcon::Critical);
        return false;
    }
    Display(session_, *messages_, now(),
            [&](std::string_view line) { out.print(toQt(std::string(line))); });
    return out.end();
}

bool DisplayWindow::paintOn(QPrinter& printer) {
    if (!plotShown()) return printDisplay(printer);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    plot::paintPlot(*workflow_.plotData(specimen_), painter, QRectF(painter.viewport()));
    return painter.end();
}

QPrinter* DisplayWindow::currentPrinter() {
    const QPrinterInfo chosen = QPrinterInfo::printerInfo(printerName_);
    printer_ = std::make_unique<QPrinter>(chosen.isNull() ? QPrinterInfo::defaultPrinter() : chosen,
                                          QPrinter::HighResolution);
    return printer_.get();
}

void DisplayWindow::print() {
    if (!plotShown() && noData()) return;
    if (installedPrinters_().isEmpty()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Print"),
                        QStringLiteral("No printer is installed on this computer. What the "
                                       "window shows can be saved as a PDF file instead."),
                        QMessageBox::Save | QMessageBox::Cancel, this);
        box.button(QMessageBox::Save)->setText(QStringLiteral("Save as PDF..."));
        if (box.exec() == QMessageBox::Save) savePdf();
        return;
    }
    paintOn(*currentPrinter());
}

void DisplayWindow::preview() {
    if (!plotShown() && noData()) return;
    QPrintPreviewDialog dialog(currentPrinter(), this);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { paintOn(*printer); });
    dialog.resize(size());
    dialog.exec();
}

QString DisplayWindow::askSaveFile(const QString& suffix, const QString& filter) {
    // Beside the D/A file, named after it.
    const QFileInfo da(QFile::decodeName(QByteArray::fromStdString(session_.settings.DAFile)));
    QString name =
        da.completeBaseName().isEmpty() ? QStringLiteral("display") : da.completeBaseName();
    if (plotShown()) name += QStringLiteral("-plot");
    QFileDialog dialog(this, plotShown() ? QStringLiteral("Save the Plot")
                                         : QStringLiteral("Save the Data Display"));
    dialog.setObjectName(QStringLiteral("dlgSave"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    dialog.setDirectory(da.absoluteDir().exists() && !da.fileName().isEmpty() ? da.absolutePath()
                                                                              : QDir::homePath());
    dialog.selectFile(name + QLatin1Char('.') + suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void DisplayWindow::savePdf() {
    if (!plotShown() && noData()) return;
    const QString path = askSaveFile(QStringLiteral("pdf"), QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    std::optional<QString> error;
    if (plotShown()) {
        error = plot::savePlot(*workflow_.plotData(specimen_), path);
    } else {
        error = plot::writePdf(path, displayPageLayout(),
                               [this](QPdfWriter& writer) { return printDisplay(writer); });
    }
    if (error)
        messages_->showMessage("The PDF file " + pathFromQt(path) +
                                   " could not be written: " + toCodePage(*error) + ".",
                               kProgramName, MessageIcon::Critical);
}

void DisplayWindow::savePng() {
    const QString path = askSaveFile(QStringLiteral("png"), QStringLiteral("PNG images (*.png)"));
    if (path.isEmpty()) return;
    if (const auto error = plot::savePlot(*workflow_.plotData(specimen_), path))
        messages_->showMessage(
            "The image " + pathFromQt(path) + " could not be written: " + toCodePage(*error) + ".",
            kProgramName, MessageIcon::Critical);
}

void DisplayWindow::togglePrinters() {
    const bool show = !printers_->isVisible();
    printers_->setVisible(show);
    printSet_->setText(show ? QStringLiteral("Hide Printers") : QStringLiteral("Show Printers"));
    if (!show) return;
    // Appended at every showing, not cleared first, as the list has always done.
    printers_->addItems(installedPrinters_());
    if (printers_->count() == 0)
        printers_->setPlaceholderText(QStringLiteral("No printer installed"));
}

void DisplayWindow::choosePrinter(const QString& name) {
    // A printer removed since the list was filled changes nothing.
    if (installedPrinters_().contains(name)) printerName_ = name;
}

void DisplayWindow::showHelp() {
    if (openHelp_) {
        openHelp_(this, HelpTopic::DataDisplay);
        return;
    }
    // Without the program's help window: the page in the desktop's browser.
    const auto folder = findHelpFolder(fAppPath(), installedDataFolder(fAppPath()));
    if (!folder) {
        messages_->showMessage("The help pages are not installed.", kProgramName,
                               MessageIcon::Information);
        return;
    }
    const HelpPage& page = helpPage(HelpTopic::DataDisplay);
    QUrl url = QUrl::fromLocalFile(QFile::decodeName((*folder / page.file).string().c_str()));
    url.setFragment(QString::fromLatin1(page.anchor));
    QDesktopServices::openUrl(url);
}

}  // namespace plovix::ui
