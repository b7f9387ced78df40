#include "ui/import_panel.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/results_panel.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

QLabel* named(QLabel* label, const char* name) {
    label->setObjectName(QLatin1String(name));
    return label;
}

void setTextKeepingCursor(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

}  // namespace

ImportPanel::ImportPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlImport"));

    testType_ = new QComboBox(this);
    testType_->setObjectName(QStringLiteral("cmbTestType"));
    testType_->addItems(
        {QStringLiteral("Unconfined Compression"), QStringLiteral("Direct Shear"),
         QStringLiteral("Unconsolidated Undrained"), QStringLiteral("Consolidated Undrained"),
         QStringLiteral("CU with Pore Pressures"), QStringLiteral("Consolidated Drained")});
    testType_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(testType_, &QComboBox::activated, this, &ImportPanel::testTypeChosen);
    auto* testTypeLabel = named(new QLabel(QStringLiteral("Type of &test:"), this), "lblTestType");
    testTypeLabel->setBuddy(testType_);

    auto* testRow = new QHBoxLayout;
    testRow->addWidget(testTypeLabel);
    testRow->addWidget(testType_);
    testRow->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(testRow);
    left->addWidget(buildCriteria());
    left->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(buildExport(), 1);

    results_ = new ResultsPanel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(results_, 1);

    setTabOrder(testType_, facTol1_);
    setTabOrder(facTol1_, facTol2_);
    setTabOrder(facTol2_, apply_);
    setTabOrder(apply_, windowsVersion_);
    setTabOrder(windowsVersion_, dosVersion_);
    setTabOrder(dosVersion_, norvoName_);
    setTabOrder(norvoName_, description_);
    setTabOrder(description_, results_->column(1).button);
}

QWidget* ImportPanel::buildCriteria() {
    auto* box = new QGroupBox(QStringLiteral("FILTER CRITERIA"), this);
    box->setObjectName(QStringLiteral("fraFilter"));
    facTol1_ = new QLineEdit(box);
    facTol1_->setObjectName(QStringLiteral("txtFacTol1"));
    facTol2_ = new QLineEdit(box);
    facTol2_->setObjectName(QStringLiteral("txtFacTol2"));
    for (QLineEdit* edit : {facTol1_, facTol2_}) {
        const int n = edit == facTol1_ ? 1 : 2;
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 8);
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 14);
        connect(edit, &QLineEdit::textEdited, this,
                [this, n](const QString& text) { emit criteriaEdited(n, text); });
        connect(edit, &QLineEdit::returnPressed, this, [this, n] { emit criteriaEntered(n); });
    }
    auto* dispLabel = named(
        new QLabel(QStringLiteral("Maximum &displacement  without a point:"), box), "lblFacTol1");
    dispLabel->setBuddy(facTol1_);
    auto* loadLabel =
        named(new QLabel(QStringLiteral("&Load change without a point as  % of maximum:"), box),
              "lblFacTol2");
    loadLabel->setBuddy(facTol2_);

    // The Apply control: black around the button while a change waits to be applied.
    applyPanel_ = new QFrame(box);
    applyPanel_->setObjectName(QStringLiteral("pnlApply"));
    applyPanel_->setAutoFillBackground(true);
    applyPanel_->installEventFilter(this);
    apply_ = new QPushButton(QStringLiteral("APPLY CHANGE"), applyPanel_);
    apply_->setObjectName(QStringLiteral("CMDaPPLY"));
    connect(apply_, &QPushButton::clicked, this, &ImportPanel::applyRequested);
    auto* applyLayout = new QHBoxLayout(applyPanel_);
    applyLayout->setContentsMargins(4, 4, 4, 4);
    applyLayout->addWidget(apply_);

    auto* grid = new QGridLayout(box);
    grid->addWidget(dispLabel, 0, 0);
    grid->addWidget(facTol1_, 0, 1);
    grid->addWidget(loadLabel, 1, 0);
    grid->addWidget(facTol2_, 1, 1);
    grid->addWidget(applyPanel_, 0, 2, 2, 1, Qt::AlignCenter);
    grid->setColumnStretch(0, 1);
    return box;
}

