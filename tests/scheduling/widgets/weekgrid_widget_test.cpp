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

private:
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))}; // a winter Wednesday
};

QTEST_MAIN(WeekGridWidgetTest)
#include "weekgrid_widget_test.moc"
