#include "roster/PlayerStore.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/ScheduleTimeBar.h"
#include "roster/widgets/ScheduleWindow.h"
#include "support/TestKit.h"
#include "time/TimeText.h"
#include "ui/PopupMenu.h"

using namespace rm;
using namespace rm::test;

namespace {

ctlTimeBar* bar(QDialog* d, const char* name) {
    return child<ctlTimeBar>(d, QString::fromLatin1(name));
}

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
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        Type(&dialog, {"txtOnlineName", "Newbie"});
        auto* zones = child<QComboBox>(&dialog, QStringLiteral("cboTimeZone"));
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        zones->setCurrentIndex(zones->findData(gmt));

        driver.then([](QDialog* d) {
            click(bar(d, "ctlSunday"), 18, Qt::LeftButton);
            click(bar(d, "ctlSunday"), 20, Qt::RightButton);
            click(bar(d, "ctlSaturday"), 47, Qt::LeftButton);
            click(bar(d, "ctlSaturday"), ctlTimeBar::kEdgeCell, Qt::RightButton);
            ClickOK(d);
        });
        driver.then([](QDialog* d) {
            QCOMPARE(bar(d, "ctlSunday")->Times(), QStringList{QStringLiteral("09:00|10:00")});
            QCOMPARE(bar(d, "ctlSaturday")->cellTag(ctlTimeBar::kEdgeCell), QStringLiteral("5"));
            click(bar(d, "ctlMonday"), 2, Qt::LeftButton);
            click(bar(d, "ctlMonday"), 4, Qt::RightButton);
            Click(d, QStringLiteral("imgButton2"));
        });
        driver.then([](QDialog* d) { ClickOK(d); }); // the marks shown again are kept
        for (int i = 0; i < 3; ++i)
            Click(&dialog, QStringLiteral("imgSchedule"));
        QCOMPARE(driver.pending(), 0);

        ClickOK(&dialog);
        const qint32 key = db.scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
        QStringList rows;
        for (const ScheduleRow& r : ReadScheduleRows(key))
            rows << QStringLiteral("%1 %2-%3").arg(r.day).arg(MinutesToHHMM(r.start), MinutesToHHMM(r.end));
        QCOMPARE(rows.join(QStringLiteral(", ")),
                 QStringLiteral("1 00:00-00:00, 1 09:00-10:00, 7 23:30-23:59"));
    }

    // A double-click is its first press only, for every button; the edge cell (24:00) is an end only.
    void doubleClickIsOnePress_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("before"); // 0 idle, 1 start pending at cell 10, 2 stretch 10..14
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("after"); // stretches, messages shown, menus opened, start pending
        QTest::newRow("left sets a start") << Qt::LeftButton << 0 << 14 << "; 0 0 1";
        QTest::newRow("left on the edge") << Qt::LeftButton << 0 << int(ctlTimeBar::kEdgeCell) << "; 1 0 0";
        QTest::newRow("right sets the end") << Qt::RightButton << 1 << 14 << "05:00|07:00; 0 0 0";
        QTest::newRow("middle sets the end") << Qt::MiddleButton << 1 << 14 << "05:00|07:00; 0 0 0";
        QTest::newRow("right on a stretch") << Qt::RightButton << 2 << 12 << "05:00|07:00; 0 1 0";
    }
    void doubleClickIsOnePress() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, before);
        QFETCH(int, cell);
        RecordingSink sink;
        int menus = 0;
        SetPopupMenuRunner([&menus](QMenu*) -> QAction* {
            ++menus;
            return nullptr;
        });
        ctlTimeBar b;
        b.show();
        if (before > 0)
            b.pressCell(10, Qt::LeftButton);
        if (before > 1)
            b.pressCell(14, Qt::RightButton);
        // What the platform delivers for a double-click: a press and release, then the double-click.
        click(&b, cell, button);
        QTest::mouseDClick(&b, button, {}, b.cellRect(cell).center());
        SetPopupMenuRunner({});
        QTEST(QStringLiteral("%1; %2 %3 %4")
                  .arg(b.Times().join(QLatin1Char(' ')))
                  .arg(sink.count())
                  .arg(menus)
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
        QMouseEvent press(QEvent::MouseButtonPress, b.cellRect(from).center(),
                          b.mapToGlobal(b.cellRect(from).center()), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(&b, &press);
        const QPoint end = to < ctlTimeBar::kCells
                               ? b.cellRect(to).center()
                               : QPoint(b.cellRect(ctlTimeBar::kEdgeCell).right() + 30, 5);
        QMouseEvent move(QEvent::MouseMove, end, b.mapToGlobal(end), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&b, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, end, b.mapToGlobal(end), Qt::LeftButton, {}, {});
        QApplication::sendEvent(&b, &release);
        QTEST(b.Times().join(QLatin1Char(' ')), "after");
        QVERIFY(!b.startPending());
        QCOMPARE(sink.count(), 0);
    }

    // "Copy to…" gives other days one day's stretches; the hint under the bars says how to mark.
    void copyToOtherDays() {
        frmMaintainSchedule window;
        window.Days[1] = {QStringLiteral("18:00|20:00")};
        window.Days[3] = {QStringLiteral("06:00|07:00")};
        window.prepare();
        auto* menu = child<QMenu>(&window, QStringLiteral("mnuCopyDay1"));
        menu->actions().at(2)->trigger(); // Monday to Wednesday (the entries skip Monday)
        QCOMPARE(window.bar(4)->Times(), QStringList{QStringLiteral("18:00|20:00")});
        for (QAction* a : child<QMenu>(&window, QStringLiteral("mnuCopyDay6"))->actions())
            if (a->objectName() == QLatin1String("mnuCopyEveryDay"))
                a->trigger(); // Saturday is empty
        window.pressOK();
        for (const QStringList& day : window.Days)
            QVERIFY(day.isEmpty());
        QVERIFY(child<QLabel>(&window, QStringLiteral("lblHint"))->text().startsWith("Left click: start"));
    }
};

QTEST_MAIN(ScheduleEntryTest)
#include "schedule_entry_test.moc"
