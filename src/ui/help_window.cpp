#include "ui/help_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/program_paths.h"
#include "ui/qt_operator.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

// The error numbers the operator knows from every other file the program could not open.
constexpr int kErrFileNotFound = 53;
constexpr int kErrFileAccess = 75;
constexpr int kTopicRole = Qt::UserRole;
constexpr int kFileRole = Qt::UserRole + 1;
const QString kWindowTitle = QStringLiteral("Plovix Help");

QString fromPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

QStringList wordsOf(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

// A search word: found at the start of a word ("ring" is not in "filtering"), in any case.
QRegularExpression wordStart(const QString& word) {
    return QRegularExpression(QStringLiteral("\\b") + QRegularExpression::escape(word),
                              QRegularExpression::CaseInsensitiveOption);
}

}  // namespace

QString HelpWindow::defaultFolder() {
    const std::filesystem::path program = fAppPath();
    if (const auto found = findHelpFolder(program, installedDataFolder(program)))
        return fromPath(*found);
    return fromPath(program / kHelpFolderName);
}

HelpWindow::HelpWindow(const QString& folder) : folder_(folder) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(kWindowTitle);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("brwHelp"));
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({folder_});
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser_->documentTitle();
        setWindowTitle(title.isEmpty() ? kWindowTitle : title);
    });

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("tbrHelp"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack),
                                   QStringLiteral("Back"), browser_, &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("actBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                      QStringLiteral("Forward"), browser_, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("actForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    // F1 inside the help: its own first page.
    QAction* contents =
        bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"),
                       this, [this] { showTopic(HelpTopic::Contents, this); });
    contents->setObjectName(QStringLiteral("actContents"));
    contents->setShortcut(QKeySequence::HelpContents);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabNavigation"));
    tabs->addTab(buildIndex(), QStringLiteral("&Index"));
    tabs->addTab(buildSearch(), QStringLiteral("&Search"));
    auto* split = new QSplitter(this);
    split->addWidget(tabs);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    setCentralWidget(split);

    // Room for a page's tables beside the whole index, within the screen.
    const QFontMetrics metrics = fontMetrics();
    const int indexWidth = index_->sizeHintForColumn(0) + 2 * index_->frameWidth() +
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize size(indexWidth + metrics.horizontalAdvance(QLatin1Char('x')) * 150,
               metrics.lineSpacing() * 50);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    split->setSizes({indexWidth, size.width() - indexWidth});
}

QWidget* HelpWindow::buildIndex() {
    index_ = new QListWidget(this);
    index_->setObjectName(QStringLiteral("lstIndex"));
    for (const HelpPage& page : helpPages()) {
        auto* item = new QListWidgetItem(QString::fromUtf8(page.title), index_);
        item->setData(kTopicRole, static_cast<int>(page.topic));
    }
    const auto open = [this](QListWidgetItem* item) {
        showTopic(static_cast<HelpTopic>(item->data(kTopicRole).toInt()), this);
    };
    connect(index_, &QListWidget::itemClicked, this, open);
    connect(index_, &QListWidget::itemActivated, this, open);
    return index_;
}

QWidget* HelpWindow::buildSearch() {
    auto* page = new QWidget(this);
    searchBox_ = new QLineEdit(page);
    searchBox_->setObjectName(QStringLiteral("txtSearch"));
    searchBox_->setClearButtonEnabled(true);
    auto* caption = new QLabel(QStringLiteral("&Words to look for:"), page);
    caption->setBuddy(searchBox_);
    found_ = new QListWidget(page);
    found_->setObjectName(QStringLiteral("lstFound"));
    connect(searchBox_, &QLineEdit::textChanged, this, &HelpWindow::search);
    const auto open = [this](QListWidgetItem* item) {
        const QString file = item->data(kFileRole).toString();
        if (file.isEmpty()) return;
        browser_->setSource(QUrl::fromLocalFile(QDir(folder_).filePath(file)));
        // The first of the words, marked where it first stands.
        browser_->moveCursor(QTextCursor::Start);
        const QStringList words = wordsOf(searchBox_->text());
        if (!words.isEmpty()) browser_->find(wordStart(words.first()));
        show();
    };
    connect(found_, &QListWidget::itemClicked, this, open);
    connect(found_, &QListWidget::itemActivated, this, open);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(caption);
    layout->addWidget(searchBox_);
    layout->addWidget(found_, 1);
    return page;
}

const std::vector<HelpWindow::PageText>& HelpWindow::pageTexts() {
    if (pagesRead_) return pages_;
    pagesRead_ = true;
    const QDir dir(folder_);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.html")}, QDir::Files | QDir::Readable, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        pages_.push_back(
            {name, document.metaInformation(QTextDocument::DocumentTitle), document.toPlainText()});
    }
    return pages_;
}

void HelpWindow::search(const QString& text) {
    found_->clear();
    std::vector<QRegularExpression> words;
    for (const QString& word : wordsOf(text)) words.push_back(wordStart(word));
    if (words.empty()) return;
    // Pages that hold every word, those that use them most first.
    std::vector<std::pair<qsizetype, const PageText*>> hits;
    for (const PageText& page : pageTexts()) {
        qsizetype count = 0;
        for (const QRegularExpression& word : words) {
            qsizetype n = 0;
            for (auto it = word.globalMatch(page.text); it.hasNext(); it.next()) ++n;
            if (n == 0) {
                count = 0;
                break;
            }
            count += n;
        }
        if (count > 0) hits.emplace_back(count, &page);
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [count, page] : hits) {
        QString title = page->title.isEmpty() ? page->file : page->title;
        title.remove(QStringLiteral(" - ") + kWindowTitle);
        auto* item = new QListWidgetItem(title, found_);
        item->setData(kFileRole, page->file);
    }
    if (found_->count() == 0) {
        auto* none = new QListWidgetItem(QStringLiteral("No page holds these words."), found_);
        none->setFlags(Qt::NoItemFlags);
    }
}

bool HelpWindow::showTopic(HelpTopic topic, QWidget* asking) {
    const HelpPage& page = helpPage(topic);
    const QString path = QDir(folder_).filePath(QString::fromLatin1(page.file));
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        const bool missing = !info.exists();
        const QString text = QStringLiteral("Error %1   %2: %3")
                                 .arg(missing ? kErrFileNotFound : kErrFileAccess)
                                 .arg(missing ? QStringLiteral("File not found")
                                              : QStringLiteral("Path/File access error"))
                                 .arg(QDir::toNativeSeparators(path));
        QtOperator(asking, nullptr, nullptr)
            .showMessage(text.toStdString(), "Help", MessageIcon::Exclamation);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (*page.anchor != '\0') url.setFragment(QString::fromLatin1(page.anchor));
    browser_->setSource(url);
    if (*page.anchor != '\0') browser_->scrollToAnchor(QString::fromLatin1(page.anchor));
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace plovix::ui
