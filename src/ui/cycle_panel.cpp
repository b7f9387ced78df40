#include "ui/cycle_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "text/number_format.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

QLabel* label(QWidget* parent, const QString& name, const QString& text = {},
              Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(align);
    return l;
}

QString numbered(const char* name, int n) {
    return QLatin1String(name) + QString::number(n);
}

QString picture(double value, const char* format) {
    return toQt(formatPicture(value, format)).trimmed();
}

}  // namespace

CyclePanel::CyclePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlPreProcess"));
    auto* box = new QGroupBox(QStringLiteral("D/A FILE PRE-PROCESSING SUMMARY"), this);
    box->setObjectName(QStringLiteral("fraPreProcess"));

    specimen_ = label(box, QStringLiteral("lblSN"), {}, Qt::AlignLeft | Qt::AlignVCenter);
    cycles_ = label(box, QStringLiteral("lblTotNumCycles"));
    readings_ = label(box, QStringLiteral("lblTotNumRead"));
    usedCycles_ = label(box, QStringLiteral("lblTotNumCyclesUsed"));
    usedReadings_ = label(box, QStringLiteral("lblTotNumReadUsed"));

    auto* totals = new QGridLayout;
    totals->addWidget(new QLabel(QStringLiteral("Specimen Number:"), box), 0, 0);
    totals->addWidget(specimen_, 0, 1);
    totals->addWidget(label(box, QStringLiteral("lblTotal"), QStringLiteral("Total")), 1, 1);
    totals->addWidget(label(box, QStringLiteral("lblUsed"), QStringLiteral("Used")), 1, 2);
    totals->addWidget(new QLabel(QStringLiteral("Number of Cycles:"), box), 2, 0);
    totals->addWidget(cycles_, 2, 1);
    totals->addWidget(usedCycles_, 2, 2);
    totals->addWidget(new QLabel(QStringLiteral("Number of Readings:"), box), 3, 0);
    totals->addWidget(readings_, 3, 1);
    totals->addWidget(usedReadings_, 3, 2);
    totals->setHorizontalSpacing(24);
    totals->setColumnStretch(3, 1);

    auto* table = new QGridLayout;
    table->setHorizontalSpacing(24);
    const std::array<std::pair<const char*, const char*>, 6> headings = {{
        {"CYCLE", "NO."},
        {"NO. OF", "READINGS"},
        {"MAXIMUM", "HORIZONTAL LOAD"},
        {"HORIZONTAL", "DISPLACEMENT"},
        {"DIRECTION", ""},
        {"USE", "CYCLE?"},
    }};
    for (int i = 0; i < 6; ++i) {
        const auto align =
            i == 4 ? Qt::AlignLeft | Qt::AlignBottom : Qt::AlignHCenter | Qt::AlignBottom;
        table->addWidget(label(box, numbered("lblTopLine", i + 1),
                               QLatin1String(headings[static_cast<std::size_t>(i)].first), align),
                         0, i);
        table->addWidget(label(box, numbered("lblBottomLine", i + 1),
                               QLatin1String(headings[static_cast<std::size_t>(i)].second), align),
                         1, i);
    }
    for (int i = 1; i <= kMaxCycle; ++i) {
        Row& r = rows_[static_cast<std::size_t>(i)];
        r.cycle = label(box, numbered("lblCycleNum", i), {}, Qt::AlignCenter);
        r.readings = label(box, numbered("lblNumRead", i), {}, Qt::AlignCenter);
        r.maxHor = label(box, numbered("lblMaxHor", i), {}, Qt::AlignCenter);
        r.horDisp = label(box, numbered("lblHorDisp", i), {}, Qt::AlignCenter);
        r.direction = label(box, numbered("lblDirection", i), QStringLiteral("FORWARD"),
                            Qt::AlignLeft | Qt::AlignVCenter);
        // The frame around the tick shows which row has the keyboard focus.
        r.focusBox = new QFrame(box);
        r.focusBox->setObjectName(numbered("boxUse", i));
        r.use = new QCheckBox(r.focusBox);
        r.use->setObjectName(numbered("chkUse", i));
        r.use->setAccessibleName(QStringLiteral("Use cycle %1").arg(i));
        r.use->installEventFilter(this);
        auto* frameLayout = new QHBoxLayout(r.focusBox);
        frameLayout->setContentsMargins(3, 1, 3, 1);
        frameLayout->addWidget(r.use);
        connect(r.use, &QCheckBox::clicked, this, [this, i](bool on) { emit cycleTicked(i, on); });
        const int row = i + 1;
        table->addWidget(r.cycle, row, 0);
        table->addWidget(r.readings, row, 1);
        table->addWidget(r.maxHor, row, 2);
        table->addWidget(r.horDisp, row, 3);
        table->addWidget(r.direction, row, 4);
        table->addWidget(r.focusBox, row, 5, Qt::AlignCenter);
    }
    table->setColumnStretch(6, 1);

    auto* note = new QLabel(
        QStringLiteral("Check the cycles that are to be included in the test data."), box);
    note->setObjectName(QStringLiteral("lblNote"));

    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addLayout(totals);
    boxLayout->addSpacing(12);
    boxLayout->addLayout(table);
    boxLayout->addSpacing(12);
    boxLayout->addWidget(note);
    boxLayout->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
}

void CyclePanel::refresh(const WindowView& view) {
    const CycleSummary& s = view.summary;
    specimen_->setText(s.specimen > 0 ? QString::number(s.specimen) : QString());
    readings_->setText(picture(static_cast<double>(s.readingsInFile), "### "));
    cycles_->setText(picture(s.cycles, "## "));
    usedCycles_->setText(QString::number(s.usedCycles));
    usedReadings_->setText(QString::number(s.usedReadings));
    for (int i = 1; i <= kMaxCycle; ++i) {
        const Row& r = rows_[static_cast<std::size_t>(i)];
        const bool shown = i <= static_cast<int>(s.rows.size());
        for (QWidget* w : {static_cast<QWidget*>(r.cycle), static_cast<QWidget*>(r.readings),
                           static_cast<QWidget*>(r.maxHor), static_cast<QWidget*>(r.horDisp),
                           static_cast<QWidget*>(r.direction), static_cast<QWidget*>(r.focusBox)})
            w->setVisible(shown);
        if (!shown) continue;
        const CycleSummaryRow& row = s.rows[static_cast<std::size_t>(i - 1)];
        r.cycle->setText(picture(row.cycle, "##"));
        r.readings->setText(picture(static_cast<double>(row.readings), "###"));
        r.maxHor->setText(picture(row.maxHorLoad, "###.0"));
        r.horDisp->setText(picture(row.horDisp, "0.000"));
        r.direction->setText(toQt(formatTextPicture(row.direction, "!@@@@@@@@@")).trimmed());
        r.use->setChecked(row.used);
    }
}

bool CyclePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (int i = 1; i <= kMaxCycle; ++i) {
            const Row& r = rows_[static_cast<std::size_t>(i)];
            if (watched == r.use)
                r.focusBox->setFrameShape(event->type() == QEvent::FocusIn ? QFrame::Box
                                                                           : QFrame::NoFrame);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace plovix::ui
