#include "comms/SmtpMailer.h"
#include "support/SmtpSink.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QtTest>

using namespace rm;
using namespace std::chrono_literals;

namespace {

const QString kSender = QStringLiteral("leader@example.org");

// One delivery: the names, the recipient's address, the subject, whether the server offers
// SMTPUTF8, the RCPT command the server must read ("" when nothing may be sent) and a part of the
// failure text.
// clang-format off
struct Delivery { const char *name, *senderName, *recipientName, *recipient, *subject; bool smtputf8; const char *rcpt, *failure; };
const Delivery kDeliveries[] = {
    {"specials in names", "Smith, John (Leader)", "Ann \"Ace\" O'Neil\\Team", "ann@example.net", "Practice", false,
     "RCPT TO:<ann@example.net>", ""},
    {"non-ASCII names", "Jürgen Groß, Kapitän", "星 Player", "ann@example.net", "Grüße", false, "RCPT TO:<ann@example.net>", ""},
    {"long ASCII subject", "Clan", "", "ann@example.net", "", false, "RCPT TO:<ann@example.net>", ""},
    {"subject without blanks", "Clan", "", "ann@example.net", "", false, "RCPT TO:<ann@example.net>", ""},
    {"long non-ASCII subject", "Clan", "", "ann@example.net", "", false, "RCPT TO:<ann@example.net>", ""},
    {"SMTPUTF8 address", "Clan", "Jürgen", "jürgen@club.example", "Hallo", true, "RCPT TO:<jürgen@club.example>", ""},
    {"IDNA domain", "Clan", "", "ann@bücher.example", "Hallo", false, "RCPT TO:<ann@xn--bcher-kva.example>", ""},
    {"no SMTPUTF8", "Clan", "", "jürgen@club.example", "Hallo", false, "", "does not offer SMTPUTF8"},
};
// clang-format on

QString SubjectOf(const Delivery& d) {
    const QString name = QString::fromLatin1(d.name);
    if (name == QLatin1String("long ASCII subject"))
        return QStringLiteral("Practice tonight at eight ").repeated(40).trimmed();
    if (name == QLatin1String("subject without blanks"))
        return QString(1000, QLatin1Char('x'));
    if (name == QLatin1String("long non-ASCII subject"))
        return QStringLiteral("Grüße an alle, ").repeated(20) + QString(40, QChar(0x661F));
    return QString::fromUtf8(d.subject);
}

QJsonArray Mailbox(const char* name, const QString& address) {
    return QJsonArray{QJsonArray{QString::fromUtf8(name), address}};
}

} // namespace

// Messages as strict servers and parsers take them: the delivered message read by Python's email
// package (default policy) without defects, header lines folded within the limits, and the
// commands as the server read them.
class StrictMailTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void strictDelivery_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kDeliveries)); ++row)
            QTest::newRow(kDeliveries[row].name) << row;
    }
    void strictDelivery() {
        QFETCH(int, row);
        const Delivery& d = kDeliveries[row];
        test::SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error, d.smtputf8 ? QStringList{"--smtputf8"} : QStringList{}),
                 qPrintable(error));
        SmtpMailer mailer;
        mailer.setDeadline(10s);
        const QString recipient = QString::fromUtf8(d.recipient);
        const QString subject = SubjectOf(d);
        SmtpServerSettings server;
        server.host = QStringLiteral("127.0.0.1");
        server.port = sink.port();
        const int result =
            mailer.send(server, {kSender, recipient, QString::fromUtf8(d.senderName),
                                 QString::fromUtf8(d.recipientName), subject, QStringLiteral("Body")});
        const QStringList dialogue = sink.dialogue();
        QVERIFY(!dialogue.isEmpty());
        // EHLO names this end by its fully qualified name, or else by its address.
        const auto checkEhlo = [&] {
            const QString ehlo = dialogue.first().mid(5);
            return dialogue.first().startsWith(QLatin1String("EHLO ")) &&
                   (ehlo == QLatin1String("[127.0.0.1]") ||
                    (ehlo.contains(QLatin1Char('.')) && !ehlo.startsWith(QLatin1Char('['))));
        };
        if (!*d.rcpt) {
            QCOMPARE(result, int(SendFailed));
            QVERIFY2(mailer.failureText().contains(QString::fromUtf8(d.failure)) &&
                         mailer.failureText().contains(recipient),
                     qPrintable(mailer.failureText()));
            QCOMPARE(dialogue.size(), 1); // refused before MAIL FROM
            QVERIFY(sink.messages().isEmpty());
            QVERIFY2(checkEhlo(), qPrintable(dialogue.first()));
            return;
        }
        QCOMPARE(result, int(SendAccepted));

        const auto messages = sink.messages();
        QCOMPARE(messages.size(), 1);
        const QJsonObject& decoded = messages[0].decoded;
        QStringList defects;
        for (const QJsonValue& v : decoded.value("defects").toArray())
            if (!(d.smtputf8 && v.toString() == QLatin1String("NonASCIILocalPartDefect")))
                defects << v.toString(); // the parser flags every UTF-8 local part, valid or not
        QCOMPARE(defects, QStringList());
        QCOMPARE(decoded.value("subject").toString(), subject);
        QCOMPARE(decoded.value("from_mailboxes").toArray(), Mailbox(d.senderName, kSender));
        QCOMPARE(decoded.value("to_mailboxes").toArray(),
                 Mailbox(d.recipientName, QString::fromUtf8(d.rcpt).mid(9).chopped(1)));

        const QByteArray head = messages[0].data.left(messages[0].data.indexOf("\r\n\r\n"));
        static const QRegularExpression encodedWord(QStringLiteral("=\\?[^?]+\\?[BbQq]\\?[^?]*\\?="));
        for (const QByteArray& line : head.split('\n')) {
            const QString text = QString::fromUtf8(line.chopped(line.endsWith('\r') ? 1 : 0));
            QVERIFY2(text.size() <= (text.contains(QStringLiteral("=?")) ? 76 : 78), qPrintable(text));
            for (auto it = encodedWord.globalMatch(text); it.hasNext();)
                QVERIFY(it.next().capturedLength() <= 75);
        }
        QCOMPARE(dialogue.mid(1), (QStringList{QStringLiteral("MAIL FROM:<leader@example.org>") +
                                                   (d.smtputf8 ? QStringLiteral(" SMTPUTF8") : QString()),
                                               QString::fromUtf8(d.rcpt)}));
        QVERIFY2(checkEhlo(), qPrintable(dialogue.first()));
    }
};

QTEST_GUILESS_MAIN(StrictMailTest)
#include "strict_mail_test.moc"
