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

void click(ctlTimeBar* b, int cell, Qt::MouseButton button) {
    QTest::mouseClick(b, button, {}, b->cellRect(cell).center());
}

} // namespace

class ScheduleEntryTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_winter{QDateTime(QDate(2024, 1, 15), QTime(20, 0))};

private Q_SLOTS:
    void init() { SetClock(&m_winter); }
    void cleanup() { SetClock(nullptr); }

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
        QCOMPARE(b.cellAt(b.cellRect(ctlTimeBar::kEdgeCell).center()), ctlTimeBar::kEdgeCell);
    }
};

QTEST_MAIN(ScheduleEntryTest)
#include "schedule_entry_test.moc"
