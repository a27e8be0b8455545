#include "data/AppEnvironment.h"
#include "data/Options.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/RecordingSink.h"
#include "support/RosterRows.h"
#include "support/SchedulingFixtures.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"
#include "ui/EmailWindow.h"
#include "ui/FileDialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace rm;
using namespace rm::test;

// The match of the availability result into a calendar file and into the group's e-mail.
class MatchCalendarWidgetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { SetClock(&m_clock); }
    void cleanup() {
        SetClock(nullptr);
        SetSaveFileRunner({});
        SetEmailWindowOpener({});
    }

    void matchGoesIntoCalendars() {
        TestDatabase db;
        RecordingSink sink;
        CurrentOptions().UserTimeZone = db.zoneId(QStringLiteral("Eastern"));
        CurrentOptions().UserDaylightNow = false; // today is in winter
        CurrentOptions().MatchLength = 90;
        const qint32 rifles =
            InsertDivision(QStringLiteral("Rifles, East"), InsertGame(QStringLiteral("Arena")));
        const qint32 able =
            InsertPlayerRow(QStringLiteral("Able; Smith"), true, CurrentOptions().UserTimeZone);
        InsertMember(able, rifles);
        AddScheduleRow(able, 3, 0, 23 * 60 + 30); // Tuesday, GMT
        frmScheduling window;
        Click(&window, QStringLiteral("imgClickDivision"));
        child<QListWidget>(&window, QStringLiteral("lstDivisions"))->item(0)->setSelected(true);
        Click(&window, QStringLiteral("imgAddToCalendar"));
        QVERIFY(sink.contains(QStringLiteral("There are no results to add to a calendar !")));

        // A summer Monday 20:00 in Eastern is Tuesday 00:00 UTC, searched at the winter shift.
        child<QLineEdit>(&window, QStringLiteral("txtMatchDate"))->setText(QStringLiteral("07/18/2005"));
        child<QLineEdit>(&window, QStringLiteral("txtMatchTime"))->setText(QStringLiteral("20:00"));
        Click(&window, QStringLiteral("imgShowAvailable"));
        QCOMPARE(child<QListWidget>(&window, QStringLiteral("lstAvailable"))->count(), 1);

        const QString path = db.folder() + QStringLiteral("/match");
        SetSaveFileRunner([&](QWidget*, const SaveFileRequest& request) {
            return request.filter.contains(QStringLiteral("*.ics")) ? path : QString();
        });
        Click(&window, QStringLiteral("imgAddToCalendar"));
        QFile file(path + QStringLiteral(".ics"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const char* line : {"DTSTART:20050719T000000Z\r\n", "DURATION:PT1H30M\r\n",
                                 "SUMMARY:Match: Rifles\\, East (Arena)\r\n", "Able\\; Smith"})
            QVERIFY2(text.contains(line), line);

        QList<EmailRequest> requests;
        SetEmailWindowOpener([&](const EmailRequest& request, QWidget*) { requests << request; });
        Click(&window, QStringLiteral("imgEmailAvailable"));
        child<QCheckBox>(&window, QStringLiteral("chkAttachEvent"))->setChecked(false);
        Click(&window, QStringLiteral("imgEmailAvailable"));
        QCOMPARE(requests.size(), 2);
        QVERIFY(requests.at(0).calendarEvent.contains("DTSTART:20050719T000000Z"));
        QVERIFY(requests.at(1).calendarEvent.isEmpty());
        QCOMPARE(requests.at(0).message, requests.at(1).message);
    }

private:
    FixedClock m_clock{QDateTime(QDate(2005, 1, 12), QTime(12, 0))};
};

QTEST_MAIN(MatchCalendarWidgetTest)
#include "matchcalendar_widget_test.moc"
