#include "data/DbConnection.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "time/TimeZoneCatalog.h"
#include "time/widgets/frmTimeZones.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace rm;
using test::child;

namespace {

QTreeWidgetItem* rowNamed(QTreeWidget* list, const QString& name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == name)
            return list->topLevelItem(i);
    return nullptr;
}

int selectedRows(QTreeWidget* list) {
    return static_cast<int>(list->selectedItems().size());
}

void click(QObject* parent, const char* name) {
    child<QToolButton>(parent, QString::fromLatin1(name))->click();
}

void fill(QDialog* d, const QString& name, const QString& description, const QString& offset) {
    child<QLineEdit>(d, QStringLiteral("txtShortName"))->setText(name);
    child<QLineEdit>(d, QStringLiteral("txtDescription"))->setText(description);
    child<QLineEdit>(d, QStringLiteral("txtOffset"))->setText(offset);
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
        QVERIFY(list->isColumnHidden(4));

        test::ModalDriver driver;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Time Zone"));
            fill(d, QStringLiteral("  O'Brien "), QStringLiteral("Joe's Place"), QStringLiteral("-300"));
            child<QRadioButton>(d, QStringLiteral("optDSTUSA"))->setChecked(true);
            click(d, "imgButton1");
        });
        click(&window, "imgAdd");
        QCOMPARE(
            db.count(QStringLiteral("TimeZones"), QStringLiteral("TZ_Name = 'O''Brien' And TZ_Description = "
                                                                 "'Joe''s Place' And TZ_GMT_Offset = -300 "
                                                                 "And TZ_Daylight_Savings = 'U'")),
            1);
        QTreeWidgetItem* row = rowNamed(list, QStringLiteral("O'Brien"));
        QVERIFY(row);
        QCOMPARE(row->text(2), QStringLiteral("-300"));
        QCOMPARE(row->text(3), QStringLiteral("US"));
        QCOMPARE(selectedRows(list), 0);

        // A double-click edits the row.
        row->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Time Zone"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtShortName"))->text(), QStringLiteral("O'Brien"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtOffset"))->text(), QStringLiteral("-300"));
            QVERIFY(child<QRadioButton>(d, QStringLiteral("optDSTUSA"))->isChecked());
            child<QLineEdit>(d, QStringLiteral("txtDescription"))->setText(QStringLiteral("O'Hare's"));
            child<QRadioButton>(d, QStringLiteral("optDSTEU"))->setChecked(true);
            click(d, "imgButton1");
        });
        emit list->doubleClicked(list->indexFromItem(row));
        QCOMPARE(driver.shown,
                 QStringList({QStringLiteral("frmMaintainTimeZone"), QStringLiteral("frmMaintainTimeZone")}));
        QCOMPARE(db.scalar(QStringLiteral("Select TZ_Description From TimeZones Where TZ_Name = 'O''Brien'"))
                     .toString(),
                 QStringLiteral("O'Hare's"));
        row = rowNamed(list, QStringLiteral("O'Brien"));
        QCOMPARE(row->text(3), QStringLiteral("EU"));
        QCOMPARE(selectedRows(list), 0);

        // Delete shows the row read-only with the delete pictures, then removes it.
        row->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Delete Time Zone"));
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtShortName"))->isReadOnly());
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtOffset"))->isReadOnly());
            QVERIFY(!child<QGroupBox>(d, QStringLiteral("fmeDaylight"))->isEnabled());
            click(d, "imgButton1");
        });
        click(&window, "imgDelete");
        QCOMPARE(db.count(QStringLiteral("TimeZones"), QStringLiteral("TZ_Name = 'O''Brien'")), 0);
        QVERIFY(!rowNamed(list, QStringLiteral("O'Brien")));
        QCOMPARE(sink.count(), 0);
        QVERIFY(driver.unexpected.isEmpty());
    }

    void noSelectionWarnings() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        frmTimeZones window;
        click(&window, "imgEdit");
        click(&window, "imgDelete");
        QCOMPARE(sink.count(), 2);
        const QStringList buttons{QStringLiteral("Edit"), QStringLiteral("Delete")};
        for (int i = 0; i < 2; ++i) {
            const auto& m = sink.messages.at(i);
            QCOMPARE(m.text, QStringLiteral("Please select a Time Zone from the list before selecting ") +
                                 buttons[i]);
            QCOMPARE(m.title, QStringLiteral("No Selection Made"));
            QCOMPARE(m.icon, int(vbExclamation));
        }
        QVERIFY(driver.shown.isEmpty());
    }

    void inUseZoneIsRefused() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int zone = db.zoneId(QStringLiteral("Tokyo"));
        db.exec(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active) "
                               "VALUES(%1, 'Kenji', 1)")
                    .arg(zone));
        frmTimeZones window;
        rowNamed(child<QTreeWidget>(&window, QStringLiteral("lsvTimeZones")), QStringLiteral("Tokyo"))
            ->setSelected(true);
        test::ModalDriver driver;
        bool stayedOpen = false;
        driver.then([&](QDialog* d) {
            click(d, "imgButton1");
            stayedOpen = d->isVisible();
        });
        click(&window, "imgDelete");
        QVERIFY(stayedOpen);
        QCOMPARE(db.count(QStringLiteral("TimeZones"), QStringLiteral("TZ_ID = %1").arg(zone)), 1);
        QCOMPARE(sink.count(), 1);
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
        auto* offset = child<QLineEdit>(&dialog, QStringLiteral("txtOffset"));
        QTest::keyClicks(offset, QStringLiteral("--3x0-0"));
        QCOMPARE(offset->text(), QStringLiteral("-300"));

        fill(&dialog, QStringLiteral("Zed"), QStringLiteral(" "), QStringLiteral("60"));
        dialog.pressOK();
        QCOMPARE(sink.last().text,
                 QStringLiteral("Short name, Description and Offset are all required fields."));
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QCOMPARE(sink.last().icon, int(vbInformation));

        for (const QString& bad : {QStringLiteral("-"), QStringLiteral("1441"), QStringLiteral("-1441"),
                                   QStringLiteral("40000"), QStringLiteral("99999999999")}) {
            sink.clear();
            fill(&dialog, QStringLiteral("Zed"), QStringLiteral("Zed zone"), bad);
            dialog.pressOK();
            QCOMPARE(sink.count(), 1);
            QCOMPARE(sink.last().title, QStringLiteral("Data Validation"));
            QVERIFY(sink.last().text.contains(QStringLiteral("GMT Offset")));
            QVERIFY(!sink.last().standardBox);
        }
        QCOMPARE(db.count(QStringLiteral("TimeZones")), zones);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        sink.clear();
        fill(&dialog, QStringLiteral("Zed"), QStringLiteral("Zed zone"), QStringLiteral("-1440"));
        dialog.pressOK();
        QCOMPARE(sink.count(), 0);
        QCOMPARE(db.count(QStringLiteral("TimeZones"),
                          QStringLiteral("TZ_Name = 'Zed' And TZ_GMT_Offset = -1440 And "
                                         "TZ_Daylight_Savings = 'N'")),
                 1);
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
            QCOMPARE(rowNamed(child<QTreeWidget>(&window, QStringLiteral("lsvTimeZones")),
                              QStringLiteral("Berlin"))
                         ->text(3),
                     QStringLiteral("None"));
            frmMaintainTimeZone dialog;
            dialog.EditMode = QStringLiteral("Edit");
            dialog.PrimaryKey = berlin;
            dialog.prepare();
            QVERIFY(child<QRadioButton>(&dialog, QStringLiteral("optDSTNone"))->isChecked());
            QCOMPARE(child<QLineEdit>(&dialog, QStringLiteral("txtOffset"))->text(), QStringLiteral("-60"));
        }
    }

    void catalogueStatements() {
        test::TestDatabase db;
        QCOMPARE(TimeZoneName(db.zoneId(QStringLiteral("Sydney"))), QStringLiteral("Sydney"));
        QCOMPARE(TimeZoneName(999999), QStringLiteral("Unknown"));
        TimeZoneEntry zone{QStringLiteral(" It's "), QStringLiteral("Desc"), -90, QStringLiteral("E")};
        QCOMPARE(TimeZoneUpdateSql(zone, 7),
                 QStringLiteral(
                     "Update TimeZones Set TZ_Name = 'It''s',TZ_Description = 'Desc', TZ_GMT_Offset = -90, "
                     "TZ_Daylight_Savings = 'E' Where TZ_ID = 7"));
        QCOMPARE(TimeZoneInsertSql(zone),
                 QStringLiteral(
                     "Insert Into TimeZones (TZ_Name, TZ_Description, TZ_GMT_Offset, TZ_Daylight_Savings) "
                     "VALUES('It''s', 'Desc', -90, 'E') "));
    }
};

QTEST_MAIN(TimeZonesTest)
#include "timezones_test.moc"