QWidget* ImportPanel::buildExport() {
    auto* box = new QGroupBox(QStringLiteral("Export results:"), this);
    box->setObjectName(QStringLiteral("fraExport"));
    windowsVersion_ = new QRadioButton(QStringLiteral("&Windows Version"), box);
    windowsVersion_->setObjectName(QStringLiteral("optNorvoVersion0"));
    dosVersion_ = new QRadioButton(QStringLiteral("D&OS Version"), box);
    dosVersion_->setObjectName(QStringLiteral("optNorvoVersion1"));
    connect(windowsVersion_, &QRadioButton::clicked, this, [this] { emit versionChosen(true); });
    connect(dosVersion_, &QRadioButton::clicked, this, [this] { emit versionChosen(false); });

    norvoName_ = new QPushButton(QStringLiteral("Select File Name"), box);
    norvoName_->setObjectName(QStringLiteral("cmdNorvoName"));
    connect(norvoName_, &QPushButton::clicked, this, &ImportPanel::norvoFileRequested);
    norvoFileName_ = named(new QLabel(box), "lblNorvoName");
    norvoFileName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    norvoPath_ = named(new QLabel(QStringLiteral("n/a"), box), "Label10");
    norvoPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    norvoPath_->setWordWrap(true);
    norvoPath_->setMinimumWidth(norvoPath_->fontMetrics().averageCharWidth() * 30);

    description_ = new QLineEdit(box);
    description_->setObjectName(QStringLiteral("txtNorvoDes"));
    connect(description_, &QLineEdit::textEdited, this, &ImportPanel::descriptionEdited);
    descriptionLabel_ =
        named(new QLabel(QStringLiteral("DOS Norvo File Description:"), box), "lblDOSNVDes");
    descriptionLabel_->setBuddy(description_);

    auto* versions = new QHBoxLayout;
    versions->addWidget(windowsVersion_);
    versions->addWidget(dosVersion_);
    versions->addStretch(1);
    auto* file = new QHBoxLayout;
    file->addWidget(norvoName_);
    file->addWidget(norvoFileName_, 1);

    auto* layout = new QVBoxLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("Export to KALVORN Norvo Test program:"), box));
    layout->addLayout(versions);
    layout->addWidget(new QLabel(QStringLiteral("Save readings in Norvo file:"), box));
    layout->addLayout(file);
    layout->addWidget(norvoPath_);
    layout->addWidget(descriptionLabel_);
    layout->addWidget(description_);
    layout->addStretch(1);
    return box;
}

void ImportPanel::refresh(const ImportWorkflow& workflow) {
    const WindowView& view = workflow.view();
    if (testType_->currentIndex() != view.testTypeIndex)
        testType_->setCurrentIndex(view.testTypeIndex);
    setTextKeepingCursor(facTol1_, toQt(view.criteria[0]));
    setTextKeepingCursor(facTol2_, toQt(view.criteria[1]));

    apply_->setEnabled(view.applyArmed);
    QPalette palette = applyPanel_->palette();
    palette.setColor(QPalette::Window, view.applyArmed ? Qt::black : Qt::white);
    applyPanel_->setPalette(palette);

    windowsVersion_->setChecked(view.windowsVersion);
    dosVersion_->setChecked(!view.windowsVersion);
    windowsVersion_->setEnabled(view.windowsOptionEnabled);
    dosVersion_->setEnabled(view.dosOptionEnabled);
    norvoName_->setEnabled(view.norvoButtonEnabled);
    const QString norvoFile = toQt(workflow.norvoTooltip());
    norvoFileName_->setText(toQt(view.norvoName));
    norvoFileName_->setToolTip(norvoFile);
    norvoPath_->setText(toQt(view.norvoPath));
    norvoPath_->setToolTip(norvoFile);
    setTextKeepingCursor(description_, toQt(view.description));
    description_->setEnabled(view.descriptionEnabled);
    descriptionLabel_->setEnabled(view.descriptionEnabled);

    results_->refresh(workflow);
}

bool ImportPanel::eventFilter(QObject* watched, QEvent* event) {
    // A click on the frame around the button applies too.
    if (watched == applyPanel_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit applyRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace plovix::ui
