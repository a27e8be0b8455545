#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/ScheduleTimeBar.h"
#include "roster/widgets/ScheduleWindow.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

namespace {

void click(ctlTimeBar* b, int cell, Qt::MouseButton button) {
    QTest::mouseClick(b, button, {}, b->cellRect(cell).center());
}

} // namespace

class ScheduleEntryTest : public QObject {
    Q_OBJECT

    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

    // A new player's week is entered while adding: reopening the window shows what was marked,
    // Cancel keeps it, and the save stores it with the zone chosen in the dialog. A stretch drawn
    // to the bar's right edge runs to 24:00 and comes back there.
    void addModeKeepsTheMarkedWeek() {
        TestDatabase db;
        ModalDriver driver;
        frmMaintainPlayer dialog;
        dialog.EditMode = "Add";
        dialog.prepare();
        Type(&dialog, {"txtOnlineName", "Newbie"});
        auto* zones = child<QComboBox>(&dialog, "cboTimeZone");
        zones->setCurrentIndex(zones->findData(db.zoneId("GMT")));

        driver.then([](QDialog* d) {
            click(child<ctlTimeBar>(d, "ctlSunday"), 18, Qt::LeftButton);
            click(child<ctlTimeBar>(d, "ctlSunday"), 20, Qt::RightButton);
            click(child<ctlTimeBar>(d, "ctlSaturday"), 47, Qt::LeftButton);
            click(child<ctlTimeBar>(d, "ctlSaturday"), ctlTimeBar::kEdgeCell, Qt::RightButton);
            ClickOK(d);
        });
        driver.then([](QDialog* d) {
            QCOMPARE(child<ctlTimeBar>(d, "ctlSunday")->Times(), QStringList{"09:00|10:00"});
            QCOMPARE(child<ctlTimeBar>(d, "ctlSaturday")->cellTag(ctlTimeBar::kEdgeCell), "5");
            click(child<ctlTimeBar>(d, "ctlMonday"), 2, Qt::LeftButton);
            click(child<ctlTimeBar>(d, "ctlMonday"), 4, Qt::RightButton);
            Click(d, "imgButton2");
        });
        driver.then([](QDialog* d) { ClickOK(d); }); // the marks shown again are kept
        for (int i = 0; i < 3; ++i)
            Click(&dialog, "imgSchedule");
        QCOMPARE(driver.pending(), 0);

        ClickOK(&dialog);
        QCOMPARE(ScheduleRowsText(), "1|00:00|00:00\n1|09:00|10:00\n7|23:30|23:59");
    }

