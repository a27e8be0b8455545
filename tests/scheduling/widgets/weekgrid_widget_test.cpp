#include "data/AppEnvironment.h"
#include "data/Options.h"
#include "scheduling/widgets/WeekGridView.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/RecordingSink.h"
#include "support/SchedulingFixtures.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include <memory>

using namespace rm;
using namespace rm::test;

namespace {

int hm(int h, int m) {
    return h * 60 + m;
}

} // namespace

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
    }

    // The grid follows the selection; a click or Enter on a cell searches that moment; the arrows
    // move the focused cell.
    void cellsDriveTheAvailabilitySearch() {
        TestDatabase db;
        RecordingSink sink;
        const qint32 gmt = CurrentOptions().UserTimeZone;
        CurrentOptions().BestTimesGranularity = 30;
        CurrentOptions().TimeFormat = true;
        const qint32 able = AddPlayer(QStringLiteral("Able"), gmt);
        const qint32 baker = AddPlayer(QStringLiteral("Baker"), gmt);
        AddScheduleRow(able, 3, hm(20, 0), hm(21, 0));   // Tuesday
        AddScheduleRow(baker, 3, hm(20, 30), hm(22, 0)); // Tuesday
        frmScheduling window;
        window.resize(1400, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* grid = child<WeekGridView>(&window, QStringLiteral("ctlWeekGrid"));
        auto* legend = child<WeekGridLegend>(&window, QStringLiteral("ctlWeekGridLegend"));
        auto* players = child<QListWidget>(&window, QStringLiteral("lstPlayers"));
        auto* date = child<QLineEdit>(&window, QStringLiteral("txtMatchDate"));
        auto* time = child<QLineEdit>(&window, QStringLiteral("txtMatchTime"));
        auto* available = child<QListWidget>(&window, QStringLiteral("lstAvailable"));
        QTRY_COMPARE(grid->model()->columnCount(), 7);

        for (int i = 0; i < players->count(); ++i)
            players->item(i)->setSelected(true);
        QTRY_COMPARE(legend->groupSize(), 2);
        QCOMPARE(grid->model()->index(41, 2).data().toInt(), 2); // Tuesday 20:30
        QCOMPARE(grid->model()->index(40, 2).data().toInt(), 1);
        // Unticking Tuesday takes its column away.
        window.findChildren<QCheckBox*>(QStringLiteral("chkDay")).at(2)->setChecked(false);
        QTRY_COMPARE(grid->model()->columnCount(), 6);
        window.findChildren<QCheckBox*>(QStringLiteral("chkDay")).at(2)->setChecked(true);
        QTRY_COMPARE(grid->model()->columnCount(), 7);

        grid->scrollTo(grid->model()->index(40, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(40, 2)).center());
        QCOMPARE(date->text(), QStringLiteral("01/18/2005")); // the next Tuesday
        QCOMPARE(time->text(), QStringLiteral("20:00"));
        QCOMPARE(available->count(), 1);
        QCOMPARE(available->item(0)->text(), QStringLiteral("Able"));

        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(grid->currentIndex(), grid->model()->index(41, 2));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(time->text(), QStringLiteral("20:30"));
        QCOMPARE(available->count(), 2);

        // What a screen reader hears of the focused cell.
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(table && table->tableInterface());
        QAccessibleInterface* cell = table->tableInterface()->cellAt(41, 2);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Tuesday 20:30: 2 of 2 available"));
        QVERIFY(cell->text(QAccessible::Description).contains(QStringLiteral("Available (2): Able, Baker")));
        QCOMPARE(sink.count(), 0);
    }

    // The scale gets darker with every extra person, and the text stays readable on it.
    void coloursDarkenWithTheCount() {
        for (int group : {1, 5, 40}) {
            int previous = 256;
            for (int count = 0; count <= group; ++count) {
                const QColor c = WeekGridColour(count, group);
                const int grey = qGray(c.rgb());
                QVERIFY2(grey < previous, qPrintable(QStringLiteral("%1 of %2").arg(count).arg(group)));
                previous = grey;
                const int text = qGray(WeekGridTextColour(count, group).rgb());
                QVERIFY(std::abs(text - grey) > 100);
            }
        }
        QCOMPARE(WeekGridColour(0, 0), WeekGridColour(0, 10));
    }

private:
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))}; // a winter Wednesday
};

QTEST_MAIN(WeekGridWidgetTest)
#include "weekgrid_widget_test.moc"
