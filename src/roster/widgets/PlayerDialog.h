#pragma once

#include "roster/PlayerStore.h"
#include "ui/Maintenance.h"

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QTreeWidget;

namespace rm {

// "Player Entry": the one place where a player, its memberships and its weekly schedule are
// written. Nothing is stored before OK; then one save writes all three.
class frmMaintainPlayer : public MaintainDialog {
    Q_OBJECT
    Q_PROPERTY(QStringList Sunday READ sunday WRITE setSunday)
    Q_PROPERTY(QStringList Monday READ monday WRITE setMonday)
    Q_PROPERTY(QStringList Tuesday READ tuesday WRITE setTuesday)
    Q_PROPERTY(QStringList Wednesday READ wednesday WRITE setWednesday)
    Q_PROPERTY(QStringList Thursday READ thursday WRITE setThursday)
    Q_PROPERTY(QStringList Friday READ friday WRITE setFriday)
    Q_PROPERTY(QStringList Saturday READ saturday WRITE setSaturday)

public:
    explicit frmMaintainPlayer(QWidget* parent = nullptr);

    // The day lists, index 0 = Sunday.
    const WeekLists& days() const { return m_days; }
    void setDays(const WeekLists& days);

    QStringList sunday() const { return m_days[0]; }
    QStringList monday() const { return m_days[1]; }
    QStringList tuesday() const { return m_days[2]; }
    QStringList wednesday() const { return m_days[3]; }
    QStringList thursday() const { return m_days[4]; }
    QStringList friday() const { return m_days[5]; }
    QStringList saturday() const { return m_days[6]; }
    void setSunday(const QStringList& v) { setDay(0, v); }
    void setMonday(const QStringList& v) { setDay(1, v); }
    void setTuesday(const QStringList& v) { setDay(2, v); }
    void setWednesday(const QStringList& v) { setDay(3, v); }
    void setThursday(const QStringList& v) { setDay(4, v); }
    void setFriday(const QStringList& v) { setDay(5, v); }
    void setSaturday(const QStringList& v) { setDay(6, v); }

    // What OK would write, read from the fields.
    PlayerRecord record() const;

public Q_SLOTS:
    void openSchedule();
    void addMembership();
    void editMembership();
    void deleteMembership();

protected:
    void loadDialog() override;
    bool save() override;
    QList<QWidget*> editableFields() const override;

private:
    void setDay(int day, const QStringList& list);
    void showMembershipMenu(const QPoint& pos);
    void fillMemberships();
    QList<MembershipEntry> memberships() const;
    std::optional<WeekLists> scheduleToWrite() const;

    QLineEdit* txtOnlineName;
    QLineEdit* txtRealName;
    QLineEdit* txtEmailPrimary;
    QLineEdit* txtEmailSecondary;
    QLineEdit* txtICQ;
    QLineEdit* txtAIM;
    QLineEdit* txtYahoo;
    QLineEdit* txtMSN;
    QLineEdit* txtDiscord;
    QComboBox* cboTimeZone;
    QLabel* lblZoneClock = nullptr;
    QComboBox* cboConnection;
    QCheckBox* chkActive;
    QPlainTextEdit* txtNotes;
    QTreeWidget* lsvMemberships;
    QToolButton* imgSchedule;
    QGroupBox* fmeCustomText;
    QGroupBox* fmeCustomDrop;
    std::array<QLineEdit*, kCustomFieldCount> txtCustom{};
    std::array<QLabel*, kCustomFieldCount> lblCustom{};
    std::array<QComboBox*, kCustomFieldCount> cboCustomDrop{};
    std::array<QLabel*, kCustomFieldCount> lblCustomDrop{};
    QMenu* mnuMemberships;
    QAction* mnuAddDivision;
    QAction* mnuEditDivision;
    QAction* mnuDeleteDivision;

    WeekLists m_days;
    // Edit mode: what was stored when the dialog opened, so that an unchanged schedule is left alone.
    WeekLists m_loadedDays;
    qint32 m_loadedZone = 0;
    bool m_scheduleLoaded = false;
    bool m_daysSet = false; // the schedule window was closed with OK, or the day lists were set
    std::array<qint32, kCustomFieldCount> m_loadedCustomDrop{};
    QString m_loadedName;
    QString m_loadedRow; // the stored row as loaded, to notice a change made elsewhere
};

} // namespace rm
