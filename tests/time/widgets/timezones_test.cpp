#include "data/SqlText.h"
#include "support/RosterRows.h"
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

// The stored zone of that name: description, offset and rule code.
QString stored(const QString& name) {
    return Db()
        .scalar(QStringLiteral("Select Group_Concat(TZ_Description || '|' || TZ_GMT_Offset || '|' || "
                               "TZ_Daylight_Savings) From TimeZones Where TZ_Name = ") +
                SqlText(name))
        .toString();
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
            test::Type(d,
                       {"txtShortName", "  O'Brien ", "txtDescription", "Joe's Place", "txtOffset", "-300"});
            test::Check(d, {"optDSTUSA"});
            test::ClickOK(d);
        });
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(stored("O'Brien"), QStringLiteral("Joe's Place|-300|U"));
        QTreeWidgetItem* row = rowNamed(&window, "O'Brien");
        QCOMPARE(row ? row->text(2) + row->text(3) : QString(), QStringLiteral("-300US"));

        // A double-click edits the row; Delete shows it read-only, then removes it.
        row->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(field(d, "txtShortName")->text() + field(d, "txtOffset")->text(),
                     QStringLiteral("O'Brien-300"));
            QVERIFY(child<QRadioButton>(d, QStringLiteral("optDSTUSA"))->isChecked());
            test::Type(d, {"txtDescription", "O'Hare's"});
            test::Check(d, {"optDSTEU"});
            test::ClickOK(d);
        });
        emit list->doubleClicked(list->indexFromItem(row));
        QCOMPARE(stored("O'Brien"), QStringLiteral("O'Hare's|-300|E"));
        QCOMPARE(rowNamed(&window, "O'Brien")->text(3), QStringLiteral("EU"));

        rowNamed(&window, "O'Brien")->setSelected(true);
        driver.then([](QDialog* d) { test::ClickOK(d); });
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(stored("O'Brien"), QString());
        QVERIFY(!rowNamed(&window, "O'Brien"));
        QCOMPARE(sink.count(), 0);
    }

    // Choosing a real zone proposes its standard offset and stores it; an entry without one says so in
    // the list, and a zone this computer does not know is refused.
    void realZones() {
        test::TestDatabase db;
        test::RecordingSink sink;
        FixedClock summer(QDateTime(QDate(2026, 7, 1), QTime(12, 0)));
        SetClock(&summer);
        frmTimeZones window;
        test::ModalDriver driver;
        driver.then([](QDialog* d) {
            test::Type(d, {"txtShortName", "Hobart", "txtDescription", "Hobart, Tasmania"});
            auto* real = child<QComboBox>(d, QStringLiteral("cboRealZone"));
            real->setCurrentIndex(real->findData(QStringLiteral("Australia/Hobart")));
            Q_EMIT real->activated(real->currentIndex());
            QCOMPARE(field(d, "txtOffset")->text(), QStringLiteral("-600"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblRealZoneNow"))->text(),
                     QStringLiteral("UTC+10:00 now"));
            test::ClickOK(d);
        });
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(db.scalar("Select TZ_GMT_Offset || ' ' || TZ_IANA From TimeZones Where TZ_Name = 'Hobart' "
                           "And TZ_Description Like '%Tasmania'")
                     .toString(),
                 QStringLiteral("-600 Australia/Hobart"));
        db.exec(QStringLiteral("Update TimeZones Set TZ_IANA = '' Where TZ_Name = 'Tokyo'"));
        window.refresh();
        QCOMPARE(rowNamed(&window, "Tokyo")->text(4), QStringLiteral("no real zone"));
        QCOMPARE(rowNamed(&window, "Sydney")->text(4), QStringLiteral("Australia/Sydney"));
        QVERIFY(!SaveTimeZone("Add", 0, "Mars", "Olympus", "0", "N", "Mars/Olympus"));
        QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
        QCOMPARE(db.count("TimeZones", "TZ_Name = 'Mars'"), 0);
        SetClock(nullptr);
    }

    // Edit and Delete need a selection; a zone some player uses stays, and the dialog stays open.
    void refusedActions() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        frmTimeZones window;
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(sink.last().text,
                 QStringLiteral("Please select a Time Zone from the list before selecting Delete"));
        QVERIFY(driver.shown.isEmpty());
        test::InsertPlayerRow("Kenji", true, db.zoneId("Tokyo"));
        window.refresh();
        rowNamed(&window, "Tokyo")->setSelected(true);
        bool stayedOpen = false;
        driver.then([&](QDialog* d) {
            test::ClickOK(d);
            stayedOpen = d->isVisible();
        });
        Click(&window, QStringLiteral("imgDelete"));
        QVERIFY(stayedOpen);
        QVERIFY(!stored("Tokyo").isEmpty());
        QCOMPARE(sink.last().title, QStringLiteral("Time Zone Currently in Use"));
    }

    // The offset field reads clock offsets and plain minutes (in the column's own sign), shows what it
    // read beside the field, and refuses anything outside UTC-12:00 ... UTC+14:00.
    void offsetsAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored"); // 9999: refused
        QTest::addColumn<QString>("shown");
        const QString minus(QChar(0x2212));
        QTest::newRow("+13:00") << "+13:00" << -780 << "UTC+13:00";
        QTest::newRow("-3:30") << "-3:30" << 210 << "UTC" + minus + "03:30";
        QTest::newRow("UTC+5:45") << "UTC+5:45" << -345 << "UTC+05:45";
        QTest::newRow("minutes, Berlin") << "-60" << -60 << "UTC+01:00";
        QTest::newRow("minutes, New York") << "300" << 300 << "UTC" + minus + "05:00";
        QTest::newRow("UTC+14:00 edge") << "+14:00" << -840 << "UTC+14:00";
        QTest::newRow("UTC-12:00 edge") << "720" << 720 << "UTC" + minus + "12:00";
        QTest::newRow("past +14") << "+14:15" << 9999 << "not an offset";
        QTest::newRow("1300 minutes") << "1300" << 9999 << "not an offset";
        QTest::newRow("sign alone") << "+5" << 9999 << "not an offset";
        QTest::newRow("words") << "Berlin" << 9999 << "not an offset";
    }
    void offsetsAsTyped() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        test::TestDatabase db;
        test::RecordingSink sink;
        frmMaintainTimeZone dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        test::Type(&dialog, {"txtShortName", "Zed", "txtDescription", "Zed Island"});
        QTest::keyClicks(field(&dialog, "txtOffset"), typed);
        QTEST(test::child<QLabel>(&dialog, QStringLiteral("lblOffsetShown"))->text(), "shown");
        test::ClickOK(&dialog);
        if (stored == 9999) {
            QCOMPARE(sink.last().text, kZoneOffsetRefusal);
            QCOMPARE(db.count("TimeZones", "TZ_Name = 'Zed'"), 0);
        } else {
            QCOMPARE(sink.count(), 0);
            QCOMPARE(db.scalar("Select TZ_GMT_Offset From TimeZones Where TZ_Name = 'Zed'").toInt(), stored);
        }
    }

    // Every entry is required before anything is stored. Unknown daylight codes read as none.
    void requiredFieldsAndCodes() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int zones = db.count("TimeZones");
        QVERIFY(!SaveTimeZone("Add", 0, "Zed", " ", "60", "N"));
        QCOMPARE(sink.last().text,
                 QStringLiteral("Short name, Description and Offset are all required fields."));
        QCOMPARE(db.count("TimeZones"), zones);
        for (const char* code : {"X", "u", ""})
            QCOMPARE(DaylightColumnText(QString::fromLatin1(code)) +
                         NormalizedDaylightCode(QString::fromLatin1(code)),
                     QStringLiteral("NoneN"));
    }
};

QTEST_MAIN(TimeZonesTest)
#include "timezones_test.moc"
