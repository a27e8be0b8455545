#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "roster/widgets/DivisionWindows.h"
#include "roster/widgets/TitleWindows.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace rm;
using test::child;

namespace {

// Two games, three divisions, players active and not, memberships and titles.
struct Roster {
    explicit Roster(const test::TestDatabase& db) : db(db) {
        game = addRow(QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) "
                                     "VALUES('Bolt', 1, 1, ' ')"),
                      QStringLiteral("Games"), QStringLiteral("Game_ID"));
        otherGame = addRow(QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) "
                                          "VALUES('Arrow', 1, 1, ' ')"),
                           QStringLiteral("Games"), QStringLiteral("Game_ID"));
        red = division(QStringLiteral("Red"), game, true);
        blue = division(QStringLiteral("Blue"), otherGame, true);
        old = division(QStringLiteral("Ancient"), game, false);
        const int ann = player(QStringLiteral("Ann"), true);
        const int bob = player(QStringLiteral("Bob"), false);
        const int cy = player(QStringLiteral("Cy"), true);
        captain = title(red, QStringLiteral("Captain"));
        title(red, QStringLiteral("Armourer"));
        title(blue, QStringLiteral("Scout"));
        member(ann, red, captain);
        member(bob, red, 0);
        member(cy, red, 0);
        member(bob, blue, 0);
        member(ann, old, 0);
    }
    int addRow(const QString& insert, const QString& table, const QString& key) const {
        db.exec(insert);
        return Db().scalar(QStringLiteral("Select MAX(%1) From %2").arg(key, table)).toInt();
    }
    int division(const QString& name, int gameId, bool active) const {
        return addRow(QStringLiteral(
                          "Insert Into Divisions (Division_Name, Division_Game, Division_Active, "
                          "Division_Notes, Division_Update) VALUES('%1', %2, %3, ' ', '2004-01-02 03:04:05')")
                          .arg(name)
                          .arg(gameId)
                          .arg(active ? 1 : 0),
                      QStringLiteral("Divisions"), QStringLiteral("Division_ID"));
    }
    int player(const QString& name, bool active) const {
        return addRow(
            QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active) "
                           "VALUES(1, '%1', %2)")
                .arg(name)
                .arg(active ? 1 : 0),
            QStringLiteral("Players"), QStringLiteral("Player_ID"));
    }
    int title(int divisionId, const QString& name) const {
        return addRow(
            QStringLiteral("Insert Into Titles (Title_Division, Title_Description) VALUES(%1, '%2')")
                .arg(divisionId)
                .arg(name),
            QStringLiteral("Titles"), QStringLiteral("Title_ID"));
    }
    void member(int playerId, int divisionId, int titleId) const {
        db.exec(QStringLiteral("Insert Into Members (Member_Player_ID, Member_Division_ID, Member_Title) "
                               "VALUES(%1, %2, %3)")
                    .arg(playerId)
                    .arg(divisionId)
                    .arg(titleId));
    }

    const test::TestDatabase& db;
    int game = 0, otherGame = 0, red = 0, blue = 0, old = 0, captain = 0;
};

QStringList column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(col);
    return texts;
}

void selectRow(QTreeWidget* list, const QString& text, int col = 0) {
    const auto found = list->findItems(text, Qt::MatchExactly, col);
    QVERIFY(!found.isEmpty());
    list->setCurrentItem(found.first());
}

void clickOK(QDialog* d) {
    child<QToolButton>(d, QStringLiteral("imgButton1"))->click();
}

} // namespace

class DivisionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listOrderAndActiveMemberCounts() {
        test::TestDatabase db;
        Roster roster(db);
        roster.division(QStringLiteral("Lost"), 999, true); // its game row is missing
        frmDivisions window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Division List"));
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvDivisions"));
        QCOMPARE(column(list, 0),
                 (QStringList{QStringLiteral("Blue"), QStringLiteral("Red"), QStringLiteral("Ancient")}));
        QCOMPARE(column(list, 1),
                 (QStringList{QStringLiteral("Arrow"), QStringLiteral("Bolt"), QStringLiteral("Bolt")}));
        QCOMPARE(column(list, 2),
                 (QStringList{QStringLiteral("Yes"), QStringLiteral("Yes"), QStringLiteral("No")}));
        // Blue's only member is inactive; Red has two active of three.
        QCOMPARE(column(list, 3),
                 (QStringList{QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("1")}));
        QCOMPARE(column(list, 4), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(column(list, 5).at(1), QString::number(roster.red));
        QVERIFY(list->isColumnHidden(5));

        window.show();
        QCOMPARE(window.minimumSize(), QSize(TwipsToPixels(9270, &window), TwipsToPixels(3540, &window)));
        window.resize(window.minimumWidth() + 40, window.minimumHeight() + 300);
        QCoreApplication::processEvents();
        QCOMPARE(list->height(), window.height() - TwipsToPixels(1245, &window));
    }

