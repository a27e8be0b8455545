#include "scheduling/MatchText.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

// The match date field under the user's locale: the long form shown beside what is typed (none for
// an unreadable text), and what the calendar writes (Cancel leaves the field alone).
class MatchDateEntryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void dateFieldUnderLocale_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("longForm");
        QTest::addColumn<QString>("picked");
        // clang-format off
        const char* const rows[][4] = {
            {"C", "12/06/2005", "Tuesday, 6 December 2005", "12/06/2005"},
            {"en_US", "06/12/2005", "Sunday, June 12, 2005", "12/06/2005"},
            {"en_GB", "06/12/2005", "Tuesday, 6 December 2005", "06/12/2005"},
            {"de_DE", "6.12.2005", "Dienstag, 6. Dezember 2005", "06.12.2005"}};
        // clang-format on
        for (const auto& [locale, typed, longForm, picked] : rows)
            QTest::newRow(locale) << QString::fromLatin1(typed) << QString::fromLatin1(longForm)
                                  << QString::fromLatin1(picked);
    }
    void dateFieldUnderLocale() {
        QFETCH(QString, typed);
        QFETCH(QString, longForm);
        QFETCH(QString, picked);
        QLocale::setDefault(QLocale(QString::fromLatin1(QTest::currentDataTag())));
        TestDatabase db;
        frmScheduling screen;
        auto* date = child<QLineEdit>(&screen, QStringLiteral("txtMatchDate"));
        auto* longDate = child<QLabel>(&screen, QStringLiteral("lblLongDate"));
        date->setText(typed);
        QCOMPARE(longDate->text(), longForm);
        date->setText(QStringLiteral("31/31/2005"));
        QCOMPARE(longDate->text(), QString());

        ModalDriver driver;
        driver.then([](QDialog* d) {
            child<QCalendarWidget>(d, QStringLiteral("calCalendar"))->setSelectedDate(QDate(2005, 12, 6));
            ClickOK(d);
        });
        driver.then([](QDialog* d) { Click(d, QStringLiteral("imgButton2")); });
        auto* calendarLink = child<QLabel>(&screen, QStringLiteral("lblShowCalendar"));
        Q_EMIT calendarLink->linkActivated(QString());
        Q_EMIT calendarLink->linkActivated(QString());
        QCOMPARE(date->text(), picked);
        QCOMPARE(ParseMatchDate(picked), QDate(2005, 12, 6));
    }
};

QTEST_MAIN(MatchDateEntryTest)
#include "match_date_entry_test.moc"
