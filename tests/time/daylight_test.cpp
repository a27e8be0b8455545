#include "support/TestKit.h"
#include "time/Daylight.h"

using namespace rm;

class DaylightTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each rule switches at local midnight at the start of its Sunday. Rows: code, local time, and
    // '+' when the rule is in effect.
    void rules_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<bool>("inEffect");
        const QString rows = QStringLiteral(
            // United States before 2007: first Sunday of April to last Sunday of October; in 2001
            // the first of April is itself a Sunday.
            "U 2004-04-03T23:59 - U 2004-04-04T00:00 + U 2004-10-30T23:59 + U 2004-10-31T00:00 + "
            "U 2004-10-31T10:00 - U 2004-01-15T00:00 - U 2004-12-15T00:00 - U 2001-03-31T23:59 - "
            "U 2001-04-01T00:00 + "
            // From 2007: second Sunday of March to first Sunday of November.
            "U 2007-03-10T23:59 - U 2007-03-11T00:00 + U 2007-11-04T00:00 + U 2007-11-04T00:01 - "
            "U 2015-03-07T23:59 - U 2015-03-08T00:00 + U 2015-03-31T12:00 + U 2015-11-01T00:01 - "
            "U 2026-03-07T23:59 - U 2026-03-08T00:00 + U 2026-11-01T00:00 + U 2026-11-01T00:01 - "
            "U 2027-03-13T23:59 - U 2027-03-14T00:00 + U 2027-11-07T00:00 + U 2027-11-07T00:01 - "
            // Europe: last Sunday of March to last Sunday of October; 31 March 2002 is a Sunday.
            "E 2004-03-27T23:59 - E 2004-03-28T00:00 + E 2004-10-30T23:59 + E 2004-10-31T10:00 - "
            "E 2004-01-15T00:00 - E 2002-03-30T23:59 - E 2002-03-31T00:00 + E 2026-03-20T12:00 - "
            // No other code ever applies.
            "N 2026-07-01T12:00 - X 2026-07-01T12:00 - u 2026-07-01T12:00 - _ 2026-07-01T12:00 -");
        const QStringList words = rows.split(QLatin1Char(' '));
        for (qsizetype i = 0; i + 2 < words.size(); i += 3)
            QTest::addRow("%s %s", qPrintable(words[i]), qPrintable(words[i + 1]))
                << (words[i] == QLatin1String("_") ? QString() : words[i])
                << QDateTime::fromString(words[i + 1], Qt::ISODate) << (words[i + 2] == QLatin1String("+"));
    }
    void rules() {
        QFETCH(QString, code);
        QFETCH(QDateTime, when);
        QFETCH(bool, inEffect);
        QVERIFY(when.isValid());
        QCOMPARE(IsRuleInEffect(code, when), inEffect);
        if (code == QLatin1String("U"))
            QCOMPARE(IsUSDaylightTime(when), inEffect);
        if (code == QLatin1String("E"))
            QCOMPARE(IsEUDaylightTime(when), inEffect);
    }

    void installedClock() {
        FixedClock clock(QDateTime(QDate(2026, 3, 20), QTime(12, 0))); // between the two starts
        SetClock(&clock);
        QVERIFY(IsUSDaylightTime() && IsRuleInEffect(QStringLiteral("U")));
        QVERIFY(!IsEUDaylightTime() && !IsRuleInEffect(QStringLiteral("E")));
        SetClock(nullptr);
    }
};

QTEST_GUILESS_MAIN(DaylightTest)
#include "daylight_test.moc"
