// Availability replies as mail and chat programs hand them back: read whatever was done to the
// text, refused with their reason when damaged or out of place, and written all together or not at
// all. Also the mail that carries the page, and the page in a real browser.

#include "comms/AvailabilityPage.h"
#include "comms/AvailabilityReply.h"
#include "roster/PlayerStore.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace rm;

namespace {

WeekCells someWeek(int seed) {
    WeekCells w;
    for (int i = 0; i < kWeekCells; ++i)
        w[i] = ((i * 7 + seed) % 11) < 4;
    return w;
}

AvailabilityReply replyFor(quint32 player, quint32 token, int seed, quint32 page = 1000,
                           quint32 moment = 2000) {
    return {player, token, page, moment, someWeek(seed)};
}

// Hard line breaks every `column` characters, each line after the first with a prefix.
QString wrapped(const QString& text, int column, const QString& quote = {}, const QString& lineEnd = "\n") {
    QString out = quote;
    for (int i = 0; i < text.size(); i += column)
        out += text.mid(i, column) + (i + column < text.size() ? lineEnd + quote : QString());
    return out;
}

qint32 addPlayer(test::TestDatabase& db, const QString& name, const WeekLists& week) {
    return test::AddActivePlayer(name, db.zoneId("Berlin"), name.toLower() + "@example.org", {}, week);
}

} // namespace

class AvailabilityReplyTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_clock{QDateTime(QDate(2026, 1, 12), QTime(9, 0), Qt::UTC)};

