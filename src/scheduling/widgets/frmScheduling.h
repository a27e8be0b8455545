#pragma once

#include "comms/DiscordWebhook.h"
#include "comms/EmailRequest.h"
#include "scheduling/SchedulingSearch.h"

#include <QDialog>
#include <QList>
#include <QWidget>

class QBoxLayout;
class QCalendarWidget;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QTimer;
class QToolButton;

namespace rm {

class MemberPicker;
class WeekGridLegend;
class WeekGridView;

// "Practice and Match Scheduling": who can make a match, and the best times of the week for the
// selected players or divisions. The e-mail window reads the selection from this screen while it
// sends.
class frmScheduling : public QWidget, public RecipientSelection {
    Q_OBJECT

public:
    explicit frmScheduling(QWidget* parent = nullptr);

    bool playersListVisible() const override;
    QList<QPair<qint32, QString>> selectedPlayers() const override;
    QList<qint32> selectedDivisions() const override;

    SearchSelection currentSelection() const;

public Q_SLOTS:
    void showAvailable();
    void showBestTimes();
    void showAvailableFor(QListWidgetItem* bestTime);
    void emailAvailable();
    void emailBestTimes();
    void showCalendar();
    // Recounts the week grid for the current selection, day boxes and Options.
    void refreshWeekGrid();
    // Fills the date and time fields with a grid cell's date and time and runs the availability
    // search.
    void showAvailableAt(const QDate& date, int minutes);
    // The same weekday and time for the next twelve weeks, and whose clocks change meanwhile.
    void showClockChanges();
    // Writes the match of the availability result as a calendar file.
    void addToCalendar();
    // Post the match of the availability result, or the best times, to Discord after a preview.
    void discordAvailable();
    void discordBestTimes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool checkSelection();
    // The focus check of the two fields: false (after the message) when the text does not parse.
    bool checkField(QLineEdit* field);
    BestTimesRequest bestTimesRequest() const;
    // The calendar text of the availability result's match with its people; false (after a message)
    // when there is none.
    bool matchEvent(QByteArray* text);
    void showWeek(CountedWeek week, const BestTimesRequest& request);
    // The match of the date and time fields as a real instant; false (after a message) when the
    // fields do not hold one.
    bool matchMoment(QDate* date, int* minutes, ResolvedMoment* moment);
    void addDiscordButtons(QBoxLayout* availableButtons, QBoxLayout* bestButtons);
    QList<DiscordTarget> discordTargets() const;

    QGroupBox* fmeSelect = nullptr;
    QGroupBox* fmeAvailable = nullptr;
    QGroupBox* fmeBestTimes = nullptr;
    MemberPicker* ctlMembers = nullptr;
    QLineEdit* txtMatchDate = nullptr;
    QLineEdit* txtMatchTime = nullptr;
    QLabel* lblLongDate = nullptr;
    QLabel* lblShowCalendar = nullptr;
    QListWidget* lstAvailable = nullptr;
    QToolButton* imgShowAvailable = nullptr;
    QToolButton* imgEmailAvailable = nullptr;
    QToolButton* imgAddToCalendar = nullptr;
    QCheckBox* chkAttachEvent = nullptr;
    QList<QCheckBox*> chkDay;
    QLabel* lblMatchNote = nullptr;
    QToolButton* imgClockChanges = nullptr;
    QDateEdit* dtpWeekOf = nullptr;
    QListWidget* lstBestTimes = nullptr;
    QToolButton* imgShowbestTimes = nullptr;
    QToolButton* imgEmailBestTimes = nullptr;
    QToolButton* imgDiscordAvailable = nullptr;
    QToolButton* imgDiscordBestTimes = nullptr;
    QGroupBox* fmeWeekGrid = nullptr;
    WeekGridView* ctlWeekGrid = nullptr;
    WeekGridLegend* ctlWeekGridLegend = nullptr;
    // The last availability answer with the moment it was searched for: what its e-mail, calendar
    // event and Discord post announce, whatever the fields hold since.
    struct AvailabilityResult {
        QDate date;
        int minutes = 0;
        ResolvedMoment moment;
        QList<AvailablePerson> people;
    };
    AvailabilityResult m_available;
    QList<CountedSlot> m_bestTimes;  // the rows of the best-times list, in list order
    QTimer* m_gridRefresh = nullptr; // gathers the changes of one user action into one recount
    bool m_checkingField = false;
    bool m_refocusing = false;
};

// The calendar pop-up of the scheduling screen: OK takes the chosen date.
class frmCalendar : public QDialog {
    Q_OBJECT

public:
    explicit frmCalendar(const QDate& initial, QWidget* parent = nullptr);
    QDate selectedDate() const;

private:
    QCalendarWidget* calCalendar = nullptr;
};

// The weeks ahead at the chosen match time, with the members whose clocks change.
class frmClockChanges : public QDialog {
    Q_OBJECT

public:
    frmClockChanges(const QString& moment, const QStringList& lines, QWidget* parent = nullptr);
    QString text() const;

private:
    QPlainTextEdit* txtClockChanges = nullptr;
};

} // namespace rm
