#pragma once

#include "roster/ScheduleStorage.h"

#include <QDialog>
#include <QList>

class QLabel;
class QMenu;
class QToolButton;

namespace rm {

class ctlTimeBar;

// "Player's Schedule": seven time bars, Sunday to Saturday, under a row of hour labels. The player
// dialog hands it its day lists in Days and takes them back when the window is closed with OK.
class frmMaintainSchedule : public QDialog {
    Q_OBJECT

public:
    explicit frmMaintainSchedule(QWidget* parent = nullptr);

    QString EditMode; // the player dialog's mode
    WeekLists Days;   // in: the player's day lists, shown on the bars; out (after OK): the bars' Times

    ctlTimeBar* bar(int day) const { return m_bars.at(day - 1); } // 1 = Sunday .. 7 = Saturday

    // Sets the hour labels and loads the bars from Days (called when the window is shown).
    void prepare();
    // "Copy to…": the stretches of day `from` replace those of each day in `to` (1 = Sunday).
    void copyDay(int from, const QList<int>& to);

public Q_SLOTS:
    void pressOK();
    void pressCancel();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QMenu* copyMenu(int day);

    QList<ctlTimeBar*> m_bars;
    QList<QLabel*> m_hourLabels;
    bool m_prepared = false;
};

} // namespace rm
