#include "roster/widgets/ScheduleWindow.h"

#include "data/Options.h"
#include "roster/widgets/ScheduleTimeBar.h"
#include "time/TimeText.h"
#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace rm {

namespace {

const char* const kBarNames[] = {"ctlSunday",   "ctlMonday", "ctlTuesday", "ctlWednesday",
                                 "ctlThursday", "ctlFriday", "ctlSaturday"};

// The text of hour label i (every two hours from midnight) in either clock style.
QString hourLabel(int i, bool timeFormat24) {
    const int hour = i * 2;
    if (timeFormat24)
        return QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0'));
    const DayHalfTexts designators = DayHalfDesignators(); // may hold blanks: "e pasdites"
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    return QString::number(h12) + QLatin1Char(' ') + (hour < 12 ? designators.am : designators.pm);
}

} // namespace

frmMaintainSchedule::frmMaintainSchedule(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainSchedule"));
    setWindowTitle(tr("Player's Schedule"));
    setModal(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    // Twelve hour labels above the bars, one every four cells.
    auto* markers = new QWidget(this);
    markers->setObjectName(QStringLiteral("fmeTimeMarkers"));
    for (int i = 0; i < 12; ++i) {
        auto* label = new QLabel(markers);
        label->setObjectName(QStringLiteral("imgTimeMarker"));
        label->setProperty("index", i);
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 0.8);
        label->setFont(font);
        m_hourLabels << label;
    }
    grid->addWidget(markers, 0, 1);

    for (int d = 0; d < 7; ++d) {
        auto* label = new QLabel(WeekdayName(d + 1) + QLatin1Char(':'), this);
        label->setObjectName(QStringLiteral("lblDay%1").arg(d));
        auto* bar = new ctlTimeBar(this);
        bar->setObjectName(QString::fromLatin1(kBarNames[d]));
        label->setBuddy(bar);
        grid->addWidget(label, d + 1, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(bar, d + 1, 1);
        m_bars << bar;
        auto* copy = new QToolButton(this);
        copy->setObjectName(QStringLiteral("imgCopyDay%1").arg(d));
        copy->setText(tr("Copy to…"));
        copy->setToolTip(tr("Copy %1's times to other days").arg(WeekdayName(d + 1)));
        copy->setAutoRaise(true);
        copy->setPopupMode(QToolButton::InstantPopup);
        copy->setMenu(copyMenu(d));
        grid->addWidget(copy, d + 1, 2);
    }
    auto* lblHint = new QLabel(tr("Left click: start · right click: end · drag to mark, drag from a marked "
                                  "time to clear · right click a stretch to delete it"),
                               this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    grid->addWidget(lblHint, 8, 1, 1, 2);
    const QSize barSize = m_bars.first()->sizeHint();
    const int cell = m_bars.first()->cellRect(0).width();
    markers->setFixedSize(barSize.width() + 40, QFontMetrics(m_hourLabels.first()->font()).height() + 2);
    for (int i = 0; i < 12; ++i)
        m_hourLabels[i]->setGeometry(i * 4 * cell, 0, 4 * cell + 20, markers->height());

    auto* buttons = new QHBoxLayout;
    auto* ok = MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), tr("OK"),
                                 tr("Keep this schedule"));
    auto* cancel = MakePictureButton(this, QStringLiteral("imgButton2"), QStringLiteral("cancel"),
                                     tr("Cancel"), tr("Close without changing the schedule"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    connect(ok, &QToolButton::clicked, this, &frmMaintainSchedule::pressOK);
    ConfirmWithEnter(this, ok);
    connect(cancel, &QToolButton::clicked, this, &frmMaintainSchedule::pressCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QMenu* frmMaintainSchedule::copyMenu(int day) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuCopyDay%1").arg(day));
    QList<int> others;
    for (int d = 0; d < 7; ++d) {
        if (d == day)
            continue;
        others << d;
        QAction* entry = menu->addAction(WeekdayName(d + 1));
        connect(entry, &QAction::triggered, this, [this, day, d] { copyDay(day + 1, {d + 1}); });
    }
    menu->addSeparator();
    QAction* all = menu->addAction(tr("Every other day"));
    all->setObjectName(QStringLiteral("mnuCopyEveryDay"));
    connect(all, &QAction::triggered, this, [this, day, others] {
        QList<int> targets;
        for (int d : others)
            targets << d + 1;
        copyDay(day + 1, targets);
    });
    return menu;
}

void frmMaintainSchedule::copyDay(int from, const QList<int>& to) {
    for (int day : to)
        bar(day)->copyFrom(*bar(from));
}

void frmMaintainSchedule::prepare() {
    if (m_prepared)
        return;
    m_prepared = true;
    const bool timeFormat24 = CurrentOptions().TimeFormat;
    for (int i = 0; i < m_hourLabels.size(); ++i)
        m_hourLabels[i]->setText(hourLabel(i, timeFormat24));
    // The bars always show what the player dialog holds: in Add mode what was entered earlier in
    // this Add, so that OK never replaces it with empty bars.
    for (int d = 0; d < 7; ++d) {
        m_bars[d]->setTimes(Days[d]);
        m_bars[d]->LoadSchedule();
    }
}

void frmMaintainSchedule::showEvent(QShowEvent* event) {
    prepare();
    QDialog::showEvent(event);
}

void frmMaintainSchedule::pressOK() {
    prepare();
    for (int d = 0; d < 7; ++d)
        Days[d] = m_bars[d]->Times();
    accept();
}

void frmMaintainSchedule::pressCancel() {
    reject();
}

} // namespace rm
