#include "scheduling/SchedulingMail.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/SchedulingFixtures.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"

using namespace rm;
using namespace rm::test;

class AvailabilityResultTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_mails.clear();
        SetEmailWindowOpener([this](const EmailRequest& request, QWidget*) { m_mails << request; });
        SetClock(&m_clock);
    }
    void cleanup() {
        SetEmailWindowOpener({});
        SetClock(nullptr);
    }

    // The e-mail and its calendar event announce the moment the list was searched for, not a date or
    // time typed into the fields since (valid or not).
    void resultKeepsItsMoment_data() {
        QTest::addColumn<QString>("timeSince");
        QTest::newRow("another time") << "9:00 pm";
        QTest::newRow("no time") << "";
        QTest::newRow("not a time") << "9 o'clock";
    }
    void resultKeepsItsMoment() {
        QFETCH(QString, timeSince);
        TestDatabase db;
        RecordingSink sink;
        const qint32 gmt = CurrentOptions().UserTimeZone;
        AddScheduleRow(InsertPlayerRow("Able", true, gmt), 3, 20 * 60, 21 * 60); // Tuesday
        frmScheduling window;
        child<QListWidget>(&window, "lstPlayers")->item(0)->setSelected(true);
        Type(&window, {"txtMatchDate", "12/06/2005", "txtMatchTime", "8:30 pm"});
        Click(&window, "imgShowAvailable");
        child<QLineEdit>(&window, "txtMatchTime")->setText(timeSince);
        child<QCheckBox>(&window, "chkAttachEvent")->setChecked(true);
        Click(&window, "imgEmailAvailable");
        QCOMPARE(m_mails.size(), 1);
        QCOMPARE(m_mails[0].message,
                 AvailabilityMail(QDate(2005, 12, 6), 20 * 60 + 30, {"Able"}, true, "GMT").message);
        QCOMPARE(m_mails[0].matchUtc, QDateTime(QDate(2005, 12, 6), QTime(20, 30), QTimeZone::utc()));
        QVERIFY(m_mails[0].calendarEvent.contains("DTSTART:20051206T203000Z"));
        QCOMPARE(sink.count(), 0);
    }

private:
    QList<EmailRequest> m_mails; // what the e-mail window is handed
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))};
};

QTEST_MAIN(AvailabilityResultTest)
#include "availability_result_test.moc"