private Q_SLOTS:
    void init() { SetClock(&m_clock); }
    void cleanup() { SetClock(nullptr); }

    // The first and last half hour of the week (a whole week there and back: appliedTogetherOrNotAtAll).
    void cellsAndLists() {
        WeekCells edge;
        for (const int cell : {0, 47, 6 * 48 + 47})
            edge.set(cell);
        QCOMPARE(
            ListsFromCells(edge),
            (WeekLists{
                QStringList{"00:00|00:30", "23:30|24:00"}, {}, {}, {}, {}, {}, QStringList{"23:30|24:00"}}));
    }

    void mangledRepliesAreRead_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("replies");
        const QString a = EncodeReply(replyFor(7, 99, 1));
        const QString b = EncodeReply(replyFor(8, 99, 2));
        const QString c = EncodeReply(replyFor(9, 99, 3));
        QTest::newRow("clean") << a << 1;
        QTest::newRow("wrapped at 20") << wrapped(a, 20) << 1;
        QTest::newRow("wrapped at 72, quoted") << wrapped(a, 72, "> ") << 1;
        QTest::newRow("wrapped at 76, quoted twice, CRLF") << wrapped(a, 76, ">> ", "\r\n") << 1;
        QTest::newRow("wrapped at 33, '> > '") << wrapped(a, 33, "> > ") << 1;
        QTest::newRow("inside a message, blanks and lower case")
            << "Hi!\n\nhere is my week:   " + a.toLower() + "  \n\n\ncheers, Amy\n-- \nsent from my phone"
            << 1;
        QTest::newRow("thread with three replies") << "On Monday Bo wrote:\n> " + wrapped(b, 72, "> ") +
                                                          "\n>\n>> " + wrapped(c, 20, ">> ") + "\n\n" + a
                                                   << 3;
        QTest::newRow("zero-width and no-break spaces")
            << a.left(30) + QChar(0x200B) + a.mid(30, 20) + QChar(0x00A0) + a.mid(50) << 1;
    }
    void mangledRepliesAreRead() {
        QFETCH(QString, text);
        QFETCH(int, replies);
        const QList<FoundReply> found = FindReplies(text);
        QCOMPARE(found.size(), replies);
        for (int i = 0; i < replies; ++i) {
            QVERIFY2(found[i].reply, qPrintable(found[i].problem));
            const quint32 player = found[i].reply->player;
            QCOMPARE(*found[i].reply, replyFor(player, 99, static_cast<int>(player) - 6));
        }
        QVERIFY(EncodeReply(replyFor(7, 99, 1)).size() < 120);
    }

    // Each problem with its reason; the paste as a whole then writes nothing.
    void refusedWithReason_data() {
        QTest::addColumn<QString>("problem");
        QTest::newRow("one character changed") << kReplyDamaged;
        QTest::newRow("cut short") << kReplyCutShort;
        QTest::newRow("another database") << kReplyOtherDatabase;
        QTest::newRow("unknown player") << kReplyUnknownPlayer.arg(4242);
        QTest::newRow("older than the one applied") << kReplyOlder;
        QTest::newRow("applied already") << kReplyAlreadyApplied;
        QTest::newRow("newer version") << kReplyNewerVersion;
    }
    void refusedWithReason() {
        QFETCH(QString, problem);
        test::TestDatabase db;
        const qint32 amy = addPlayer(db, "Amy", {});
        const quint32 token = DatabaseReplyToken();
        db.exec(QStringLiteral("Update Players Set Player_ReplyPage = 1000, Player_ReplyMoment = 2000"));
        AvailabilityReply r = replyFor(amy, token, 4, 1000, 2500);
        QString text;
        if (problem == kReplyDamaged) {
            text = EncodeReply(r);
            text[40] = text[40] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        } else if (problem == kReplyCutShort) {
            text = EncodeReply(r).chopped(3);
        } else if (problem == kReplyNewerVersion) {
            text = EncodeReply(r, 2);
        } else {
            if (problem == kReplyOtherDatabase)
                r.databaseToken = token + 1;
            else if (problem == kReplyOlder)
                r = replyFor(amy, token, 4, 999, 5000);
            else if (problem == kReplyAlreadyApplied)
                r = replyFor(amy, token, 4, 1000, 2000);
            else
                r.player = 4242;
            text = EncodeReply(r);
        }
        const QString before = test::DumpRoster();
        const QList<ReplyReview> reviews = ReviewReplies(QStringLiteral("> ") + wrapped(text, 72, "> "));
        QCOMPARE(reviews.size(), 1);
        QCOMPARE(reviews.first().problem, problem);
        QCOMPARE(ApplyReplies(reviews), 0);
        QCOMPARE(test::DumpRoster(), before);
    }

    // Several replies go in together; a store failure on the second player keeps nothing of the
    // first; the newest of two replies of one player wins.
    void appliedTogetherOrNotAtAll() {
        test::TestDatabase db;
        WeekLists amyWeek;
        amyWeek[1] = QStringList{QStringLiteral("18:00|20:00")};
        const qint32 amy = addPlayer(db, "Amy", amyWeek);
        const qint32 bo = addPlayer(db, "Bo", {});
        const quint32 token = DatabaseReplyToken();
        const QString paste = EncodeReply(replyFor(amy, token, 1, 1000, 2000)) + "\n" +
                              EncodeReply(replyFor(bo, token, 2, 1000, 2100)) + "\n" +
                              EncodeReply(replyFor(amy, token, 5, 1000, 1900));
        QList<ReplyReview> reviews = ReviewReplies(paste);
        QCOMPARE(reviews.size(), 3);
        QCOMPARE(reviews[0].onlineName, QStringLiteral("Amy"));
        QCOMPARE(reviews[0].oldWeek, CellsFromLists(amyWeek));
        QVERIFY(reviews[0].accepted() && reviews[1].accepted());
        QCOMPARE(reviews[2].problem, kReplyNewerInText);

        db.exec(
            QStringLiteral("Create Trigger refuse Before Insert On Schedules When New.Schedule_Player = %1 "
                           "Begin Select Raise(Abort, 'disk full'); End")
                .arg(bo));
        const QByteArray before = test::FileBytes(db.path());
        QVERIFY_THROWS_EXCEPTION(DbError, ApplyReplies(reviews));
        QVERIFY(test::FileBytes(db.path()) == before);

        db.exec(QStringLiteral("Drop Trigger refuse"));
        QCOMPARE(ApplyReplies(reviews), 2);
        QCOMPARE(CellsFromLists(LoadPlayerSchedule(amy, db.zoneId("Berlin"))), someWeek(1));
        QCOMPARE(CellsFromLists(LoadPlayerSchedule(bo, db.zoneId("Berlin"))), someWeek(2));
        QCOMPARE(db.scalar(QStringLiteral("Select Player_ReplyPage || '/' || Player_ReplyMoment || '/' || "
                                          "Player_Update From Players Where Player_ID = %1")
                               .arg(bo))
                     .toString(),
                 QStringLiteral("1000/2100/2026-01-12 09:00:00"));
        // The same paste again changes nothing.
        reviews = ReviewReplies(paste);
        QCOMPARE(reviews[0].problem, kReplyAlreadyApplied);
        QCOMPARE(reviews[2].problem, kReplyOlder);
    }

    // One mail per player with an address, the page attached; the others are listed and skipped.
    void pagesByMail() {
        test::TestDatabase db;
        CurrentOptions().ReplyToName = QStringLiteral("Owls");
        CurrentOptions().ReplyAddress = QStringLiteral("lead@example.org");
        const qint32 amy = addPlayer(db, QStringLiteral("Amy"), {});
        const qint32 zed = addPlayer(db, QStringLiteral("Zed"), {});
        db.exec(QStringLiteral("Update Players Set Player_EmailPrimary = '' Where Player_ID = %1").arg(zed));
        QList<MailMessage> sent;
        const QString report =
            MailAvailabilityPages(AvailabilityRecipients({}), QStringLiteral("Your week for {clan}"),
                                  QStringLiteral("Hi {name}"), [&sent](const MailMessage& m, QString*) {
                                      sent << m;
                                      return 1;
                                  });
        QCOMPARE(report, QStringLiteral("Zed has no e-mail address: skipped\nE-mail to Amy successful\n"));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().recipientAddress, QStringLiteral("amy@example.org"));
        QCOMPARE(sent.first().subject + "|" + sent.first().body, QStringLiteral("Your week for Owls|Hi Amy"));

        const QByteArray wire =
            BuildMessageLines(sent.first(), QStringLiteral("Message-ID: <1@x>"), m_clock.now()).join();
        QVERIFY(wire.contains("Content-Type: multipart/mixed; boundary=\"=_rallymark_"));
        QVERIFY(wire.contains("Content-Type: text/html; charset=utf-8\r\n"
                              "Content-Disposition: attachment; filename=\"availability-Amy.html\"\r\n"
                              "Content-Transfer-Encoding: base64\r\n"));
        const qsizetype start = wire.indexOf("base64\r\n\r\n") + 10;
        const QByteArray page = QByteArray::fromBase64(
            wire.mid(start, wire.indexOf("\r\n--", start) - start).replace("\r\n", ""));
        QCOMPARE(page, MakeAvailabilityPages(AvailabilityRecipients({amy})).first().html);
    }

    // Headless Chromium through WebDriver paints and erases the week by mouse drag and keyboard and
    // copies the reply, which must read back as exactly the painted week. The page reaches for
    // nothing on the network and shows the names only escaped.
    void paintedWeekComesBack() {
        const QString name = QStringLiteral("O'Neil \"Ace\" <b>&Co Ωμέγα 東京");
        const QString clan = QStringLiteral("Night <Owls> & \"Friends\"");
        test::TestDatabase db;
        CurrentOptions().ReplyToName = clan;
        WeekLists week;
        week[1] = QStringList{QStringLiteral("18:00|20:00")};
        const qint32 key = test::AddActivePlayer(name, db.zoneId(QStringLiteral("GMT")), {}, {}, week);
        const MadePage page = MakeAvailabilityPages(AvailabilityRecipients({key})).value(0);
        const QString html = QString::fromUtf8(page.html);
        const QRegularExpression external(
            QStringLiteral(R"((https?:|ftp:|//[a-z]|\bsrc\s*=|\bhref\s*=|url\(|@import))"),
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(!external.match(html).hasMatch(), qPrintable(external.match(html).captured()));
        QVERIFY(!html.contains(QStringLiteral("<b>&Co")));
        QVERIFY(html.contains(QStringLiteral("O&#39;Neil &quot;Ace&quot; &lt;b&gt;&amp;Co Ωμέγα 東京")));

        if (QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty())
            QSKIP("chromium is not installed (scripts/install-deps.sh installs it)");
        const QString file = db.folder() + QLatin1Char('/') + page.fileName;
        QVERIFY(test::WriteFile(file, page.html));
        QProcess browser;
        browser.start(
            QStringLiteral("/usr/bin/python3"),
            {qEnvironmentVariable("RALLYMARK_SOURCE_DIR") + "/tests/comms/availability_browser.py", file});
        QVERIFY(browser.waitForFinished(180000));
        QVERIFY2(browser.exitCode() == 0, browser.readAllStandardError().constData());
        const QJsonObject result = QJsonDocument::fromJson(browser.readAllStandardOutput()).object();
        QCOMPARE(result["player"].toString(), name);
        QCOMPARE(result["clan"].toString(), clan);
        QCOMPARE(result["requests"].toInt(), 0);
        QVERIFY(result["replySelected"].toBool());
        const auto cellsOf = [&result](const char* list) {
            WeekCells cells;
            for (const QJsonValue& v : result[QLatin1String(list)].toArray())
                cells.set(v.toInt());
            return cells;
        };
        QCOMPARE(cellsOf("opened"), CellsFromLists(week));
        QCOMPARE(cellsOf("shown"), cellsOf("expected"));
        const QString reply = result["reply"].toString();
        QVERIFY(reply.size() < 300);
        const QList<FoundReply> found = FindReplies(reply);
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first().reply.has_value(), qPrintable(found.first().problem));
        const AvailabilityReply& r = *found.first().reply; // the moment of copying is the browser's
        QCOMPARE(r, (AvailabilityReply{quint32(key), DatabaseReplyToken(),
                                       quint32(m_clock.now().toSecsSinceEpoch()), r.replyMoment,
                                       cellsOf("expected")}));
    }
};

QTEST_GUILESS_MAIN(AvailabilityReplyTest)
#include "availability_reply_test.moc"
