#include "data/SqlText.h"
#include "support/TestKit.h"
#include "time/TimeZoneCatalog.h"
#include "time/widgets/frmTimeZones.h"

using namespace rm;
using test::child;
using test::Click;

namespace {

QTreeWidgetItem* rowNamed(QWidget* window, const QString& name) {
    return child<QTreeWidget>(window, QStringLiteral("lsvTimeZones"))
        ->findItems(name, Qt::MatchExactly)
        .value(0);
}

QLineEdit* field(QObject* d, const char* name) {
    return child<QLineEdit>(d, QString::fromLatin1(name));
}

// The stored zones of that name: description, offset and rule code, one per line.
QString stored(const QString& name) {
    QStringList rows;
    for (RowSet r = Db().execute(QStringLiteral("Select * From TimeZones Where TZ_Name = ") + SqlText(name));
         !r.eof(); r.moveNext())
        rows << r.text(QStringLiteral("TZ_Description")) + QLatin1Char('|') +
                    r.text(QStringLiteral("TZ_GMT_Offset")) + QLatin1Char('|') +
                    r.text(QStringLiteral("TZ_Daylight_Savings"));
    return rows.join(QLatin1Char('\n'));
}

} // namespace

class TimeZonesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addEditDeleteWithApostrophes() {
        test::TestDatabase db;
        test::RecordingSink sink;
        frmTimeZones window;
        window.show();
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvTimeZones"));
        test::ModalDriver driver;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Time Zone"));
            test::Type(d,
                       {"txtShortName", "  O'Brien ", "txtDescription", "Joe's Place", "txtOffset", "-300"});
            test::Check(d, {"optDSTUSA"});
            test::ClickOK(d);
        });
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(stored(QStringLiteral("O'Brien")), QStringLiteral("Joe's Place|-300|U"));
        QTreeWidgetItem* row = rowNamed(&window, QStringLiteral("O'Brien"));
        QVERIFY(row);
        QCOMPARE(row->text(2) + row->text(3), QStringLiteral("-300US"));
        QVERIFY(list->selectedItems().isEmpty());

        // A double-click edits the row.
        row->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Time Zone"));
            QCOMPARE(field(d, "txtShortName")->text() + field(d, "txtOffset")->text(),
                     QStringLiteral("O'Brien-300"));
            QVERIFY(child<QRadioButton>(d, QStringLiteral("optDSTUSA"))->isChecked());
            test::Type(d, {"txtDescription", "O'Hare's"});
            test::Check(d, {"optDSTEU"});
            test::ClickOK(d);
        });
        emit list->doubleClicked(list->indexFromItem(row));
        QCOMPARE(stored(QStringLiteral("O'Brien")), QStringLiteral("O'Hare's|-300|E"));
        QCOMPARE(rowNamed(&window, QStringLiteral("O'Brien"))->text(3), QStringLiteral("EU"));
        QVERIFY(list->selectedItems().isEmpty());

        // Delete shows the row read-only, then removes it.
        rowNamed(&window, QStringLiteral("O'Brien"))->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Delete Time Zone"));
            QVERIFY(field(d, "txtShortName")->isReadOnly() && field(d, "txtOffset")->isReadOnly());
            QVERIFY(!child<QGroupBox>(d, QStringLiteral("fmeDaylight"))->isEnabled());
            test::ClickOK(d);
        });
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(stored(QStringLiteral("O'Brien")), QString());
        QVERIFY(!rowNamed(&window, QStringLiteral("O'Brien")));
        QCOMPARE(driver.shown, QStringList(3, QStringLiteral("frmMaintainTimeZone")));
        QCOMPARE(sink.count(), 0);
    }

    void refusedActions() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        frmTimeZones window;
        for (const QString& button : {QStringLiteral("Edit"), QStringLiteral("Delete")}) {
            Click(&window, QStringLiteral("img") + button);
            QCOMPARE(sink.last().text,
                     QStringLiteral("Please select a Time Zone from the list before selecting ") + button);
            QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
            QCOMPARE(sink.last().icon, int(vbExclamation));
        }
        QVERIFY(driver.shown.isEmpty());

        // A zone some player uses stays, and the dialog stays open.
        db.exec(QStringLiteral(
                    "Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active) VALUES(%1, "
                    "'Kenji', 1)")
                    .arg(db.zoneId(QStringLiteral("Tokyo"))));
        window.refresh();
        rowNamed(&window, QStringLiteral("Tokyo"))->setSelected(true);
        bool stayedOpen = false;
        driver.then([&](QDialog* d) {
            test::ClickOK(d);
            stayedOpen = d->isVisible();
        });
        Click(&window, QStringLiteral("imgDelete"));
        QVERIFY(stayedOpen);
        QVERIFY(!stored(QStringLiteral("Tokyo")).isEmpty());
        QCOMPARE(sink.count(), 3);
        QCOMPARE(sink.last().title, QStringLiteral("Time Zone Currently in Use"));
        QCOMPARE(sink.last().text,
                 QStringLiteral("That Time Zone is currently in use with some Players.\nYou must first "
                                "either delete the Players that use it, or change that Player's "
                                "Time Zone to delete!"));
        QCOMPARE(sink.last().icon, int(vbExclamation));
    }

    void offsetAndRequiredFields() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int zones = db.count(QStringLiteral("TimeZones"));
        frmMaintainTimeZone dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        QTest::keyClicks(field(&dialog, "txtOffset"), QStringLiteral("--3x0-0"));
        QCOMPARE(field(&dialog, "txtOffset")->text(), QStringLiteral("-300"));

        test::Type(&dialog, {"txtShortName", "Zed", "txtDescription", " ", "txtOffset", "60"});
        dialog.pressOK();
        QCOMPARE(sink.last().text,
                 QStringLiteral("Short name, Description and Offset are all required fields."));
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QCOMPARE(sink.last().icon, int(vbInformation));
        test::Type(&dialog, {"txtDescription", "Zed zone"});
        for (const char* bad : {"-", "1441", "-1441", "40000", "99999999999"}) {
            sink.clear();
            test::Type(&dialog, {"txtOffset", bad});
            dialog.pressOK();
            QCOMPARE(sink.count(), 1);
            QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
            QVERIFY2(sink.last().text.contains(QStringLiteral("GMT Offset")) && !sink.last().standardBox,
                     bad);
        }
        QCOMPARE(db.count(QStringLiteral("TimeZones")), zones);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        sink.clear();
        test::Type(&dialog, {"txtOffset", "-1440"});
        dialog.pressOK();
        QCOMPARE(sink.count(), 0);
        QCOMPARE(stored(QStringLiteral("Zed")), QStringLiteral("Zed zone|-1440|N"));
        QCOMPARE(TimeZoneName(db.zoneId(QStringLiteral("Zed"))), QStringLiteral("Zed"));
        QCOMPARE(TimeZoneName(999999), QStringLiteral("Unknown"));
    }

    // An unknown code, or a lower-case letter (no rule to the conversions), shows as no daylight time.
    void unexpectedDaylightCode() {
        test::TestDatabase db;
        const int berlin = db.zoneId(QStringLiteral("Berlin"));
        for (const char* code : {"X", "u"}) {
            db.exec(QStringLiteral("Update TimeZones Set TZ_Daylight_Savings = '%1' Where TZ_ID = %2")
                        .arg(QLatin1String(code))
                        .arg(berlin));
            frmTimeZones window;
            QCOMPARE(rowNamed(&window, QStringLiteral("Berlin"))->text(3), QStringLiteral("None"));
            frmMaintainTimeZone dialog;
            dialog.EditMode = QStringLiteral("Edit");
            dialog.PrimaryKey = berlin;
            dialog.prepare();
            QVERIFY(child<QRadioButton>(&dialog, QStringLiteral("optDSTNone"))->isChecked());
            QCOMPARE(field(&dialog, "txtOffset")->text(), QStringLiteral("-60"));
        }
    }
};

QTEST_MAIN(TimeZonesTest)
#include "timezones_test.moc"
