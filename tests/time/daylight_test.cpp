#include "data/AppEnvironment.h"
#include "time/Daylight.h"

#include <QtTest>

using namespace rm;

namespace {
QDateTime at(int y, int m, int d, int h = 0, int min = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min));
}
} // namespace

class DaylightTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void year2004() {
        // United States (old rule): Sunday 4 April 00:00 to Sunday 31 October 00:00.
        QVERIFY(!IsUSDaylightTime(at(2004, 4, 3, 23, 59)));
        QVERIFY(IsUSDaylightTime(at(2004, 4, 4)));
        QVERIFY(IsUSDaylightTime(at(2004, 10, 31, 0, 0)));
        QVERIFY(!IsUSDaylightTime(at(2004, 10, 31, 10, 0)));
        QVERIFY(IsUSDaylightTime(at(2004, 10, 30, 23, 59)));
        // Europe: Sunday 28 March 00:00 to Sunday 31 October 00:00.
        QVERIFY(!IsEUDaylightTime(at(2004, 3, 27, 23, 59)));
        QVERIFY(IsEUDaylightTime(at(2004, 3, 28)));
        QVERIFY(!IsEUDaylightTime(at(2004, 10, 31, 10, 0)));
        QVERIFY(IsEUDaylightTime(at(2004, 10, 30, 23, 59)));
        for (int m : {1, 12}) {
            QVERIFY(!IsUSDaylightTime(at(2004, m, 15)));
            QVERIFY(!IsEUDaylightTime(at(2004, m, 15)));
        }
    }

    void startsOnTheFirstDayWhenItIsASunday() {
        QCOMPARE(QDate(2001, 4, 1).dayOfWeek(), 7);
        QVERIFY(IsUSDaylightTime(at(2001, 4, 1)));
        QVERIFY(!IsUSDaylightTime(at(2001, 3, 31, 23, 59)));
        QCOMPARE(QDate(2002, 3, 31).dayOfWeek(), 7);
        QVERIFY(IsEUDaylightTime(at(2002, 3, 31)));
        QVERIFY(!IsEUDaylightTime(at(2002, 3, 30, 23, 59)));
    }

    void unitedStatesFrom2007_data() {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::newRow("2007") << QDate(2007, 3, 11) << QDate(2007, 11, 4);
        QTest::newRow("2015") << QDate(2015, 3, 8) << QDate(2015, 11, 1);
        QTest::newRow("2020") << QDate(2020, 3, 8) << QDate(2020, 11, 1);
        QTest::newRow("2026") << QDate(2026, 3, 8) << QDate(2026, 11, 1);
        QTest::newRow("2027") << QDate(2027, 3, 14) << QDate(2027, 11, 7);
    }
    void unitedStatesFrom2007() {
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QVERIFY(!IsUSDaylightTime(QDateTime(start.addDays(-1), QTime(23, 59))));
        QVERIFY(IsUSDaylightTime(QDateTime(start, QTime(0, 0))));
        QVERIFY(IsUSDaylightTime(QDateTime(end, QTime(0, 0))));
        QVERIFY(!IsUSDaylightTime(QDateTime(end, QTime(0, 1))));
        // The old April start no longer matters.
        QVERIFY(IsUSDaylightTime(QDateTime(QDate(start.year(), 3, 31), QTime(12, 0))));
    }

    void codesAndClock() {
        FixedClock clock(at(2026, 7, 1, 12));
        SetClock(&clock);
        QVERIFY(IsRuleInEffect(QStringLiteral("U")));
        QVERIFY(IsRuleInEffect(QStringLiteral("E")));
        QVERIFY(!IsRuleInEffect(QStringLiteral("N")));
        QVERIFY(!IsRuleInEffect(QStringLiteral("X")));
        QVERIFY(!IsRuleInEffect(QString()));
        clock.set(at(2026, 3, 20, 12)); // after the US start, before the European one
        QVERIFY(IsUSDaylightTime());
        QVERIFY(!IsEUDaylightTime());
        SetClock(nullptr);
    }
};

QTEST_GUILESS_MAIN(DaylightTest)
#include "daylight_test.moc"
