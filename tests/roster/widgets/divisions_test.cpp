#include "data/SecretStore.h"
#include "roster/widgets/DivisionWindows.h"
#include "roster/widgets/TitleWindows.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

namespace {

// Two games, three divisions, players active and not, memberships and titles.
struct Roster {
    Roster() {
        const qint32 bolt = InsertGame("Bolt");
        red = InsertDivision("Red", bolt);
        blue = InsertDivision("Blue", InsertGame("Arrow"));
        old = InsertDivision("Ancient", bolt, false);
        const qint32 ann = InsertPlayerRow("Ann");
        const qint32 bob = InsertPlayerRow("Bob", false);
        captain = InsertTitle(red, "Captain");
        InsertTitle(red, "Armourer");
        InsertTitle(blue, "Scout");
        InsertMember(ann, red, captain);
        InsertMember(bob, red);
        InsertMember(InsertPlayerRow("Cy"), red);
        InsertMember(bob, blue);
        InsertMember(ann, old);
    }
    // Rows of Divisions, Members and Titles that belong to Red.
    QString redRows(const TestDatabase& db) const {
        return QStringLiteral("%1 %2 %3")
            .arg(db.count("Divisions", QStringLiteral("Division_ID = %1").arg(red)))
            .arg(db.count("Members", QStringLiteral("Member_Division_ID = %1").arg(red)))
            .arg(db.count("Titles", QStringLiteral("Title_Division = %1").arg(red)));
    }
    qint32 red = 0, blue = 0, old = 0, captain = 0;
};

} // namespace

class DivisionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addStartsActiveAndEditStampsTheTimeOfSaving() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        Roster roster;
        FixedClock clock(QDateTime(QDate(2004, 3, 5), QTime(0, 7, 9)));
        SetClock(&clock);
        MemorySecretStore secrets;
        SetSecretStore(&secrets);
        const QString webhook(
            "https://discord.com/api/webhooks/123456789012345678/Green_token-abcdefghijklmnop");
        frmDivisions window;
        driver.then([&](QDialog* d) {
            QVERIFY(child<QCheckBox>(d, "chkActive")->isChecked());
            child<QLineEdit>(d, "txtDivisionName")->setText("Green");
            child<QPlainTextEdit>(d, "txtNotes")->setPlainText("  ");
            // The division's own channel: a secret, refused unless it is a webhook address.
            auto* address = child<QLineEdit>(d, "txtDiscordWebhook");
            QCOMPARE(address->echoMode(), QLineEdit::Password);
            address->setText(QString(webhook).replace("discord.com", "example.org"));
            ClickOK(d);
            QVERIFY(sink.last().text.startsWith("The Discord webhook address is not a webhook address"));
            QCOMPARE(db.count("Divisions"), 3);
            address->setText(webhook);
            ClickOK(d);
        });
        Click(&window, "imgAdd");
        const QString green = " From Divisions Where Division_Name = 'Green'";
        QCOMPARE(db.scalar("Select Division_Notes" + green).toString(), " ");
        QCOMPARE(DiscordWebhookAddress(db.scalar("Select Division_ID" + green).toInt()), webhook);
        SetSecretStore(nullptr);

        auto* list = child<QTreeWidget>(&window, "lsvDivisions");
        SelectRow(list, "Red");
        driver.then([&](QDialog* d) {
            child<QComboBox>(d, "cboGame")->setCurrentIndex(0); // Arrow
            child<QCheckBox>(d, "chkActive")->setChecked(false);
            child<QPlainTextEdit>(d, "txtNotes")->setPlainText("Tuesday's crew");
            ClickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        // Memberships and titles stay as they were; Red is now listed last, inactive, with notes.
        QCOMPARE(roster.redRows(db), "1 3 2");
        QCOMPARE(RowTexts(list).last(), QStringLiteral("Red|Arrow|No|2|Yes|%1").arg(roster.red));

        clock.set(QDateTime(QDate(2004, 3, 6), QTime(9, 0)));
        SelectRow(list, "Red");
        driver.then([](QDialog* d) {
            QCOMPARE(child<QLabel>(d, "lblLastUpdate")->text(), "Last updated on 03/05/04 12:07 AM");
            QCOMPARE(child<QPlainTextEdit>(d, "txtNotes")->toPlainText(), "Tuesday's crew");
            Click(d, "imgButton2");
        });
        Click(&window, "imgEdit");
        QVERIFY(driver.unexpected.isEmpty());
        SetClock(nullptr);
    }

    // Titles are listed by division (refused while held: the catalogues' test); one moves to another
    // division, inactive ones offered too, and needs a division and a name. Divisions are listed
    // inactive after active, without the one whose game is missing, with the active members counted.
    // Delete asks first, changes nothing when the store fails, and takes memberships and titles along.
    void listedAndDeleted() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        Roster roster;
        frmTitles titles;
        auto* list = child<QTreeWidget>(&titles, "lsvTitles");
        QCOMPARE(Column(list, 0) + Column(list, 1),
                 (QStringList{"Blue", "Red", "Red", "Scout", "Armourer", "Captain"}));
        SelectRow(list, "Scout", 1);
        driver.then([&](QDialog* d) {
            auto* divisions = child<QComboBox>(d, "cboDivision");
            QCOMPARE(divisions->count(), 3);
            divisions->setCurrentIndex(-1);
            ClickOK(d);
            QCOMPARE(sink.last().text, "Both division and title name must be entered.");
            divisions->setCurrentIndex(divisions->findText("Ancient"));
            child<QLineEdit>(d, "txtTitle")->setText(" Elder's Voice ");
            ClickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(
            db.count("Titles", QStringLiteral("Title_Description = 'Elder''s Voice' And Title_Division = %1")
                                   .arg(roster.old)),
            1);

        InsertDivision("Lost", 999); // its game row is missing
        frmDivisions window;
        list = child<QTreeWidget>(&window, "lsvDivisions");
        QCOMPARE(RowTexts(list), (QStringList{QStringLiteral("Blue|Arrow|Yes|0||%1").arg(roster.blue),
                                              QStringLiteral("Red|Bolt|Yes|2||%1").arg(roster.red),
                                              QStringLiteral("Ancient|Bolt|No|1||%1").arg(roster.old)}));

        SelectRow(list, "Red");
        sink.answer(vbNo);
        sink.answer(vbYes);
        db.exec("Create Trigger refuse Before Delete On Titles Begin Select RAISE(ABORT, 'no'); End");
        driver.then([&](QDialog* d) {
            ClickOK(d);
            QVERIFY(d->isVisible());
            QCOMPARE(sink.last().buttons, int(vbYesNo));
            QCOMPARE(sink.last().text,
                     QStringLiteral("Deleting a division will remove any players memberships and "
                                    "any custom divisional titles\nDo You want to continue?"));
            ClickOK(d); // the last of the three deletes fails
            QVERIFY(d->isVisible());
            QCOMPARE(sink.last().title, "Rallymark Error");
            Click(d, "imgButton2");
        });
        Click(&window, "imgDelete");
        QCOMPARE(roster.redRows(db), "1 3 2");
        db.exec("Drop Trigger refuse");

        SelectRow(list, "Red");
        sink.answer(vbYes);
        driver.then(ClickOK);
        Click(&window, "imgDelete");
        QCOMPARE(roster.redRows(db), "0 0 0");
        QCOMPARE(db.count("Members"), 2);
        QCOMPARE(db.count("Titles"), 1);
        QVERIFY(driver.unexpected.isEmpty());
    }

    // A division needs a game to belong to.
    void missingInformation() {
        TestDatabase db;
        RecordingSink sink;
        frmMaintainDivision division;
        division.EditMode = "Add";
        division.prepare();
        child<QLineEdit>(&division, "txtDivisionName")->setText("Green");
        division.pressOK();
        QCOMPARE(sink.last().title, "Missing Information");
        QVERIFY(sink.last().text.contains("Please add a Game to the Games List first."));
        QCOMPARE(db.count("Divisions"), 0);
    }
};

QTEST_MAIN(DivisionsTest)
#include "divisions_test.moc"
