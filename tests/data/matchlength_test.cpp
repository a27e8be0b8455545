#include "data/Options.h"
#include "data/OptionsForm.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"

#include <QtTest>

using namespace rm;

// The length of a match for calendar events: typed in the Options dialog, checked, stored, loaded.
class MatchLengthTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedLengths_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored"); // 0: refused
        QTest::newRow("90") << "90" << 90;
        QTest::newRow("a day") << "1440" << 1440;
        QTest::newRow("padded") << " 45 " << 45;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("over a day") << "1441" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("text") << "2h" << 0;
        QTest::newRow("huge") << "99999999999" << 0;
    }
    void typedLengths() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        test::TestDatabase db;
        test::RecordingSink sink;
        QCOMPARE(CurrentOptions().MatchLength, 120);
        std::optional<OptionsEntries> entries = ReadOptionsEntries();
        QVERIFY(entries);
        QCOMPARE(entries->matchLength, QStringLiteral("120"));
        entries->matchLength = typed;
        QCOMPARE(SaveOptions(*entries), stored > 0);
        QCOMPARE(CurrentOptions().MatchLength, stored > 0 ? stored : 120);
        QCOMPARE(ReadOptionsEntries()->matchLength, QString::number(stored > 0 ? stored : 120));
        QCOMPARE(sink.contains(QStringLiteral("Match Length must be a number of minutes from 1 to 1440")),
                 stored == 0);
    }
};

QTEST_GUILESS_MAIN(MatchLengthTest)
#include "matchlength_test.moc"
