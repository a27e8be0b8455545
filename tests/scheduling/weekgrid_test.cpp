#include "data/AppEnvironment.h"
#include "data/Options.h"
#include "scheduling/WeekGrid.h"
#include "support/RecordingSink.h"
#include "support/SchedulingFixtures.h"
#include "support/TestDatabase.h"

#include <QLocale>
#include <QtTest>

using namespace rm;
using namespace rm::test;

class WeekGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        SetClock(nullptr);
        QLocale::setDefault(QLocale::c());
    }

    // Every row of the best-times list has the count of its cell, for random rosters, zones and steps.
    void cellsAgreeWithTheBestTimes_data() {
        QTest::addColumn<QString>("userZone");
        QTest::addColumn<QDate>("weekOf");
        QTest::newRow("Eastern, its clocks go back") << "Eastern" << QDate(2026, 10, 29);
        QTest::newRow("India") << "India" << QDate(2026, 3, 26);
        QTest::newRow("Berlin, its clocks go forward") << "Berlin" << QDate(2026, 3, 27);
    }
    void cellsAgreeWithTheBestTimes() {
        QFETCH(QString, userZone);
        QFETCH(QDate, weekOf);
        TestDatabase db;
        RecordingSink sink;
        CurrentOptions().UserTimeZone = db.zoneId(userZone);
        QRandomGenerator random(static_cast<quint32>(qHash(userZone)) + 7);
        const Roster roster = MakeRandomRoster(random, 30, 4);
        const Qt::DayOfWeek first = static_cast<Qt::DayOfWeek>(weekOf.dayOfWeek());
        for (int step : {15, 30, 60}) {
            std::array<bool, 7> days{};
            for (bool& d : days)
                d = random.bounded(4) != 0;
            const BestTimesRequest r{days, step, CurrentOptions().UserTimeZone, weekOf};
            const SearchSelection selection{true, roster.activePlayers.mid(random.bounded(5)), {}};
            CountedWeek week;
            const QList<CountedSlot> shown = ShowBestTimes(selection, r, 1000, &week);
            WeekGridModel model;
            model.setWeek(week, r, first);
            QVERIFY(!shown.isEmpty());
            for (const CountedSlot& slot : shown) {
                const QModelIndex cell =
                    model.index(slot.localMinutes / step,
                                static_cast<int>(WeekColumns(days, first).indexOf(slot.localDay)));
                QCOMPARE(cell.data(WeekGridModel::MinutesRole).toInt(), slot.localMinutes);
                QCOMPARE(cell.data(WeekGridModel::DateRole).toDate(), slot.localDate);
                QCOMPARE(cell.data().toInt(), slot.count());
            }
        }
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
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0))); // a Monday
        SetClock(&clock);
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
};

QTEST_GUILESS_MAIN(WeekGridTest)
#include "weekgrid_test.moc"
