#include "scheduling/widgets/WeekGridView.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"
#include "ui/FileDialogs.h"

#include <QAccessible>

using namespace rm;
using namespace rm::test;

class WeekGridWidgetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        SetClock(&m_clock);
        QLocale::setDefault(QLocale(QStringLiteral("en_US"))); // weeks start on Sunday
    }
    void cleanup() {
        SetClock(nullptr);
        QLocale::setDefault(QLocale::c());
        SetSaveFileRunner({});
        SetEmailWindowOpener({});
    }

    // The grid follows the selection and the day boxes; a click or Enter on a cell searches that
    // moment; the arrows move the focused cell; a screen reader hears what a cell means.
    void cellsDriveTheAvailabilitySearch() {
        TestDatabase db;
        RecordingSink sink;
        const qint32 gmt = CurrentOptions().UserTimeZone;
        CurrentOptions().BestTimesGranularity = 30;
        CurrentOptions().TimeFormat = true;
        AddScheduleRow(InsertPlayerRow(QStringLiteral("Able"), true, gmt), 3, 20 * 60, 21 * 60); // Tuesday
        AddScheduleRow(InsertPlayerRow(QStringLiteral("Baker"), true, gmt), 3, 20 * 60 + 30, 22 * 60);
        frmScheduling window;
        window.resize(1400, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QDateEdit>(&window, QStringLiteral("dtpWeekOf"))->setDate(QDate(2005, 1, 16)); // a Sunday
        auto* grid = child<WeekGridView>(&window, QStringLiteral("ctlWeekGrid"));
        QAbstractItemModel* cells = grid->model();
        auto* time = child<QLineEdit>(&window, QStringLiteral("txtMatchTime"));
        auto* available = child<QListWidget>(&window, QStringLiteral("lstAvailable"));
        Click(&window, QStringLiteral("imgSelectAll"));
        QTRY_COMPARE(child<WeekGridLegend>(&window, QStringLiteral("ctlWeekGridLegend"))->groupSize(), 2);
        QCOMPARE(cells->index(41, 2).data().toInt(), 2);                                    // Tuesday 20:30
        window.findChildren<QCheckBox*>(QStringLiteral("chkDay")).at(6)->setChecked(false); // Saturday
        QTRY_COMPARE(cells->columnCount(), 6);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(cells->index(40, 2)).center());
        QCOMPARE(child<QLineEdit>(&window, QStringLiteral("txtMatchDate"))->text(),
                 QStringLiteral("01/18/2005"));
        QCOMPARE(time->text(), QStringLiteral("20:00")); // the cell's own Tuesday
        QCOMPARE(ItemTexts(available), QStringList{QStringLiteral("Able")});
        grid->setFocus();
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Left})
            QTest::keyClick(grid, key);
        QCOMPARE(grid->currentIndex(), cells->index(41, 2));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(time->text(), QStringLiteral("20:30"));
        QCOMPARE(available->count(), 2);
        QAccessibleInterface* cell =
            QAccessible::queryAccessibleInterface(grid)->tableInterface()->cellAt(41, 2);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Tuesday 20:30: 2 of 2 available"));
        QCOMPARE(sink.count(), 0);
    }

    // The availability result into a calendar file and into the group's e-mail, at its real instant:
    // a summer Monday 20:00 in Eastern is Tuesday 00:00 UTC, searched at the winter shift of today.
    void matchGoesIntoCalendars() {
        TestDatabase db;
        RecordingSink sink;
        CurrentOptions().UserTimeZone = db.zoneId(QStringLiteral("Eastern"));
        const qint32 able = InsertPlayerRow(QStringLiteral("Able"), true, CurrentOptions().UserTimeZone);
        InsertMember(able,
                     InsertDivision(QStringLiteral("Rifles, East"), InsertGame(QStringLiteral("Arena"))));
        AddScheduleRow(able, 3, 0, 23 * 60 + 30);
        frmScheduling window;
        Click(&window, QStringLiteral("imgClickDivision"));
        child<QListWidget>(&window, QStringLiteral("lstDivisions"))->item(0)->setSelected(true);
        Type(&window, {"txtMatchDate", "07/18/2005", "txtMatchTime", "20:00"});
        Click(&window, QStringLiteral("imgShowAvailable"));
        const QString path = db.folder() + QStringLiteral("/match");
        SetSaveFileRunner([&](QWidget*, const SaveFileRequest&) { return path; });
        QMainWindow main;
        Click(&window, QStringLiteral("imgAddToCalendar"));
        QCOMPARE(main.statusBar()->currentMessage(), "Calendar file written to " + path + ".ics");
        const QByteArray text = FileBytes(path + ".ics");
        QVERIFY(text.contains("DTSTART:20050719T000000Z\r\n"));
        QVERIFY(text.contains("SUMMARY:Match: Rifles\\, East (Arena)\r\n"));
        QList<EmailRequest> requests;
        SetEmailWindowOpener([&](const EmailRequest& request, QWidget*) { requests << request; });
        Click(&window, QStringLiteral("imgEmailAvailable"));
        QCOMPARE(requests.size(), 1);
        QVERIFY(requests.at(0).calendarEvent.contains("DTSTART:20050719T000000Z"));
        QCOMPARE(sink.count(), 0);
    }

    // The columns run from the first date counted and carry their dates in the locale's names; with
    // nobody free every cell is 0 and its tip names everybody as not available.
    void columnsAndAnEmptyWeek_data() {
        QTest::addColumn<QString>("headers");
        QTest::addColumn<QString>("tuesdayDate"); // as the date field reads it
        QTest::newRow("en_US") << QStringLiteral("Mon 7 Dec|Tue 8 Dec|Thu 10 Dec|Sat 12 Dec|Sun 13 Dec")
                               << QStringLiteral("12/08/2026");
        QTest::newRow("de_DE") << QStringLiteral("Mo. 7 Dez.|Di. 8 Dez.|Do. 10 Dez.|Sa. 12 Dez.|So. 13 Dez.")
                               << QStringLiteral("08.12.2026");
    }
    void columnsAndAnEmptyWeek() {
        QFETCH(QString, headers);
        QFETCH(QString, tuesdayDate);
        TestDatabase db;
        QLocale::setDefault(QLocale(QString::fromLatin1(QTest::currentDataTag())));
        const qint32 zone = CurrentOptions().UserTimeZone;
        const QList<qint32> people{InsertPlayerRow(QStringLiteral("Ann, the first"), true, zone),
                                   InsertPlayerRow(QStringLiteral("Bob"), true, zone)};
        WeekGridModel model;
        model.refresh(SearchSelection{true, people, {}},
                      {{true, true, true, false, true, false, true}, 30, zone, QDate(2026, 12, 7)},
                      Qt::Monday);
        QStringList shown;
        for (int c = 0; c < model.columnCount(); ++c) {
            shown << model.headerData(c, Qt::Horizontal)
                         .toString()
                         .replace(QLatin1Char('\n'), QLatin1Char(' '));
            for (int row = 0; row < model.rowCount(); ++row)
                QCOMPARE(model.index(row, c).data().toInt(), 0);
        }
        QCOMPARE(shown.join(QLatin1Char('|')), headers);
        QCOMPARE(model.headerData(47, Qt::Vertical).toString(), QStringLiteral("23:30")); // the last of 48
        const QModelIndex tuesday = model.index(41, 1);
        QCOMPARE(tuesday.data(Qt::ToolTipRole).toString(),
                 "Tuesday " + tuesdayDate +
                     " 20:30\nAvailable (0): nobody\nNot available (2): Ann, the first, Bob");
    }

private:
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))}; // a winter Wednesday
};

QTEST_MAIN(WeekGridWidgetTest)
#include "weekgrid_widget_test.moc"
