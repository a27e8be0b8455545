#include "roster/PlayerStore.h"
#include "roster/widgets/MembershipDialog.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/PlayerListWindow.h"
#include "roster/widgets/ScheduleTimeBar.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

namespace {

qint32 addDivision(const QString& name, bool active = true) {
    return InsertDivision(name, InsertGame("Game"), active);
}

// The player dialog opened on a stored player.
std::unique_ptr<frmMaintainPlayer> openPlayer(qint32 key, const QString& mode = "Edit") {
    auto dialog = std::make_unique<frmMaintainPlayer>();
    dialog->EditMode = mode;
    dialog->PrimaryKey = key;
    dialog->show();
    return dialog;
}

} // namespace

class PlayersWidgetTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

    void playersList() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        AddActivePlayer("zed", db.zoneId("GMT"));
        const qint32 amy = AddActivePlayer("amy", db.zoneId("Tokyo"));
        db.exec("Update Players Set Player_Notes = ' x ', Player_RealName = 'Amy R', Player_EmailPrimary = "
                "'amy@example.com' Where Player_OnlineName = 'amy'");

        frmPlayers window;
        auto* list = child<QTreeWidget>(&window, "lsvPlayers");
        QCOMPARE(RowTexts(list),
                 (QStringList{QStringLiteral("amy|Amy R|Yes|Tokyo|amy@example.com|Yes|%1").arg(amy),
                              "zed||Yes|GMT|||1"}));

        Click(&window, "imgDelete");
        QCOMPARE(sink.last().text, "Please select a Player from the list before selecting Delete");
        QVERIFY(driver.shown.isEmpty());

        // Edit through the list: the selected player is edited; the list is refilled afterwards.
        SelectRow(list, 0);
        driver.then([](QDialog* d) {
            child<QCheckBox>(d, "chkActive")->setChecked(false);
            ClickOK(d);
        });
        Click(&window, "imgEdit");
        QCOMPARE(Column(list, 0), (QStringList{"zed", "amy"})); // inactive now: listed last
    }

    void playerDialogValidatesAndWritesOnlyThePlayer() {
        TestDatabase db;
        RecordingSink sink;
        db.exec(QStringLiteral("Update Options Set Options_TimeZone = %1").arg(db.zoneId("GMT")));
        LoadOptions();
        frmMaintainPlayer dialog;
        dialog.EditMode = "Add";
        dialog.show();
        // A new player is proposed in the user's own zone, active.
        QCOMPARE(child<QComboBox>(&dialog, "cboTimeZone")->currentData().toInt(), db.zoneId("GMT"));
        QVERIFY(child<QCheckBox>(&dialog, "chkActive")->isChecked());
        // A refused entry is told and the dialog stays (what is refused: the player store's test).
        Type(&dialog, {"txtOnlineName", "Ace", "txtICQ", "2147483648"});
        ClickOK(&dialog);
        QCOMPARE(sink.last().text, kIcqOutOfRange);
        QVERIFY(dialog.isVisible());
        QCOMPARE(db.count("Players"), 0);
        Type(&dialog, {"txtICQ", "000123"});

        // No memberships, schedule window never opened: only the Players row.
        QMainWindow main;
        ClickOK(&dialog);
        QCOMPARE(db.count("Players"), 1);
        QCOMPARE(main.statusBar()->currentMessage(), "Player \"Ace\" saved");
        QCOMPARE(db.count("Members") + db.count("Schedules"), 0);

        // Delete mode removes the player (what goes along: the player store's test).
        auto gone = openPlayer(AddActivePlayer("Bee", db.zoneId("GMT")), "Delete");
        ClickOK(gone.get());
        QCOMPARE(db.count("Players"), 1);
    }

    // What the dialog does not show is written back as it was, and so are keys left dangling by deletes of
    // earlier versions, shown as "(none)" unless another entry is picked.
    void playerDialogKeepsWhatItDoesNotShow() {
        TestDatabase db;
        RecordingSink sink;
        const qint32 key = AddActivePlayer("Ace", db.zoneId("GMT"));
        db.exec("Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) Values(1, 'Red')");
        db.exec(
            QStringLiteral("Update Players Set Player_Custom1 = 'keep me', Player_CustomDrop1 = (Select "
                           "MAX(Custom_ID) From CustomFields), Player_CustomDrop2 = 7, Player_CustomDrop3 = "
                           "888, Player_ICQ = 0, Player_Connection = 777, Player_Discord = "
                           "'234567890123456789'"));
        CurrentOptions().CustomDropEnabled = {true, false, true, false};

        auto dialog = openPlayer(key);
        QCOMPARE(child<QLineEdit>(dialog.get(), "txtICQ")->text(), QString());
        auto* discord = child<QLineEdit>(dialog.get(), "txtDiscord");
        QCOMPARE(discord->text(), "234567890123456789");
        discord->setText(" bolt_77 ");
        auto* colour = child<QComboBox>(dialog.get(), "cboCustomDrop0");
        QCOMPARE(colour->currentText(), "Red");
        colour->setCurrentIndex(0); // the empty choice
        for (const char* dangling : {"cboConnection", "cboCustomDrop2"})
            QCOMPARE(child<QComboBox>(dialog.get(), dangling)->currentText(), "(none)");
        // Changed by another program meanwhile: not overwritten without asking; Cancel keeps the dialog.
        db.exec("Update Players Set Player_Notes = 'written elsewhere'");
        for (const int answer : {vbCancel, vbOK}) {
            sink.answer(answer);
            ClickOK(dialog.get());
            QCOMPARE(sink.last().text, ChangedElsewhereMessage("Ace"));
            QCOMPARE(dialog->isVisible(), answer == vbCancel);
            QCOMPARE(db.scalar("Select Player_Discord || '|' || Player_Notes From Players").toString(),
                     answer == vbCancel ? "234567890123456789|written elsewhere" : "bolt_77|");
        }
        QCOMPARE(
            db.scalar("Select Player_Custom1 || '|' || Player_CustomDrop1 || '|' || Player_CustomDrop2 || "
                      "'|' || Player_CustomDrop3 || '|' || Player_ICQ || '|' || Player_Connection || '|' "
                      "|| Player_Discord From Players")
                .toString(),
            "keep me|0|7|888|0|777|bolt_77");
        CurrentOptions().CustomDropEnabled = {false, false, false, false};
        QCOMPARE(sink.count(), 2);
    }

    // A week keeps its wall-clock time whatever the day: rows stay where they are unless the
    // stretches or the zone change.
    void unchangedScheduleIsNotRewritten() {
        TestDatabase db;
        ModalDriver driver;
        const int eastern = db.zoneId("Eastern");
        WeekLists week;
        week[2] = QStringList{"17:00|22:00"};
        const qint32 key = AddActivePlayer("Nyc", eastern, {}, {}, week);
        const QString stored = ScheduleRowsText();

        // In summer the week reads as it was entered; OK with and without the window keeps the rows.
        FixedClock summer(QDateTime(QDate(2024, 7, 15), QTime(20, 0)));
        SetClock(&summer);
        for (bool openWindow : {false, true}) {
            auto dialog = openPlayer(key);
            QCOMPARE(dialog->tuesday(), QStringList{"17:00|22:00"});
            if (openWindow) {
                driver.then(ClickOK);
                Click(dialog.get(), "imgSchedule");
            }
            ClickOK(dialog.get());
            QCOMPARE(ScheduleRowsText(), stored);
        }

        // A new zone keeps the local stretches and stores new GMT times.
        SetClock(&m_winter);
        auto dialog = openPlayer(key);
        auto* zones = child<QComboBox>(dialog.get(), "cboTimeZone");
        zones->setCurrentIndex(zones->findData(db.zoneId("GMT")));
        ClickOK(dialog.get());
        QCOMPARE(ScheduleRowsText(), "3|17:00|22:00");
        QCOMPARE(driver.unexpected, QStringList{});
    }

    void failedSaveKeepsDialogAndDatabase() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const qint32 key = AddActivePlayer("Ace", db.zoneId("GMT"), {}, {{addDivision("Alpha"), 0}});
        const QString before = DumpRoster();
        QVERIFY(db.exec(QStringLiteral(
                    "Create Trigger refuse Before Insert On Schedules When NEW.Schedule_Day = 2 "
                    "Begin Select RAISE(ABORT, 'Monday is closed'); End")) >= 0);

        auto dialog = openPlayer(key);
        child<QLineEdit>(dialog.get(), "txtOnlineName")->setText("Renamed");
        driver.then([](QDialog* d) {
            child<ctlTimeBar>(d, "ctlSunday")->pressCell(2, Qt::LeftButton);
            child<ctlTimeBar>(d, "ctlSunday")->pressCell(4, Qt::RightButton);
            child<ctlTimeBar>(d, "ctlMonday")->pressCell(20, Qt::LeftButton);
            child<ctlTimeBar>(d, "ctlMonday")->pressCell(24, Qt::RightButton);
            ClickOK(d);
        });
        Click(dialog.get(), "imgSchedule");
        ClickOK(dialog.get());

        QVERIFY(dialog->isVisible());
        QCOMPARE(sink.count(), 1);
        QVERIFY(sink.contains("Error encountered player's Monday Schedule\nMonday is closed"));
        QCOMPARE(DumpRoster(), before);
        QCOMPARE(child<QLineEdit>(dialog.get(), "txtOnlineName")->text(), "Renamed");
        QCOMPARE(dialog->monday(), QStringList{"10:00|12:00"});
        QCOMPARE(child<QTreeWidget>(dialog.get(), "lsvMemberships")->topLevelItemCount(), 1);

        // With the store willing again, the same OK saves everything.
        QVERIFY(db.exec("Drop Trigger refuse") >= 0);
        ClickOK(dialog.get());
        QCOMPARE(ScheduleRowsText(), "1|01:00|02:00\n2|10:00|12:00");
    }

    void memberships() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        PopupChooser popups;
        const qint32 alpha = addDivision("Alpha");
        const qint32 bravo = addDivision("Bravo");
        const qint32 charlie = addDivision("Charlie");
        const qint32 old = addDivision("Old", false);
        const qint32 captain = InsertTitle(alpha, "Captain");
        const qint32 gone = InsertTitle(alpha, "Gone");
        const qint32 veteran = InsertTitle(old, "Veteran");
        InsertTitle(charlie, "Scout");
        const qint32 key = AddActivePlayer("Ace", db.zoneId("GMT"), {}, {{alpha, gone}, {old, 0}});
        Db().execute(QStringLiteral("Delete From Titles Where Title_ID = %1").arg(gone));
        const QString before = DumpRoster();

        auto dialog = openPlayer(key);
        auto* list = child<QTreeWidget>(dialog.get(), "lsvMemberships");
        QCOMPARE(RowTexts(list), (QStringList{QStringLiteral("Alpha|Unknown|%1|%2").arg(alpha).arg(gone),
                                              QStringLiteral("Old|None|%1|0").arg(old)}));

        // Add: neither held nor inactive divisions are offered; the empty title gives "None" and 0.
        driver.then([&](QDialog* d) {
            auto* divisions = child<QComboBox>(d, "cboDivision");
            QCOMPARE(ComboTexts(divisions), (QStringList{"Bravo - Game", "Charlie - Game"}));
            divisions->setCurrentIndex(1);
            QCOMPARE(ComboTexts(child<QComboBox>(d, "cboTitle")), (QStringList{QString(), "Scout"}));
            ClickOK(d);
        });
        popups.choose(list, "mnuAddDivision");
        QCOMPARE(RowTexts(list).last(), QStringLiteral("Charlie|None|%1|0").arg(charlie));

        // Edit the membership of a switched-off division: it is shown, fixed, and its title changes.
        SelectRow(list, 1);
        driver.then([&](QDialog* d) {
            auto* divisions = child<QComboBox>(d, "cboDivision");
            QCOMPARE(divisions->currentText(), "Old - Game");
            QVERIFY(!divisions->isEnabled());
            child<QComboBox>(d, "cboTitle")->setCurrentIndex(1);
            ClickOK(d);
        });
        popups.choose(list, "mnuEditDivision");
        QCOMPARE(RowTexts(list).at(1), QStringLiteral("Old|Veteran|%1|%2").arg(old).arg(veteran));

        // Add when every active division is held: told so, no dialog.
        driver.shown.clear();
        AddMembershipRow(list, "Bravo", "None", bravo, 0);
        popups.choose(list, "mnuAddDivision");
        QVERIFY(driver.shown.isEmpty());
        QCOMPARE(sink.last().title, "No Division Available");

        // Delete From Division, then Cancel: nothing changes.
        SelectRow(list, 0);
        popups.choose(list, "mnuDeleteDivision");
        QCOMPARE(list->topLevelItemCount(), 3);
        Click(dialog.get(), "imgButton2");
        QCOMPARE(DumpRoster(), before);

        // An edited title is stored as its key (the first real title of Alpha is not 0); a removed
        // row is deleted from the store.
        dialog = openPlayer(key);
        list = child<QTreeWidget>(dialog.get(), "lsvMemberships");
        SelectRow(list, 0);
        driver.then([&](QDialog* d) {
            child<QComboBox>(d, "cboTitle")->setCurrentIndex(1);
            ClickOK(d);
        });
        dialog->editMembership();
        SelectRow(list, 1);
        dialog->deleteMembership();
        ClickOK(dialog.get());
        QCOMPARE(db.count("Members"), 1);
        QCOMPARE(db.count("Members", QStringLiteral("Member_Title = %1").arg(captain)), 1);
        QCOMPARE(driver.unexpected, QStringList{});
    }
};

QTEST_MAIN(PlayersWidgetTest)
#include "players_test.moc"
