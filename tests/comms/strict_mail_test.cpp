#include "comms/SmtpMailer.h"
#include "support/SmtpSink.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QtTest>

using namespace rm;

// Messages as strict servers take them: the delivered message read by Python's email package
// (default policy) without defects, its header lines within the limits, and the commands as the
// server read them. An empty rcpt means the recipient is refused before anything is sent.
class StrictMailTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void strictDelivery_data() {
        for (const char* column : {"sender", "recipientName", "recipient", "subject", "rcpt"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<bool>("smtputf8");
        const QString ann = "ann@example.net", plain = "RCPT TO:<ann@example.net>";
        const auto row = [](const char* name, const QString& sender, const QString& recipientName,
                            const QString& recipient, const QString& subject, const QString& rcpt,
                            bool utf8) {
            QTest::newRow(name) << sender << recipientName << recipient << subject << rcpt << utf8;
        };
        row("specials in names", "Smith, John (Leader)", "Ann \"Ace\" O'Neil\\Team", ann, "Practice", plain,
            false);
        row("non-ASCII names", "Jürgen Groß, Kapitän", "星 Player", ann, "Grüße", plain, false);
        row("long subject", "Clan", "", ann, QString("At eight ").repeated(120).trimmed(), plain, false);
        row("subject without blanks", "Clan", "", ann, QString(1000, 'x'), plain, false);
        row("long non-ASCII subject", "Clan", "", ann, QString("Grüße, ").repeated(40) + "星", plain, false);
        row("SMTPUTF8", "Clan", "Jürgen", "jürgen@club.example", "Hi", "RCPT TO:<jürgen@club.example>", true);
        row("IDNA domain", "Clan", "", "ann@bücher.example", "Hi", "RCPT TO:<ann@xn--bcher-kva.example>",
            false);
        row("no SMTPUTF8", "Clan", "", "jürgen@club.example", "Hi", "", false);
    }
    void strictDelivery() {
        QFETCH(QString, sender);
        QFETCH(QString, recipientName);
        QFETCH(QString, recipient);
        QFETCH(QString, subject);
        QFETCH(QString, rcpt);
        QFETCH(bool, smtputf8);
        test::SmtpSink sink;
        QString error;
        QVERIFY2(sink.start(&error, smtputf8 ? QStringList{"--smtputf8"} : QStringList{}), qPrintable(error));
        SmtpMailer mailer;
        const int result =
            mailer.send({"127.0.0.1", sink.port(), 0, false, false, {}, {}},
                        {"leader@example.org", recipient, sender, recipientName, subject, "Body"});
        const QStringList dialogue = sink.dialogue();
        // EHLO gives a fully qualified name, or else the address of this end.
        const QString ehlo = dialogue.value(0);
        QVERIFY2(ehlo == "EHLO [127.0.0.1]" ||
                     (ehlo.startsWith("EHLO ") && ehlo.contains('.') && !ehlo.contains('[')),
                 qPrintable(ehlo));
        if (rcpt.isEmpty()) {
            QVERIFY2(result == SendFailed &&
                         mailer.failureText().contains("<" + recipient + "> has characters"),
                     qPrintable(mailer.failureText()));
            QCOMPARE(dialogue.size(), 1);
            return;
        }
        QCOMPARE(result, int(SendAccepted));
        const QJsonObject decoded = sink.messages().value(0).decoded;
        QStringList defects = decoded.value("defects").toVariant().toStringList();
        if (smtputf8)
            defects.removeAll("NonASCIILocalPartDefect"); // the parser flags every UTF-8 local part
        QCOMPARE(defects, QStringList());
        QCOMPARE(decoded.value("subject").toString(), subject);
        QCOMPARE(decoded.value("from_mailboxes").toArray(),
                 (QJsonArray{QJsonArray{sender, "leader@example.org"}}));
        QCOMPARE(decoded.value("to_mailboxes").toArray(),
                 (QJsonArray{QJsonArray{recipientName, rcpt.mid(9).chopped(1)}}));
        const QByteArray data = sink.messages().value(0).data;
        static const QRegularExpression tooLongWord("=\\?[^?]+\\?[BbQq]\\?[^?]{64,}\\?=");
        for (const QByteArray& line : data.left(data.indexOf("\r\n\r\n")).split('\n'))
            QVERIFY2(line.size() <= (line.contains("=?") ? 77 : 79) && !tooLongWord.match(line).hasMatch(),
                     line);
        QCOMPARE(
            dialogue.mid(1),
            (QStringList{"MAIL FROM:<leader@example.org>" + QString(smtputf8 ? " SMTPUTF8" : ""), rcpt}));
    }
};

QTEST_GUILESS_MAIN(StrictMailTest)
#include "strict_mail_test.moc"