    // Presses on a bar, each a cell and a button: L left, R right, M middle, D right choosing "Delete
    // Time Slot"; a "2" after it makes the press a double-click, which counts as its first press only.
    void presses_data() {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QString>("after"); // stretches; cells not free; messages; menus shown; start pending
        const auto row = [](const char* name, const char* presses, const char* after) {
            QTest::newRow(name) << QString::fromLatin1(presses) << QString::fromLatin1(after);
        };
        row("end before start", "30L 25R", "; 1; Cannot set the end time before the start time!; 0; 1");
        row("start pending: left anywhere, right on marked cells", "18L 20R 30L 32L 30R 19R",
            "09:00|10:00; 4; You have already set a start time!; 0; 1");
        row("end without start", "5R", "; 0; You need to set a start time before setting an end time!; 0; 0");
        row("swallows stretches inside", "10L 12R 44L 47R 4L 40R", "02:00|20:00 22:00|23:30; 41; ; 0; 0");
        row("menu dismissed", "4L 40R 22R", "02:00|20:00; 37; ; 1; 0");
        row("delete frees the whole stretch", "4L 40R 44L 47R 22D", "22:00|23:30; 4; ; 1; 0");
        row("double left sets a start", "14L2", "; 1; ; 0; 1");
        row("double left on the edge is refused: the edge is an end only", "48L2",
            "; 0; The end of the day can only be an end time!; 0; 0");
        row("double right sets the end", "10L 14R2", "05:00|07:00; 5; ; 0; 0");
        row("double middle sets the end", "10L 14M2", "05:00|07:00; 5; ; 0; 0");
        row("double right on a stretch opens one menu", "10L 14R 12R2", "05:00|07:00; 5; ; 1; 0");
    }
    void presses() {
        QFETCH(QString, presses);
        RecordingSink sink;
        PopupChooser popups;
        ctlTimeBar b;
        b.show();
        for (const QString& press : presses.split(QLatin1Char(' '))) {
            const bool twice = press.endsWith(QLatin1Char('2'));
            const char kind = press.chopped(twice).back().toLatin1();
            const int cell = press.chopped(twice + 1).toInt();
            const Qt::MouseButton button = kind == 'L'   ? Qt::LeftButton
                                           : kind == 'M' ? Qt::MiddleButton
                                                         : Qt::RightButton;
            if (kind == 'D')
                popups.choices << "mnuDeleteTimeSlot";
            click(&b, cell, button);
            if (twice) // what the platform delivers after the press and release
                QTest::mouseDClick(&b, button, {}, b.cellRect(cell).center());
        }
        int busy = 0;
        for (int i = 0; i <= ctlTimeBar::kEdgeCell; ++i)
            busy += b.cellTag(i) != "1";
        QStringList messages;
        for (const auto& m : sink.messages)
            messages << m.text;
        QTEST(QStringLiteral("%1; %2; %3; %4; %5")
                  .arg(b.Times().join(QLatin1Char(' ')))
                  .arg(busy)
                  .arg(messages.join(" / "))
                  .arg(popups.shown)
                  .arg(b.startPending()),
              "after");
    }

    // A left drag marks what it passes over, joining stretches it touches; from a marked cell it
    // clears; the press's own start does not stay behind. Clicks still work as before.
    void dragMarksAndClears_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("after");
        QTest::newRow("paint right") << QStringList{} << 40 << 43 << "20:00|22:00";
        QTest::newRow("joins a stretch") << QStringList{"18:00|20:00"} << 40 << 41 << "18:00|21:00";
        QTest::newRow("past the edge") << QStringList{} << 46 << 60 << "23:00|24:00";
        QTest::newRow("clear the middle")
            << QStringList{"18:00|22:00"} << 38 << 39 << "18:00|19:00 20:00|22:00";
    }
    void dragMarksAndClears() {
        QFETCH(QStringList, before);
        QFETCH(int, from);
        QFETCH(int, to);
        RecordingSink sink;
        ctlTimeBar b;
        b.setTimes(before);
        b.LoadSchedule();
        b.show();
        QTest::mousePress(&b, Qt::LeftButton, {}, b.cellRect(from).center());
        const QPoint end = to < ctlTimeBar::kCells
                               ? b.cellRect(to).center()
                               : QPoint(b.cellRect(ctlTimeBar::kEdgeCell).right() + 30, 5);
        QTest::mouseMove(&b, end);
        QTest::mouseRelease(&b, Qt::LeftButton, {}, end);
        QTEST(b.Times().join(QLatin1Char(' ')), "after");
        QVERIFY(!b.startPending());
        QCOMPARE(sink.count(), 0);
    }

    // "Copy to…" gives other days one day's stretches; the hint under the bars says how to mark.
    void copyToOtherDays() {
        frmMaintainSchedule window;
        window.Days[1] = {"18:00|20:00"};
        window.Days[3] = {"06:00|07:00"};
        window.prepare();
        auto* menu = child<QMenu>(&window, "mnuCopyDay1");
        menu->actions().at(2)->trigger(); // Monday to Wednesday (the entries skip Monday)
        QCOMPARE(window.bar(4)->Times(), QStringList{"18:00|20:00"});
        // Saturday, empty, copied to every day empties the week.
        FindMenuAction(child<QMenu>(&window, "mnuCopyDay6"), "mnuCopyEveryDay")->trigger();
        window.pressOK();
        QCOMPARE(window.Days, WeekLists{});
        QVERIFY(child<QLabel>(&window, "lblHint")->text().startsWith("Left click: start"));
    }
};

QTEST_MAIN(ScheduleEntryTest)
#include "schedule_entry_test.moc"
