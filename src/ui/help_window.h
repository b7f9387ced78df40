#pragma once
// The help window: the pages shipped in the help folder in a text browser, with back and forward,
// the contents page, an index of the topics and a search over every page. Each window asks for
// its own topic (app/help_topics.h); one help window serves them all and stays usable beside the
// settings dialog.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <vector>

#include "app/help_topics.h"

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace plovix::ui {

// How a window asks for help: the asking window (messages go over it) and its topic.
using HelpRequest = std::function<void(QWidget* asking, HelpTopic topic)>;

class HelpWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `folder` holds the pages; it need not exist (every request then says so).
    explicit HelpWindow(const QString& folder);

    // Shows `topic`'s page at its section and brings the window to the front. When the page is
    // missing, the "Help" message goes over `asking` and nothing else happens.
    bool showTopic(HelpTopic topic, QWidget* asking);

    QString folder() const { return folder_; }
    QTextBrowser* browser() const { return browser_; }

    // The help folder beside the program, else the installed one; where it would be beside the
    // program when there is none.
    static QString defaultFolder();

  private:
    struct PageText {
        QString file, title, text;
    };
    QWidget* buildIndex();
    QWidget* buildSearch();
    void search(const QString& words);
    const std::vector<PageText>& pageTexts();

    QString folder_;
    QTextBrowser* browser_;
    QListWidget* index_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QListWidget* found_ = nullptr;
    std::vector<PageText> pages_;  // read on the first search
    bool pagesRead_ = false;
};

}  // namespace plovix::ui
