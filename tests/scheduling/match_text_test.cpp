#include "scheduling/MatchText.h"
#include "time/TimeText.h"

#include <QLocale>
#include <QtTest>

using namespace rm;

class MatchTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    // What the date and time fields read under each locale: an ISO date, an HH:MM time, or
    // nothing when the text is refused.
    void fieldTexts_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        // clang-format off
        const char* const rows[][3] = {
            {"C", " 12/6/2005 ", "2005-12-06"}, {"C", "31/31/2005", ""}, {"C", "soon", ""},
            {"C", "8 PM", "20:00"}, {"C", "08:30PM", "20:30"}, {"C", "12:00 AM", "00:00"},
            {"C", "13:00 PM", ""}, {"C", "0:30 AM", ""}, {"C", "24:00", ""}, {"C", "8:30 XM", ""},
            {"en_US", "06/12/2005", "2005-06-12"}, {"en_US", "12/6/05", "2005-12-06"},
            {"en_US", "1/1/50", "1950-01-01"}, {"en_US", "December 6, 2005", "2005-12-06"},
            {"en_GB", "06/12/2005", "2005-12-06"}, {"en_GB", "6 December 2005", "2005-12-06"},
            {"en_GB", "12/31/2005", ""}, {"en_GB", "8 PM", "20:00"}, {"en_GB", "20:00", "20:00"},
            {"de_DE", "6.12.2005", "2005-12-06"}, {"de_DE", "06.12.05", "2005-12-06"},
            {"de_DE", "12/06/2005", ""}, {"de_DE", "8 PM", "20:00"}, {"C", "2005-12-06", "2005-12-06"},
            {"en_US", "2005-12-06", "2005-12-06"}, {"en_GB", "2005-12-06", "2005-12-06"},
            {"de_DE", "2005-12-06", "2005-12-06"}, {"sq_AL", "8:30 e pasdites", "20:30"},
            // Times as people write them, only where they do.
            {"fr_FR", "20h30", "20:30"}, {"fr_CA", "8 h", "08:00"}, {"fr_FR", "24h00", ""},
            {"en_US", "20h30", ""}, {"de_DE", "20.30", "20:30"}, {"da_DK", "8.05", "08:05"},
            {"de_AT", "20.60", ""}, {"en_US", "20.30", ""}, {"en_AU", "8.30pm", "20:30"},
            {"en_GB", "8.30 a.m.", "08:30"}, {"en_GB", "13.30pm", ""}, {"en_US", "8.30pm", ""},
            {"ja_JP", "午後8:30", "20:30"}, {"ja_JP", "午前12:15", "00:15"}, {"ja_JP", "午後13:00", ""},
            {"en_US", "PM8:30", ""}};
        // clang-format on
        for (const auto& [locale, text, read] : rows)
            QTest::addRow("%s %s", locale, text)
                << QString::fromLatin1(locale) << QString::fromUtf8(text) << QString::fromLatin1(read);
    }
    void fieldTexts() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, read);
        QLocale::setDefault(QLocale(locale));
        const std::optional<QDate> date = ParseMatchDate(text);
        const std::optional<int> time = ParseMatchTime(text);
        QCOMPARE(date ? date->toString(Qt::ISODate) : time ? MinutesToHHMM(*time) : QString(), read);
    }

    // Under every locale Qt knows, the times of the best-times rows and the dates the program writes
    // into the date field read back as the same minute and day.
    void everyLocaleReadsWhatItWrites() {
        for (const QLocale& locale :
             QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            QLocale::setDefault(locale);
            for (int minutes = 0; minutes < kMinutesPerDay; minutes += 15)
                for (const bool timeFormat24 : {false, true}) {
                    const QString written = FormatTimeOfDay(minutes, timeFormat24);
                    QVERIFY2(ParseMatchTime(written) == minutes, qPrintable(locale.name() + ' ' + written));
                }
            for (const QDate& date : {QDate(2005, 12, 6), QDate(2024, 2, 29), QDate(2031, 1, 9)})
                QVERIFY2(ParseMatchDate(FormatMatchDate(date)) == date,
                         qPrintable(locale.name() + ' ' + FormatMatchDate(date)));
        }
    }
};

QTEST_GUILESS_MAIN(MatchTextTest)
#include "match_text_test.moc"
