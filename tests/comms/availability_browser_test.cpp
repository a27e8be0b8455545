// The availability page in a real browser: headless Chromium through WebDriver paints and erases
// the week by mouse drag and keyboard and copies the reply, which the reader must turn back into
// exactly the painted week.

#include "comms/AvailabilityPage.h"
#include "roster/PlayerStore.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace rm;

namespace {

const QString kName = QStringLiteral("O'Neil \"Ace\" <b>&Co Ωμέγα 東京");
const QString kClan = QStringLiteral("Night <Owls> & \"Friends\"");

} // namespace

class AvailabilityBrowserTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_clock{QDateTime(QDate(2026, 3, 2), QTime(12, 0), Qt::UTC)};

private Q_SLOTS:
    void init() { SetClock(&m_clock); }
    void cleanup() { SetClock(nullptr); }

    void paintedWeekComesBack() {
        test::TestDatabase db;
        CurrentOptions().ReplyToName = kClan;
        WeekLists week;
        week[1] = QStringList{QStringLiteral("18:00|20:00")};
        const qint32 key = test::AddActivePlayer(kName, db.zoneId(QStringLiteral("GMT")), {}, {}, week);

        const QList<MadePage> pages = MakeAvailabilityPages(AvailabilityRecipients({key}));
        QCOMPARE(pages.size(), 1);
        const QString html = QString::fromUtf8(pages.first().html);
        // Nothing that could reach the network, and the names only in escaped form.
        const QRegularExpression external(
            QStringLiteral(R"((https?:|ftp:|//[a-z]|\bsrc\s*=|\bhref\s*=|url\(|@import))"),
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(!external.match(html).hasMatch(), qPrintable(external.match(html).captured()));
        QVERIFY(!html.contains(QStringLiteral("<b>&Co")));
        QVERIFY(html.contains(QStringLiteral("O&#39;Neil &quot;Ace&quot; &lt;b&gt;&amp;Co Ωμέγα 東京")));

        if (QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty())
            QSKIP("chromium is not installed (scripts/install-deps.sh installs it)");
        const QString file = db.folder() + QLatin1Char('/') + pages.first().fileName;
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(pages.first().html);
        out.close();

        QProcess browser;
        browser.start(QStringLiteral("/usr/bin/python3"),
                      {qEnvironmentVariable("RALLYMARK_SOURCE_DIR") +
                           QStringLiteral("/tests/comms/availability_browser.py"),
                       file});
        QVERIFY(browser.waitForFinished(180000));
        const QByteArray errors = browser.readAllStandardError();
        QVERIFY2(browser.exitCode() == 0, errors.constData());
        const QJsonObject result = QJsonDocument::fromJson(browser.readAllStandardOutput()).object();

        QCOMPARE(result.value(QStringLiteral("player")).toString(), kName);
        QCOMPARE(result.value(QStringLiteral("clan")).toString(), kClan);
        QCOMPARE(result.value(QStringLiteral("requests")).toInt(), 0);
        QVERIFY(result.value(QStringLiteral("replySelected")).toBool());
        auto cellsOf = [](const QJsonValue& list) {
            WeekCells cells;
            for (const QJsonValue& v : list.toArray())
                cells.set(v.toInt());
            return cells;
        };
        QCOMPARE(cellsOf(result.value(QStringLiteral("opened"))), CellsFromLists(week));
        const WeekCells expected = cellsOf(result.value(QStringLiteral("expected")));
        QCOMPARE(cellsOf(result.value(QStringLiteral("shown"))), expected);

        const QString reply = result.value(QStringLiteral("reply")).toString();
        QVERIFY(reply.size() < 300);
        const QList<FoundReply> found = FindReplies(reply);
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first().reply.has_value(), qPrintable(found.first().problem));
        QCOMPARE(found.first().reply->week, expected);
        QCOMPARE(found.first().reply->player, quint32(key));
        QCOMPARE(found.first().reply->databaseToken, DatabaseReplyToken());
        QCOMPARE(found.first().reply->pageStamp, quint32(m_clock.now().toSecsSinceEpoch()));
    }
};

QTEST_GUILESS_MAIN(AvailabilityBrowserTest)
#include "availability_browser_test.moc"
