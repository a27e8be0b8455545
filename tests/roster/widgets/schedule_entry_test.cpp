#include "data/AppEnvironment.h"
#include "data/Options.h"
#include "roster/PlayerStore.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/ScheduleTimeBar.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"
#include "time/TimeText.h"
#include "ui/PopupMenu.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace rm;
using test::child;

namespace {

ctlTimeBar* bar(QDialog* d, const char* name) {
    return child<ctlTimeBar>(d, QString::fromLatin1(name));
}

void click(ctlTimeBar* b, int cell, Qt::MouseButton button) {
    QTest::mouseClick(b, button, {}, b->cellRect(cell).center());
}

QString rowsText(const QList<ScheduleRow>& rows) {
    QStringList parts;
    for (const ScheduleRow& r : rows)
        parts << QStringLiteral("%1 %2-%3").arg(r.day).arg(MinutesToHHMM(r.start), MinutesToHHMM(r.end));
    return parts.join(QStringLiteral(", "));
}

} // namespace

class ScheduleEntryTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

    // A new player's week is entered while adding: reopening the window shows what was marked,
    // Cancel keeps it, and the save stores it with the zone chosen in the dialog. A stretch drawn
    // to the bar's right edge runs to 24:00 and comes back there.
    void addModeKeepsTheMarkedWeek() {
        test::TestDatabase db;
        test::ModalDriver driver;
        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        child<QLineEdit>(&dialog, QStringLiteral("txtOnlineName"))->setText(QStringLiteral("Newbie"));
        auto* zones = child<QComboBox>(&dialog, QStringLiteral("cboTimeZone"));
        const int gmt = db.zoneId(QStringLiteral("GMT"));
        QVERIFY(zones->currentData().toInt() != gmt);
        zones->setCurrentIndex(zones->findData(gmt));

        const QStringList sunday{QStringLiteral("09:00|10:00")};
        const QStringList saturday{QStringLiteral("23:30|24:00")};
        driver.then([](QDialog* d) {
            click(bar(d, "ctlSunday"), 18, Qt::LeftButton);
            click(bar(d, "ctlSunday"), 20, Qt::RightButton);
            click(bar(d, "ctlSaturday"), 47, Qt::LeftButton);
            click(bar(d, "ctlSaturday"), ctlTimeBar::kEdgeCell, Qt::RightButton);
            test::ClickOK(d);
        });
        driver.then([&](QDialog* d) {
            QCOMPARE(bar(d, "ctlSunday")->Times(), sunday);
            QCOMPARE(bar(d, "ctlSaturday")->cellTag(ctlTimeBar::kEdgeCell), QStringLiteral("5"));
            click(bar(d, "ctlMonday"), 2, Qt::LeftButton);
            click(bar(d, "ctlMonday"), 4, Qt::RightButton);
            test::Click(d, QStringLiteral("imgButton2"));
        });
        driver.then([&](QDialog* d) {
            QCOMPARE(bar(d, "ctlSaturday")->Times(), saturday);
            QVERIFY(bar(d, "ctlMonday")->Times().isEmpty());
            test::ClickOK(d);
        });
        for (int i = 0; i < 3; ++i)
            test::Click(&dialog, QStringLiteral("imgSchedule"));
        QCOMPARE(driver.unexpected, QStringList{});
        QCOMPARE(dialog.sunday(), sunday);
        QVERIFY(dialog.monday().isEmpty());

        test::ClickOK(&dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const qint32 key = db.scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
        QCOMPARE(rowsText(ReadScheduleRows(key)),
                 QStringLiteral("1 00:00-00:00, 1 09:00-10:00, 7 23:30-23:59"));
        const WeekLists loaded = LoadPlayerSchedule(key, gmt);
        QCOMPARE(loaded[0], sunday);
        QCOMPARE(loaded[6], saturday);
    }

    // A double-click is its first press only, for every button.
    void doubleClickIsOnePress_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("before"); // 0 idle, 1 start pending at cell 10, 2 stretch 10..14
        QTest::addColumn<int>("cell");
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("menus");
        const QStringList none;
        const QStringList stretch{QStringLiteral("05:00|07:00")};
        QTest::newRow("left sets a start") << Qt::LeftButton << 0 << 14 << none << 0 << 0;
        QTest::newRow("left with a start pending") << Qt::LeftButton << 1 << 14 << none << 1 << 0;
        QTest::newRow("right sets the end") << Qt::RightButton << 1 << 14 << stretch << 0 << 0;
        QTest::newRow("middle sets the end") << Qt::MiddleButton << 1 << 14 << stretch << 0 << 0;
        QTest::newRow("right without a start") << Qt::RightButton << 0 << 14 << none << 1 << 0;
        QTest::newRow("right on a stretch") << Qt::RightButton << 2 << 12 << stretch << 0 << 1;
    }
    void doubleClickIsOnePress() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, before);
        QFETCH(int, cell);
        test::RecordingSink sink;
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
        QTEST(b.Times(), "times");
        QTEST(sink.count(), "messages");
        QTEST(menus, "menus");
    }

    // The edge cell is 24:00: an end only.
    void edgeCellIsAnEndOnly() {
        test::RecordingSink sink;
        ctlTimeBar b;
        b.pressCell(ctlTimeBar::kEdgeCell, Qt::LeftButton);
        QCOMPARE(sink.last().text, QStringLiteral("The end of the day can only be an end time!"));
        QVERIFY(!b.startPending());
        b.setTimes({QStringLiteral("20:00|24:00")});
        b.LoadSchedule();
        QCOMPARE(b.cellTag(40) + b.cellTag(47) + b.cellTag(ctlTimeBar::kEdgeCell), QStringLiteral("345"));
        CurrentOptions().TimeFormat = true;
        QCOMPARE(b.cellToolTip(ctlTimeBar::kEdgeCell), QStringLiteral("24:00"));
    }
};

QTEST_MAIN(ScheduleEntryTest)
#include "schedule_entry_test.moc"
