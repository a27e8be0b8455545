#include "scheduling/SchedulingMail.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"

#include <QRegularExpression>

using namespace rm;
using namespace rm::test;

namespace {

void select(QListWidget* list, const QStringList& names) {
    for (int i = 0; i < list->count(); ++i)
        if (names.contains(list->item(i)->text()))
            list->item(i)->setSelected(true);
}

struct Screen {
    std::unique_ptr<frmScheduling> window{new frmScheduling};
    QListWidget* list(const char* name) const { return child<QListWidget>(window.get(), name); }
    QListWidget* players() const { return list("lstPlayers"); }
    QListWidget* available() const { return list("lstAvailable"); }
    QLineEdit* date() const { return child<QLineEdit>(window.get(), "txtMatchDate"); }
    QLineEdit* time() const { return child<QLineEdit>(window.get(), "txtMatchTime"); }
    void click(const char* name) const { Click(window.get(), name); }
};

} // namespace

class FrmSchedulingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetClock(&m_clock); }
    void cleanup() {
        SetClock(nullptr);
        SetEmailWindowOpener({});
        QLocale::setDefault(QLocale::system());
    }

    // Active players and divisions in name order; Select All and Clear All act on the visible list.
    void listsAndTabs() {
        TestDatabase db;
        const int gmt = CurrentOptions().UserTimeZone;
        for (const auto& [name, active] : {std::pair{"zed", true}, {" Able ", true}, {"Gone", false}})
            InsertPlayerRow(name, active, gmt);
        for (const auto& [name, active] : {std::pair{"Rifles", true}, {"Archers", true}, {"Retired", false}})
            InsertDivision(name, 0, active);
        Screen s;
        QCOMPARE(ItemTexts(s.players()), (QStringList{"Able", "zed"}));
        QCOMPARE(ItemTexts(s.list("lstDivisions")), (QStringList{"Archers", "Rifles"}));

        select(s.players(), {"zed"});
        s.click("imgClickDivision");
        s.click("imgSelectAll");
        QCOMPARE(s.window->selectedDivisions().size(), 2);
        s.click("imgClearAll");
        QVERIFY(s.window->selectedDivisions().isEmpty());
        QCOMPARE(s.window->selectedPlayers().value(0).second, QStringLiteral("zed"));
    }

    void searchMessages() {
        TestDatabase db;
        RecordingSink sink;
        AddScheduleRow(InsertPlayerRow("Able", true, CurrentOptions().UserTimeZone), 4, 18 * 60, 22 * 60);
        InsertDivision("Archers");
        Screen s;
        s.click("imgShowAvailable");
        QCOMPARE(sink.last().text, QStringLiteral("Must supply a date and time!"));
        s.date()->setText("01/12/2005"); // a Wednesday
        s.time()->setText("8:00 PM");
        for (const char* search : {"imgShowAvailable", "imgShowbestTimes"}) {
            s.click(search);
            QCOMPARE(sink.last().text, QStringLiteral("You must select Member(s) from the list!"));
        }
        select(s.players(), {"Able"});
        sink.clear();
        s.click("imgShowAvailable");
        QCOMPARE(sink.count(), 0);
        QCOMPARE(ItemTexts(s.available()), QStringList{"Able"});

        // Only the visible list counts, and the old results stay.
        s.click("imgClickDivision");
        s.click("imgShowbestTimes");
        QCOMPARE(sink.last().text, QStringLiteral("You must select Division(s) from the list!"));
        // A text that never left its field is not searched.
        s.click("imgClickPlayer");
        s.date()->setText("31/31/2005");
        s.click("imgShowAvailable");
        QCOMPARE(sink.last().text, QStringLiteral("Invalid Date Format"));
        QCOMPARE(ItemTexts(s.available()), QStringList{"Able"});
    }

    // A bad date or time keeps the focus in its field with one message per attempt to leave.
    // Tabbing from one bad field into the other must not send the focus back and forth. Closing the
    // screen as a child window with a bad text in a field is not leaving the field.
    void fieldsCheckedOnLeaving() {
        TestDatabase db;
        RecordingSink sink;
        QWidget desktop;
        auto* screen = new frmScheduling(&desktop);
        auto* layout = new QHBoxLayout(&desktop);
        layout->addWidget(new QLineEdit(&desktop));
        layout->addWidget(screen);
        desktop.show();
        QVERIFY(QTest::qWaitForWindowActive(&desktop));
        auto* date = child<QLineEdit>(screen, "txtMatchDate");
        auto* time = child<QLineEdit>(screen, "txtMatchTime");
        const auto leave = [](QLineEdit* from, QLineEdit* to) {
            to->setFocus(Qt::TabFocusReason);
            QTest::qWait(100);
            return from->hasFocus();
        };
        time->setText("25:00");
        date->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(date->hasFocus());
        QTest::keyClicks(date, QStringLiteral("31/31/2005"));
        QVERIFY(leave(date, time));
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text, QStringLiteral("Invalid Date Format"));
        QVERIFY(leave(date, time));
        QCOMPARE(sink.count(), 2);

        // Mended, the date lets the focus go; leaving the bad time is then checked.
        date->setText("12/06/2005");
        QVERIFY(!leave(date, time));
        QVERIFY(leave(time, date));
        QCOMPARE(sink.count(), 3);
        QCOMPARE(sink.last().text, QStringLiteral("Invalid time Format"));

        // Empty texts and the accepted forms pass.
        for (const auto& [d, t] : {std::pair{"", ""}, {"1/2/2005", "8:30 PM"}, {"2005-12-06", "08:30 am"}}) {
            date->setText(QString::fromLatin1(d));
            time->setText(QString::fromLatin1(t));
            QVERIFY2(!leave(time, date), t);
            QVERIFY2(!leave(date, time), d);
        }
        date->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(date->hasFocus());
        date->setText("31/31/2005");
        screen->close();
        QTest::qWait(50);
        QCOMPARE(sink.count(), 3);
    }

    // For random rosters across the catalogue's zones, a double-click on any best-times result
    // searches exactly the moment that was counted: the availability list holds as many people as
    // the result names.
    void doubleClickListsWhoWasCounted_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("timeFormat24");
        QTest::addColumn<bool>("byDivision");
        QTest::newRow("15 24h players") << 15 << true << false;
        QTest::newRow("30 12h divisions") << 30 << false << true;
    }
    void doubleClickListsWhoWasCounted() {
        QFETCH(int, step);
        QFETCH(bool, timeFormat24);
        QFETCH(bool, byDivision);
        FixedClock summer(QDateTime(QDate(2005, 7, 13), QTime(9, 0)));
        SetClock(&summer);
        TestDatabase db;
        RecordingSink sink;
        QRandomGenerator random(static_cast<quint32>(step * 7 + int(byDivision)));
        MakeRandomRoster(random, 40, 5, 3);
        const QList<qint32> zones = CatalogueZones();
        OptionsRecord& options = CurrentOptions();
        options.BestTimesGranularity = static_cast<qint16>(step);
        options.TimeFormat = timeFormat24;
        options.MaxResults = 1000;
        for (int round = 0; round < 2; ++round) {
            options.UserTimeZone = zones.at(random.bounded(zones.size()));
            Screen s;
            if (byDivision)
                s.click("imgClickDivision");
            s.click("imgSelectAll");
            s.click("imgShowbestTimes");
            QListWidget* results = s.list("lstBestTimes");
            QVERIFY(results->count() > 0);
            static const QRegularExpression countOf(QStringLiteral(" - (\\d+) player\\(s\\)$"));
            for (int i = 0; i < results->count(); ++i) {
                QListWidgetItem* item = results->item(i);
                const int counted = countOf.match(item->text()).captured(1).toInt();
                Q_EMIT results->itemDoubleClicked(item);
                QVERIFY2(s.available()->count() == counted, qPrintable(item->text()));
                QCOMPARE(s.time()->text(), item->text().section(QStringLiteral(" - "), 1, 1));
            }
        }
        QCOMPARE(sink.count(), 0);
    }

    // A time the leader's clocks skip is moved forward with a note; "Clock changes ahead" names the
    // member whose clock moves against the leader's.
    void clockEdgesOnTheScreen() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        CurrentOptions().UserTimeZone = db.zoneId("Sydney");
        CurrentOptions().TimeFormat = true;
        WeekLists week{};
        week[6] = QStringList{"17:00|19:00"}; // Saturday evening in Berlin
        AddActivePlayer(QStringLiteral("Ulla"), db.zoneId("Berlin"), {}, {}, week);
        Screen s;
        select(s.players(), {"Ulla"});
        s.date()->setText("10/04/2026"); // Sunday 4 October: Sydney skips 02:00 .. 02:59
        s.time()->setText("2:30");
        s.click("imgShowAvailable");
        auto* note = child<QLabel>(s.window.get(), "lblMatchNote");
        QVERIFY(!note->isHidden());
        QCOMPARE(note->text(),
                 QStringLiteral("The clocks skip 02:30 on that day: the match is taken as 03:30."));
        QCOMPARE(ItemTexts(s.available()), QStringList{"Ulla"}); // Saturday 18:30 in Berlin
        s.date()->setText("01/11/2005");                         // the day before today
        s.click("imgShowAvailable");
        QVERIFY(!note->isHidden() &&
                note->text().endsWith(QStringLiteral("That moment has already passed.")));

        QString shown;
        driver.then([&](QDialog* d) {
            shown = child<QPlainTextEdit>(d, "txtClockChanges")->toPlainText();
            ClickOK(d);
        });
        s.date()->setText("10/11/2026");
        s.time()->setText("3:00");
        s.click("imgClockChanges");
        // Berlin goes back on 25 October, after the Saturday: from 1 November Ulla's clock reads 17:00.
        QVERIFY2(!shown.contains(QStringLiteral("Sun 25 Oct 2026 – 1 available\n ")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("Sun 1 Nov 2026 – 1 available\n    Ulla")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("Ulla: Saturday 17:00 instead of Saturday 18:00")),
                 qPrintable(shown));
        QCOMPARE(sink.count(), 0);
    }

    void resultMails() {
        TestDatabase db;
        RecordingSink sink;
        CurrentOptions().TimeFormat = true;
        AddScheduleRow(InsertPlayerRow("Able", true, CurrentOptions().UserTimeZone), 3, 20 * 60, 21 * 60);
        AddScheduleRow(InsertPlayerRow("Baker", true, CurrentOptions().UserTimeZone), 3, 20 * 60 + 30,
                       22 * 60);
        Screen s;

        // Without an e-mail window the user is told so.
        SetEmailWindowOpener({});
        select(s.players(), {"Able", "Baker"});
        s.click("imgShowbestTimes");
        s.click("imgEmailBestTimes");
        QCOMPARE(sink.last().title, QStringLiteral("E-Mail Not Available"));

        QList<EmailRequest> mails; // what the e-mail window is handed
        SetEmailWindowOpener([&](const EmailRequest& request, QWidget*) { mails << request; });
        s.click("imgEmailAvailable");
        QCOMPARE(sink.last().text, QStringLiteral("There are no results to E-Mail !"));

        s.date()->setText("12/06/2005"); // a Tuesday
        s.time()->setText("8:30 pm");
        s.click("imgShowAvailable");
        // The mail and its calendar event announce the moment searched, not a time typed since.
        for (const char* since : {"9:00 pm", "", "9 o'clock"}) {
            s.time()->setText(since);
            s.click("imgEmailAvailable");
            QCOMPARE(
                mails.last().message,
                AvailabilityMail(QDate(2005, 12, 6), 20 * 60 + 30, {"Able", "Baker"}, true, "GMT").message);
            QCOMPARE(mails.last().matchUtc, QDateTime(QDate(2005, 12, 6), QTime(20, 30), QTimeZone::utc()));
            QVERIFY(mails.last().calendarEvent.contains("DTSTART:20051206T203000Z"));
        }
        QCOMPARE(mails.size(), 3);
        QCOMPARE(mails[0].sendMode, QStringLiteral("S"));
        QCOMPARE(mails[0].selection, static_cast<const RecipientSelection*>(s.window.get()));

        s.click("imgEmailBestTimes");
        QVERIFY(mails.last().message.startsWith(QStringLiteral("Tuesday - 20:30 - 2 player(s)\r\n")));
    }

    // The match date field under the user's locale: the long form shown beside what is typed (none
    // for an unreadable text), and what the calendar writes (Cancel leaves the field alone).
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
        Screen s;
        auto* longDate = child<QLabel>(s.window.get(), "lblLongDate");
        s.date()->setText(typed);
        QCOMPARE(longDate->text(), longForm);
        s.date()->setText(QStringLiteral("31/31/2005"));
        QCOMPARE(longDate->text(), QString());

        ModalDriver driver;
        driver.then([](QDialog* d) {
            child<QCalendarWidget>(d, "calCalendar")->setSelectedDate(QDate(2005, 12, 6));
            ClickOK(d);
        });
        driver.then([](QDialog* d) { Click(d, QStringLiteral("imgButton2")); });
        auto* calendarLink = child<QLabel>(s.window.get(), "lblShowCalendar");
        Q_EMIT calendarLink->linkActivated(QString());
        Q_EMIT calendarLink->linkActivated(QString());
        QCOMPARE(s.date()->text(), picked);
    }

private:
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))};
};

QTEST_MAIN(FrmSchedulingTest)
#include "frmscheduling_test.moc"
