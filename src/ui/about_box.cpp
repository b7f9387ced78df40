#include "ui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/version.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

QString productVersion() {
    return toQt(appVersionText()).trimmed();
}

AboutBox::AboutBox(QWidget* mainWindow, HelpRequest help) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Plovix"));
    // Modal over the main window only, so that its help can be read.
    setWindowModality(Qt::WindowModal);
    if (help) {
        auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
        connect(f1, &QShortcut::activated, this,
                [this, help = std::move(help)] { help(this, HelpTopic::About); });
    }

    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(64, 64));
    auto* name = new QLabel(QStringLiteral("<b>Plovix</b>"), this);
    name->setObjectName(QStringLiteral("lblTitle"));
    auto* what = new QLabel(
        QStringLiteral("Imports soil-test data-acquisition files into the KALVORN Norvo Program."),
        this);
    what->setWordWrap(true);
    auto* version = new QLabel(QStringLiteral("Product version: ") + productVersion(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(what);
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred over the main window, whatever its size and place.
    if (QWidget* main = parentWidget()) {
        const QRect over = main->frameGeometry();
        move(over.left() + (over.width() - frameGeometry().width()) / 2,
             over.top() + (over.height() - frameGeometry().height()) / 2);
    }
}

}  // namespace plovix::ui
