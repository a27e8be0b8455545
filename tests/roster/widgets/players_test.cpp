#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "roster/PlayerStore.h"
#include "roster/widgets/MembershipDialog.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/PlayerListWindow.h"
#include "roster/widgets/ScheduleTimeBar.h"
#include "roster/widgets/ScheduleWindow.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/EmailWindow.h"
#include "ui/PopupMenu.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace rm;
using test::child;

namespace {

// Chooses menu entries by object name instead of showing pop-up menus; records the menus shown.
class PopupChooser {
public:
    PopupChooser() {
        SetPopupMenuRunner([this](QMenu* menu) -> QAction* {
            ++shown;
            if (choices.isEmpty())
                return nullptr;
            return FindMenuAction(menu, choices.takeFirst());
        });
    }
    ~PopupChooser() { SetPopupMenuRunner({}); }
    QStringList choices;
    int shown = 0;
};

QString dumpRoster() {
    QStringList lines;
    for (const QString& sql :
         {QStringLiteral("Select * From Players Order By Player_ID"),
          QStringLiteral("Select * From Members Order By Member_Player_ID, Member_Division_ID"),
          QStringLiteral("Select * From Schedules Order By Schedule_Player, Schedule_Day, "
                         "Schedule_StartTime")}) {
        RowSet rows = Db().execute(sql);
        for (; !rows.eof(); rows.moveNext()) {
            QStringList values;
            for (int i = 0; rows.valueAt(i).isValid(); ++i)
                values << rows.valueAt(i).toString();
            lines << values.join(QLatin1Char('|'));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QString schedulesDump() {
    QStringList lines;
    RowSet rows =
        Db().execute(QStringLiteral("Select * From Schedules Order By Schedule_Day, Schedule_StartTime"));
    for (; !rows.eof(); rows.moveNext())
        lines << QStringLiteral("%1 %2-%3")
                     .arg(rows.integer(QStringLiteral("Schedule_Day")))
                     .arg(rows.text(QStringLiteral("Schedule_StartTime")),
                          rows.text(QStringLiteral("Schedule_EndTime")));
    return lines.join(QStringLiteral(", "));
}

qint32 addDivision(const QString& name, bool active) {
    Db().execute(QStringLiteral(
        "Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) Values('Game', 1, 1, ' ')"));
    const int game = Db().scalar(QStringLiteral("Select MAX(Game_ID) From Games")).toInt();
    Db().execute(QStringLiteral(
                     "Insert Into Divisions (Division_Name, Division_Game, Division_Active, Division_Notes) "
                     "Values('%1', %2, %3, ' ')")
                     .arg(name)
                     .arg(game)
                     .arg(active ? 1 : 0));
    return Db().scalar(QStringLiteral("Select MAX(Division_ID) From Divisions")).toInt();
}

qint32 addTitle(qint32 division, const QString& description) {
    Db().execute(QStringLiteral("Insert Into Titles (Title_Division, Title_Description) Values(%1, '%2')")
                     .arg(division)
                     .arg(description));
    return Db().scalar(QStringLiteral("Select MAX(Title_ID) From Titles")).toInt();
}

qint32 addPlayer(const QString& name, qint32 zone, bool active = true, QList<MembershipEntry> members = {},
                 std::optional<WeekLists> week = std::nullopt) {
    PlayerRecord p;
    p.onlineName = name;
    p.timeZone = zone;
    p.active = active;
    return AddPlayer({p, members, week});
}

void click(QWidget* parent, const QString& name) {
    child<QToolButton>(parent, name)->click();
}

QStringList comboTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList rowTexts(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

void selectRow(QTreeWidget* list, int row) {
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
}

} // namespace

class PlayersWidgetTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

    void timeBarMarksStretches() {
        test::RecordingSink sink;
        PopupChooser popups;
        ctlTimeBar bar;
        bar.show();
        // A real left click on cell 18 and a right click on cell 20.
        QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.cellRect(18).center());
        QVERIFY(bar.startPending());
        QTest::mouseClick(&bar, Qt::RightButton, {}, bar.cellRect(20).center());
        QCOMPARE(bar.Times(), QStringList{QStringLiteral("09:00|10:00")});
        QCOMPARE(bar.cellTag(18), QStringLiteral("3"));
        QCOMPARE(bar.cellTag(19), QStringLiteral("4"));
        QCOMPARE(bar.cellTag(20), QStringLiteral("5"));
        QCOMPARE(bar.cellTag(21), QStringLiteral("1"));
        QCOMPARE(sink.count(), 0);

        // Refusals leave the bar as it was.
        bar.pressCell(30, Qt::LeftButton);
        bar.pressCell(25, Qt::RightButton);
        QCOMPARE(sink.last().text, QStringLiteral("Cannot set the end time before the start time!"));
        QCOMPARE(sink.last().title, QStringLiteral("Schedules"));
        QCOMPARE(sink.last().icon, int(vbInformation));
        QVERIFY(sink.last().standardBox);
        bar.pressCell(30, Qt::RightButton); // the start cell itself is no longer free: nothing happens
        bar.pressCell(19, Qt::RightButton); // a marked cell while a start is pending: nothing, no menu
        QCOMPARE(sink.count(), 1);
        QCOMPARE(popups.shown, 0);
        bar.pressCell(32, Qt::LeftButton);
        QCOMPARE(sink.last().text, QStringLiteral("You have already set a start time!"));
        QCOMPARE(bar.cellTag(32), QStringLiteral("1"));
        bar.pressCell(34, Qt::MiddleButton); // any button but the left one sets the end
        QCOMPARE(bar.Times(), (QStringList{QStringLiteral("09:00|10:00"), QStringLiteral("15:00|17:00")}));

        ctlTimeBar fresh;
        fresh.pressCell(5, Qt::RightButton);
        QCOMPARE(sink.last().text,
                 QStringLiteral("You need to set a start time before setting an end time!"));
        QVERIFY(fresh.Times().isEmpty());
    }

    void timeBarSwallowsAndDeletes() {
        test::RecordingSink sink;
        PopupChooser popups;
        ctlTimeBar bar;
        bar.pressCell(10, Qt::LeftButton);
        bar.pressCell(12, Qt::RightButton);
        bar.pressCell(44, Qt::LeftButton);
        bar.pressCell(47, Qt::RightButton);
        bar.pressCell(4, Qt::LeftButton);
        bar.pressCell(40, Qt::RightButton);
        QCOMPARE(bar.Times(), (QStringList{QStringLiteral("02:00|20:00"), QStringLiteral("22:00|23:30")}));
        QCOMPARE(bar.cellTag(10), QStringLiteral("4"));
        QCOMPARE(bar.cellTag(12), QStringLiteral("4"));

        // Dismissing the menu changes nothing; "Delete Time Slot" frees the whole stretch.
        bar.pressCell(22, Qt::RightButton);
        QCOMPARE(popups.shown, 1);
        QCOMPARE(bar.Times().size(), 2);
        popups.choices << QStringLiteral("mnuDeleteTimeSlot");
        bar.pressCell(40, Qt::RightButton);
        QCOMPARE(bar.Times(), QStringList{QStringLiteral("22:00|23:30")});
        for (int i = 4; i <= 40; ++i)
            QCOMPARE(bar.cellState(i), ctlTimeBar::Free);
        popups.choices << QStringLiteral("mnuDeleteTimeSlot");
        bar.pressCell(44, Qt::RightButton);
        QVERIFY(bar.Times().isEmpty());
        QCOMPARE(sink.count(), 0);

        // LoadSchedule marks the cells and rebuilds the list.
        bar.setTimes({QStringLiteral("08:00|09:30"), QStringLiteral("23:00|23:30")});
        bar.LoadSchedule();
        QCOMPARE(bar.cellTag(16), QStringLiteral("3"));
        QCOMPARE(bar.cellTag(18), QStringLiteral("4"));
        QCOMPARE(bar.cellTag(19), QStringLiteral("5"));
        QCOMPARE(bar.cellTag(47), QStringLiteral("5"));
        QCOMPARE(bar.Times(), (QStringList{QStringLiteral("08:00|09:30"), QStringLiteral("23:00|23:30")}));

        CurrentOptions().TimeFormat = true;
        QCOMPARE(bar.cellToolTip(39), QStringLiteral("19:30"));
        CurrentOptions().TimeFormat = false;
        QVERIFY(bar.cellToolTip(39).startsWith(QStringLiteral("07:30 ")));
        QVERIFY(bar.cellToolTip(0).startsWith(QStringLiteral("12:00 ")));
        CurrentOptions().TimeFormat = true;
    }

    void scheduleWindow() {
        test::TestDatabase db;
        test::ModalDriver driver;
        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        dialog.setSunday({QStringLiteral("10:00|11:00")});

        // Add mode: the window opens empty; Cancel keeps the lists, OK replaces them.
        driver.then([](QDialog* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmMaintainSchedule"));
            QCOMPARE(d->windowTitle(), QStringLiteral("Player's Schedule"));
            QVERIFY(child<ctlTimeBar>(d, QStringLiteral("ctlSunday"))->Times().isEmpty());
            const QList<QLabel*> labels = d->findChildren<QLabel*>(QStringLiteral("imgTimeMarker"));
            QCOMPARE(labels.size(), 12);
            QCOMPARE(labels.at(7)->text(), QStringLiteral("14:00"));
            click(d, QStringLiteral("imgButton2"));
        });
        child<QToolButton>(&dialog, QStringLiteral("imgSchedule"))->click();
        QCOMPARE(dialog.sunday(), QStringList{QStringLiteral("10:00|11:00")});
        driver.then([](QDialog* d) {
            auto* saturday = child<ctlTimeBar>(d, QStringLiteral("ctlSaturday"));
            saturday->pressCell(40, Qt::LeftButton);
            saturday->pressCell(44, Qt::RightButton);
            click(d, QStringLiteral("imgButton1"));
        });
        child<QToolButton>(&dialog, QStringLiteral("imgSchedule"))->click();
        QVERIFY(dialog.sunday().isEmpty());
        QCOMPARE(dialog.saturday(), QStringList{QStringLiteral("20:00|22:00")});
        QCOMPARE(driver.unexpected, QStringList{});

        // Edit mode loads the bars; the 12-hour labels.
        CurrentOptions().TimeFormat = false;
        frmMaintainSchedule window;
        window.EditMode = QStringLiteral("Edit");
        window.Days[3] = QStringList{QStringLiteral("19:30|22:00")};
        window.prepare();
        QCOMPARE(window.bar(4)->cellTag(39), QStringLiteral("3"));
        const QList<QLabel*> markers = window.findChildren<QLabel*>(QStringLiteral("imgTimeMarker"));
        QVERIFY(markers.at(7)->text().startsWith(QStringLiteral("2 ")));
        QVERIFY(markers.at(0)->text().startsWith(QStringLiteral("12 ")));
        QVERIFY(markers.at(0)->text() != markers.at(6)->text());
        CurrentOptions().TimeFormat = true;
        window.pressOK();
        QCOMPARE(window.Days[3], QStringList{QStringLiteral("19:30|22:00")});
    }

    void playersList() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        addPlayer(QStringLiteral("zed"), gmt, true);
        addPlayer(QStringLiteral("Bob"), gmt, false);
        const qint32 amy = addPlayer(QStringLiteral("amy"), db.zoneId(QStringLiteral("Tokyo")), true);
        addPlayer(QStringLiteral("Lost"), 99999, true);
        Db().execute(QStringLiteral("Update Players Set Player_Notes = ' x ', Player_RealName = 'Amy R', "
                                    "Player_EmailPrimary = 'amy@example.com' Where Player_ID = %1")
                         .arg(amy));

        RegisterPlayerWindows();
        QVERIFY(HasTaskWindow(QStringLiteral("frmPlayers")));
        std::unique_ptr<QWidget> created(CreateTaskWindow(QStringLiteral("frmPlayers")));
        auto* window = qobject_cast<frmPlayers*>(created.get());
        QVERIFY(window);
        window->show();
        QCOMPARE(window->windowTitle(), QStringLiteral("Players"));
        auto* list = child<QTreeWidget>(window, QStringLiteral("lsvPlayers"));
        QCOMPARE(list->columnCount(), 7);
        QCOMPARE(list->headerItem()->text(3), QStringLiteral("TimeZone"));
        QVERIFY(list->isColumnHidden(6));
        QCOMPARE(rowTexts(list),
                 (QStringList{QStringLiteral("amy|Amy R|Yes|Tokyo|amy@example.com|Yes|%1").arg(amy),
                              QStringLiteral("zed||Yes|GMT|||1"), QStringLiteral("Bob||No|GMT|||2")}));
        QVERIFY(list->selectedItems().isEmpty());

        for (const char* button : {"imgEdit", "imgDelete", "imgEmail"})
            click(window, QString::fromLatin1(button));
        QCOMPARE(sink.count(), 3);
        QCOMPARE(sink.messages[0].text,
                 QStringLiteral("Please select a Player from the list before selecting Edit"));
        QCOMPARE(sink.messages[1].text,
                 QStringLiteral("Please select a Player from the list before selecting Delete"));
        QCOMPARE(sink.messages[2].text,
                 QStringLiteral("Please select a Player from the list before selecting Email"));
        QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
        QCOMPARE(sink.last().icon, int(vbExclamation));
        QCOMPARE(sink.last().align, int(AlignCenterText));
        QVERIFY(driver.shown.isEmpty());

        EmailRequest sent;
        SetEmailWindowOpener([&sent](const EmailRequest& r, QWidget*) { sent = r; });
        selectRow(list, 0);
        click(window, QStringLiteral("imgEmail"));
        SetEmailWindowOpener({});
        QCOMPARE(sent.sendMode, QStringLiteral("Q"));
        QCOMPARE(sent.recipientKey, QString::number(amy));

        // Edit through the list: the dialog gets the key; the list is refilled afterwards.
        selectRow(list, 0);
        driver.then([](QDialog* d) {
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtOnlineName"))->text(), QStringLiteral("amy"));
            child<QCheckBox>(d, QStringLiteral("chkActive"))->setChecked(false);
            click(d, QStringLiteral("imgButton1"));
        });
        click(window, QStringLiteral("imgEdit"));
        // Inactive now: listed after the active players, "amy" before "Bob" (case is not compared).
        QCOMPARE(rowTexts(list).mid(rowTexts(list).size() - 2),
                 (QStringList{QStringLiteral("amy|Amy R|No|Tokyo|amy@example.com|Yes|%1").arg(amy),
                              QStringLiteral("Bob||No|GMT|||2")}));

        // The window never gets smaller than its opening size; the list follows the height.
        window->resize(2000, 900);
        QCOMPARE(list->height(), 900 - TwipsToPixels(1245, window));
        window->resize(10, 10);
        QCOMPARE(window->size(), window->minimumSize());
    }

    void playerDialogValidatesAndWritesOnlyThePlayer() {
        test::TestDatabase db;
        test::RecordingSink sink;
        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Player Entry"));
        child<QLineEdit>(&dialog, QStringLiteral("txtOnlineName"))->setText(QStringLiteral("   "));
        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(sink.last().text, QStringLiteral("Online name is required\n"));
        QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
        QCOMPARE(sink.last().align, int(AlignLeftText));
        QVERIFY(dialog.isVisible());
        QCOMPARE(db.count(QStringLiteral("Players")), 0);

        child<QLineEdit>(&dialog, QStringLiteral("txtOnlineName"))->setText(QStringLiteral("Ace"));
        child<QLineEdit>(&dialog, QStringLiteral("txtICQ"))->setText(QStringLiteral("2147483648"));
        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
        QCOMPARE(sink.last().text, kIcqOutOfRange);
        QCOMPARE(db.count(QStringLiteral("Players")), 0);

        // A refused insert is told in the application's own box; the dialog keeps its entries.
        child<QLineEdit>(&dialog, QStringLiteral("txtICQ"))->setText(QStringLiteral("000123"));
        QVERIFY(db.exec(QStringLiteral("Create Trigger refuse Before Insert On Players "
                                       "Begin Select RAISE(ABORT, 'No new players'); End")) >= 0);
        click(&dialog, QStringLiteral("imgButton1"));
        QVERIFY2(!sink.last().standardBox, qPrintable(sink.last().text));
        QCOMPARE(sink.last().title, QStringLiteral("Rallymark Error"));
        QCOMPARE(sink.last().icon, int(vbCritical));
        QCOMPARE(sink.last().buttons, int(vbOKOnly));
        QCOMPARE(sink.last().align, int(AlignCenterText));
        QVERIFY(
            sink.last().text.startsWith(QStringLiteral("Rallymark encountered the following error:\n\n")));
        QVERIFY(sink.last().text.contains(QStringLiteral("No new players")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(db.count(QStringLiteral("Players")), 0);
        QVERIFY(db.exec(QStringLiteral("Drop Trigger refuse")) >= 0);

        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(db.count(QStringLiteral("Players")), 1);
        QCOMPARE(db.count(QStringLiteral("Members")), 0);
        QCOMPARE(db.count(QStringLiteral("Schedules")), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_ICQ From Players")).toInt(), 123);
    }

    void playerDialogKeepsWhatItDoesNotShow() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        const qint32 key = addPlayer(QStringLiteral("Ace"), gmt);
        Db().execute(QStringLiteral(
            "Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) Values(1, 'Red')"));
        const int red = Db().scalar(QStringLiteral("Select MAX(Custom_ID) From CustomFields")).toInt();
        Db().execute(QStringLiteral("Update Players Set Player_Custom1 = 'keep me', Player_CustomDrop1 = %1, "
                                    "Player_CustomDrop2 = 7, Player_ICQ = 0 Where Player_ID = %2")
                         .arg(red)
                         .arg(key));
        CurrentOptions().CustomDropEnabled = {true, false, false, false};
        CurrentOptions().CustomDropTitle[0] = QStringLiteral("Colour");

        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Edit");
        dialog.PrimaryKey = key;
        dialog.show();
        QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("txtICQ"))->text(), QString());
        QVERIFY(!child<QLineEdit>(&dialog, QStringLiteral("txtCustom0"))->isVisible());
        QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("txtCustom0"))->text(), QStringLiteral("keep me"));
        QCOMPARE(child<QLabel>(&dialog, QStringLiteral("lblCustomDrop0"))->text(), QStringLiteral("Colour:"));
        auto* colour = child<QComboBox>(&dialog, QStringLiteral("cboCustomDrop0"));
        QCOMPARE(comboTexts(colour), (QStringList{QString(), QStringLiteral("Red")}));
        QCOMPARE(colour->currentText(), QStringLiteral("Red"));
        colour->setCurrentIndex(0);
        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(db.scalar(QStringLiteral("Select Player_Custom1 From Players")).toString(),
                 QStringLiteral("keep me"));
        QCOMPARE(db.scalar(QStringLiteral("Select Player_CustomDrop1 From Players")).toInt(), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_CustomDrop2 From Players")).toInt(), 7);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_ICQ From Players")).toInt(), 0);
        CurrentOptions().CustomDropEnabled = {false, false, false, false};
        QCOMPARE(sink.count(), 0);
    }

    // Rows stay where they are unless the stretches or the zone change.
    void unchangedScheduleIsNotRewritten() {
        test::TestDatabase db;
        test::ModalDriver driver;
        const int eastern = db.zoneId(QStringLiteral("Eastern"));
        WeekLists week;
        week[2] = QStringList{QStringLiteral("17:00|22:00")};
        const qint32 key = addPlayer(QStringLiteral("Nyc"), eastern, true, {}, week);
        const QString stored = schedulesDump();
        QCOMPARE(stored, QStringLiteral("3 22:00-23:59, 4 00:00-03:00"));

        // In summer the same rows look an hour later; OK with and without the window keeps them.
        FixedClock summer(QDateTime(QDate(2024, 7, 15), QTime(20, 0)));
        SetClock(&summer);
        for (bool openWindow : {false, true}) {
            frmMaintainPlayer dialog;
            dialog.EditMode = QStringLiteral("Edit");
            dialog.PrimaryKey = key;
            dialog.show();
            QCOMPARE(dialog.tuesday(), QStringList{QStringLiteral("18:00|23:00")});
            if (openWindow) {
                driver.then([](QDialog* d) {
                    QCOMPARE(child<ctlTimeBar>(d, QStringLiteral("ctlTuesday"))->cellTag(36),
                             QStringLiteral("3"));
                    click(d, QStringLiteral("imgButton1"));
                });
                click(&dialog, QStringLiteral("imgSchedule"));
            }
            click(&dialog, QStringLiteral("imgButton1"));
            QCOMPARE(schedulesDump(), stored);
        }

        // A new zone keeps the local stretches and stores new GMT times.
        SetClock(&m_winter);
        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Edit");
        dialog.PrimaryKey = key;
        dialog.show();
        auto* zones = child<QComboBox>(&dialog, QStringLiteral("cboTimeZone"));
        zones->setCurrentIndex(zones->findData(db.zoneId(QStringLiteral("GMT"))));
        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(schedulesDump(), QStringLiteral("3 17:00-22:00"));
        QCOMPARE(driver.unexpected, QStringList{});
    }

    void failedSaveKeepsDialogAndDatabase() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        const qint32 division = addDivision(QStringLiteral("Alpha"), true);
        const qint32 key = addPlayer(QStringLiteral("Ace"), gmt, true, {{division, 0}});
        const QString before = dumpRoster();
        QVERIFY(db.exec(QStringLiteral(
                    "Create Trigger refuse Before Insert On Schedules When NEW.Schedule_Day = 2 "
                    "Begin Select RAISE(ABORT, 'Monday is closed'); End")) >= 0);

        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Edit");
        dialog.PrimaryKey = key;
        dialog.show();
        child<QLineEdit>(&dialog, QStringLiteral("txtOnlineName"))->setText(QStringLiteral("Renamed"));
        driver.then([](QDialog* d) {
            auto* sunday = child<ctlTimeBar>(d, QStringLiteral("ctlSunday"));
            sunday->pressCell(2, Qt::LeftButton);
            sunday->pressCell(4, Qt::RightButton);
            auto* monday = child<ctlTimeBar>(d, QStringLiteral("ctlMonday"));
            monday->pressCell(20, Qt::LeftButton);
            monday->pressCell(24, Qt::RightButton);
            click(d, QStringLiteral("imgButton1"));
        });
        click(&dialog, QStringLiteral("imgSchedule"));
        click(&dialog, QStringLiteral("imgButton1"));

        QVERIFY(dialog.isVisible());
        QCOMPARE(sink.count(), 1);
        QVERIFY(sink.last().standardBox);
        QCOMPARE(sink.last().title, QStringLiteral("Rallymark Error"));
        QVERIFY2(sink.last().text.contains(
                     QStringLiteral("Error encountered player's Monday Schedule\nMonday is closed")),
                 qPrintable(sink.last().text));
        QCOMPARE(dumpRoster(), before);
        QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("txtOnlineName"))->text(),
                 QStringLiteral("Renamed"));
        QCOMPARE(dialog.monday(), QStringList{QStringLiteral("10:00|12:00")});
        QCOMPARE(rowTexts(child<QTreeWidget>(&dialog, QStringLiteral("lsvMemberships"))).size(), 1);

        // With the store willing again, the same OK saves everything.
        QVERIFY(db.exec(QStringLiteral("Drop Trigger refuse")) >= 0);
        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(schedulesDump(), QStringLiteral("1 01:00-02:00, 2 10:00-12:00"));
    }

    void deleteModeRemovesThePlayer() {
        test::TestDatabase db;
        const qint32 division = addDivision(QStringLiteral("Alpha"), true);
        WeekLists week;
        week[0] = QStringList{QStringLiteral("10:00|11:00")};
        const qint32 key =
            addPlayer(QStringLiteral("Ace"), db.zoneId(QStringLiteral("GMT")), true, {{division, 0}}, week);
        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Delete");
        dialog.PrimaryKey = key;
        dialog.show();
        QVERIFY(child<QLineEdit>(&dialog, QStringLiteral("txtOnlineName"))->isReadOnly());
        QVERIFY(!child<QToolButton>(&dialog, QStringLiteral("imgSchedule"))->isEnabled());
        QCOMPARE(rowTexts(child<QTreeWidget>(&dialog, QStringLiteral("lsvMemberships"))).size(), 1);
        click(&dialog, QStringLiteral("imgButton1"));
        QCOMPARE(db.count(QStringLiteral("Players")), 0);
        QCOMPARE(db.count(QStringLiteral("Members")), 0);
        QCOMPARE(db.count(QStringLiteral("Schedules")), 0);
    }

    void memberships() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        PopupChooser popups;
        const qint32 alpha = addDivision(QStringLiteral("Alpha"), true);
        const qint32 bravo = addDivision(QStringLiteral("Bravo"), true);
        const qint32 charlie = addDivision(QStringLiteral("Charlie"), true);
        const qint32 old = addDivision(QStringLiteral("Old"), false);
        const qint32 captain = addTitle(alpha, QStringLiteral("Captain"));
        const qint32 gone = addTitle(alpha, QStringLiteral("Gone"));
        const qint32 veteran = addTitle(old, QStringLiteral("Veteran"));
        addTitle(charlie, QStringLiteral("Scout"));
        const qint32 key = addPlayer(QStringLiteral("Ace"), db.zoneId(QStringLiteral("GMT")), true,
                                     {{alpha, gone}, {old, 0}});
        Db().execute(QStringLiteral("Delete From Titles Where Title_ID = %1").arg(gone));
        const QString before = dumpRoster();

        auto open = [key] {
            auto* dialog = new frmMaintainPlayer;
            dialog->EditMode = QStringLiteral("Edit");
            dialog->PrimaryKey = key;
            dialog->show();
            return dialog;
        };
        std::unique_ptr<frmMaintainPlayer> dialog(open());
        auto* list = child<QTreeWidget>(dialog.get(), QStringLiteral("lsvMemberships"));
        QCOMPARE(list->toolTip(), QStringLiteral("Right Click for Editing Options"));
        QCOMPARE(rowTexts(list), (QStringList{QStringLiteral("Alpha|Unknown|%1|%2").arg(alpha).arg(gone),
                                              QStringLiteral("Old|None|%1|0").arg(old)}));

        // Edit without a selection.
        popups.choices << QStringLiteral("mnuEditDivision");
        emit list->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(sink.last().text,
                 QStringLiteral("Please select a Division from the list before selecting Edit"));
        QVERIFY(driver.shown.isEmpty());

        // Add: neither held nor inactive divisions are offered; the empty title gives "None" and 0.
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Maintain Membership"));
            auto* divisions = child<QComboBox>(d, QStringLiteral("cboDivision"));
            QCOMPARE(comboTexts(divisions), (QStringList{"Bravo - Game", "Charlie - Game"}));
            divisions->setCurrentIndex(1);
            QCOMPARE(comboTexts(child<QComboBox>(d, QStringLiteral("cboTitle"))),
                     (QStringList{QString(), "Scout"}));
            click(d, QStringLiteral("imgButton1"));
        });
        popups.choices << QStringLiteral("mnuAddDivision");
        emit list->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(rowTexts(list).last(), QStringLiteral("Charlie|None|%1|0").arg(charlie));

        // Edit the membership of a switched-off division: it is shown, fixed, and its title changes.
        selectRow(list, 1);
        driver.then([&](QDialog* d) {
            auto* divisions = child<QComboBox>(d, QStringLiteral("cboDivision"));
            QCOMPARE(divisions->currentText(), QStringLiteral("Old - Game"));
            QVERIFY(!divisions->isEnabled());
            QCOMPARE(divisions->toolTip(), QStringLiteral("Cannot change the division"));
            auto* titles = child<QComboBox>(d, QStringLiteral("cboTitle"));
            QCOMPARE(titles->currentText(), QString());
            titles->setCurrentIndex(1);
            click(d, QStringLiteral("imgButton1"));
        });
        popups.choices << QStringLiteral("mnuEditDivision");
        emit list->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(rowTexts(list).at(1), QStringLiteral("Old|Veteran|%1|%2").arg(old).arg(veteran));

        // The first real title of Alpha is stored as its key, not 0.
        selectRow(list, 0);
        driver.then([&](QDialog* d) {
            child<QComboBox>(d, QStringLiteral("cboTitle"))->setCurrentIndex(1);
            click(d, QStringLiteral("imgButton1"));
        });
        dialog->editMembership();
        QCOMPARE(rowTexts(list).at(0), QStringLiteral("Alpha|Captain|%1|%2").arg(alpha).arg(captain));

        // Add when every active division is held: told so, no dialog.
        driver.shown.clear();
        popups.choices << QStringLiteral("mnuAddDivision");
        AddMembershipRow(list, QStringLiteral("Bravo"), QStringLiteral("None"), bravo, 0);
        emit list->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(driver.shown.isEmpty());
        QCOMPARE(sink.last().title, QStringLiteral("No Division Available"));

        // Delete From Division, then Cancel: nothing changes.
        selectRow(list, 0);
        popups.choices << QStringLiteral("mnuDeleteDivision");
        emit list->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(list->topLevelItemCount(), 3);
        click(dialog.get(), QStringLiteral("imgButton2"));
        QCOMPARE(dumpRoster(), before);

        // Removing every row and saving deletes every membership; the edited titles are written.
        dialog.reset(open());
        list = child<QTreeWidget>(dialog.get(), QStringLiteral("lsvMemberships"));
        selectRow(list, 1);
        driver.then([&](QDialog* d) {
            child<QComboBox>(d, QStringLiteral("cboTitle"))->setCurrentIndex(1);
            click(d, QStringLiteral("imgButton1"));
        });
        dialog->editMembership();
        click(dialog.get(), QStringLiteral("imgButton1"));
        QCOMPARE(
            db.scalar(
                  QStringLiteral("Select Member_Title From Members Where Member_Division_ID = %1").arg(old))
                .toInt(),
            veteran);
        dialog.reset(open());
        list = child<QTreeWidget>(dialog.get(), QStringLiteral("lsvMemberships"));
        while (list->topLevelItemCount() > 0) {
            selectRow(list, 0);
            dialog->deleteMembership();
        }
        dialog->deleteMembership();
        QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
        click(dialog.get(), QStringLiteral("imgButton1"));
        QCOMPARE(db.count(QStringLiteral("Members")), 0);
        QCOMPARE(driver.unexpected, QStringList{});
    }
};

QTEST_MAIN(PlayersWidgetTest)
#include "players_test.moc"