    void addStartsActiveAndEditStampsTheTimeOfSaving() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        Roster roster(db);
        FixedClock clock(QDateTime(QDate(2004, 3, 5), QTime(14, 7, 9)));
        SetClock(&clock);
        frmDivisions window;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Division Entry"));
            QVERIFY(child<QCheckBox>(d, QStringLiteral("chkActive"))->isChecked());
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblLastUpdate"))->text(), QString());
            QCOMPARE(child<QComboBox>(d, QStringLiteral("cboGame"))->currentText(), QStringLiteral("Arrow"));
            child<QLineEdit>(d, QStringLiteral("txtDivisionName"))->setText(QStringLiteral("Green"));
            child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))->setPlainText(QStringLiteral("  "));
            clickOK(d);
        });
        child<QToolButton>(&window, QStringLiteral("imgAdd"))->click();
        QCOMPARE(
            db.scalar(QStringLiteral("Select Division_Notes From Divisions Where Division_Name = 'Green'"))
                .toString(),
            QStringLiteral(" "));

        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvDivisions"));
        selectRow(list, QStringLiteral("Red"));
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Division Entry"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblLastUpdate"))->text(),
                     QStringLiteral("Last updated on 01/02/04 03:04 AM"));
            child<QComboBox>(d, QStringLiteral("cboGame"))->setCurrentIndex(0); // Arrow
            child<QCheckBox>(d, QStringLiteral("chkActive"))->setChecked(false);
            child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))
                ->setPlainText(QStringLiteral("Tuesday's crew"));
            clickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Division_Update From Divisions Where Division_ID = %1")
                               .arg(roster.red))
                     .toString(),
                 QStringLiteral("2004-03-05 14:07:09"));
        // Memberships and titles stay as they were.
        QCOMPARE(
            db.count(QStringLiteral("Members"), QStringLiteral("Member_Division_ID = %1").arg(roster.red)),
            3);
        QCOMPARE(db.count(QStringLiteral("Titles"), QStringLiteral("Title_Division = %1").arg(roster.red)),
                 2);
        QCOMPARE(column(list, 0).last(), QStringLiteral("Red")); // now inactive
        QCOMPARE(list->topLevelItem(list->topLevelItemCount() - 1)->text(4), QStringLiteral("Yes"));

        clock.set(QDateTime(QDate(2004, 3, 6), QTime(9, 0)));
        selectRow(list, QStringLiteral("Red"));
        driver.then([](QDialog* d) {
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblLastUpdate"))->text(),
                     QStringLiteral("Last updated on 03/05/04 02:07 PM"));
            QCOMPARE(child<QComboBox>(d, QStringLiteral("cboGame"))->currentText(), QStringLiteral("Arrow"));
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("chkActive"))->isChecked());
            QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))->toPlainText(),
                     QStringLiteral("Tuesday's crew"));
            child<QToolButton>(d, QStringLiteral("imgButton2"))->click();
        });
        child<QToolButton>(&window, QStringLiteral("imgEdit"))->click();
        QCOMPARE(sink.count(), 0);
        QVERIFY(driver.unexpected.isEmpty());
        SetClock(nullptr);
    }

    void deleteAsksAndTakesMembershipsAndTitlesAlong() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        Roster roster(db);
        frmDivisions window;
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvDivisions"));
        const QString red = QStringLiteral("%1").arg(roster.red);

        selectRow(list, QStringLiteral("Red"));
        sink.answer(vbNo);
        driver.then([&](QDialog* d) {
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtDivisionName"))->isReadOnly());
            QVERIFY(!child<QCheckBox>(d, QStringLiteral("chkActive"))->isEnabled());
            clickOK(d);
            QVERIFY(d->isVisible());
            QCOMPARE(sink.last().title, QStringLiteral("Delete Confirmation"));
            QCOMPARE(sink.last().buttons, int(vbYesNo));
            QCOMPARE(sink.last().text,
                     QStringLiteral("Deleting a division will remove any players memberships and "
                                    "any custom divisional titles\nDo You want to continue?"));
            child<QToolButton>(d, QStringLiteral("imgButton2"))->click();
        });
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(db.count(QStringLiteral("Divisions"), QStringLiteral("Division_ID = ") + red), 1);
        QCOMPARE(db.count(QStringLiteral("Members"), QStringLiteral("Member_Division_ID = ") + red), 3);
        QCOMPARE(db.count(QStringLiteral("Titles"), QStringLiteral("Title_Division = ") + red), 2);

        selectRow(list, QStringLiteral("Red"));
        sink.answer(vbYes);
        driver.then(clickOK);
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(db.count(QStringLiteral("Divisions"), QStringLiteral("Division_ID = ") + red), 0);
        QCOMPARE(db.count(QStringLiteral("Members"), QStringLiteral("Member_Division_ID = ") + red), 0);
        QCOMPARE(db.count(QStringLiteral("Titles"), QStringLiteral("Title_Division = ") + red), 0);
        QCOMPARE(db.count(QStringLiteral("Members")), 2);
        QCOMPARE(db.count(QStringLiteral("Titles")), 1);
        QVERIFY(!column(list, 0).contains(QStringLiteral("Red")));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void failedDeleteChangesNothing() {
        test::TestDatabase db;
        test::RecordingSink sink;
        Roster roster(db);
        db.exec(QStringLiteral("Drop Table Titles")); // the last of the three deletes fails
        frmMaintainDivision dialog;
        dialog.EditMode = QStringLiteral("Delete");
        dialog.PrimaryKey = roster.red;
        dialog.prepare();
        dialog.pressOK();
        QCOMPARE(sink.last().title, QStringLiteral("Rallymark Error"));
        QVERIFY(sink.last().standardBox);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(db.count(QStringLiteral("Divisions"), QStringLiteral("Division_ID = %1").arg(roster.red)),
                 1);
        QCOMPARE(
            db.count(QStringLiteral("Members"), QStringLiteral("Member_Division_ID = %1").arg(roster.red)),
            3);
    }

    void savingWithoutGamesAsksForOneFirst() {
        test::TestDatabase db;
        test::RecordingSink sink;
        frmMaintainDivision dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        child<QLineEdit>(&dialog, QStringLiteral("txtDivisionName"))->setText(QStringLiteral("Green"));
        dialog.pressOK();
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QVERIFY(sink.last().text.contains(QStringLiteral("Please add a Game to the Games List first.")));
        QCOMPARE(db.count(QStringLiteral("Divisions")), 0);
    }

    void titlesListedByDivisionAndRefusedWhileHeld() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        Roster roster(db);
        roster.title(4242, QStringLiteral("Ghost")); // its division row is missing
        frmTitles window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Divisional Titles"));
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvTitles"));
        QCOMPARE(column(list, 0),
                 (QStringList{QStringLiteral("Blue"), QStringLiteral("Red"), QStringLiteral("Red")}));
        QCOMPARE(column(list, 1), (QStringList{QStringLiteral("Scout"), QStringLiteral("Armourer"),
                                               QStringLiteral("Captain")}));
        QCOMPARE(column(list, 3).at(1), QString::number(roster.red));

        child<QToolButton>(&window, QStringLiteral("imgEdit"))->click();
        QCOMPARE(sink.last().text,
                 QStringLiteral("Please select a Divisional Title from the list before selecting Edit"));

        selectRow(list, QStringLiteral("Captain"), 1);
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Maintain Title"));
            QCOMPARE(child<QComboBox>(d, QStringLiteral("cboDivision"))->currentText(),
                     QStringLiteral("Red"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtTitle"))->text(), QStringLiteral("Captain"));
            QVERIFY(!child<QComboBox>(d, QStringLiteral("cboDivision"))->isEnabled());
            clickOK(d);
            QVERIFY(d->isVisible());
            QCOMPARE(sink.last().title, QStringLiteral("Divisional Title Currently in Use"));
            QCOMPARE(sink.last().text,
                     QStringLiteral("That Divisional Title is currently in use with some Players.\n"
                                    "You must first either delete the Players that use it, or "
                                    "change that Player's Title to delete!"));
            child<QToolButton>(d, QStringLiteral("imgButton2"))->click();
        });
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(db.count(QStringLiteral("Titles"), QStringLiteral("Title_ID = %1").arg(roster.captain)), 1);

        db.exec(QStringLiteral("Update Members Set Member_Title = 0"));
        selectRow(list, QStringLiteral("Captain"), 1);
        driver.then(clickOK);
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(db.count(QStringLiteral("Titles"), QStringLiteral("Title_ID = %1").arg(roster.captain)), 0);
        QVERIFY(!column(list, 1).contains(QStringLiteral("Captain")));

        // A title moves to another division (inactive ones are offered too).
        selectRow(list, QStringLiteral("Scout"), 1);
        driver.then([](QDialog* d) {
            auto* divisions = child<QComboBox>(d, QStringLiteral("cboDivision"));
            QCOMPARE(divisions->count(), 3);
            divisions->setCurrentIndex(divisions->findText(QStringLiteral("Ancient")));
            child<QLineEdit>(d, QStringLiteral("txtTitle"))->setText(QStringLiteral(" Elder's Voice "));
            clickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(
            db.scalar(QStringLiteral(
                          "Select Title_Division From Titles Where Title_Description = 'Elder''s Voice'"))
                .toInt(),
            roster.old);
        QVERIFY(driver.unexpected.isEmpty());
    }

    void titleNeedsDivisionAndName() {
        test::TestDatabase db;
        test::RecordingSink sink;
        frmMaintainTitle dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        child<QLineEdit>(&dialog, QStringLiteral("txtTitle"))->setText(QStringLiteral("Captain"));
        dialog.pressOK();
        QCOMPARE(sink.last().text, QStringLiteral("Both division and title name must be entered."));
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QCOMPARE(db.count(QStringLiteral("Titles")), 0);
    }
};

QTEST_MAIN(DivisionsTest)
#include "divisions_test.moc"
