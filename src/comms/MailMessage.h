#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace rm {

// One plain-text message for one recipient, as the mailer puts it on the wire after DATA.
struct MailMessage {
    QString senderAddress;
    QString recipientAddress;
    QString senderName;
    QString recipientName;
    QString subject;
    QString body;
    // A calendar event (the text of a .ics file) sent with the text as a second part; empty for a
    // plain message.
    QByteArray calendarEvent{};
    // A file sent with the text as a base64 attachment (for instance a page, "text/html"); empty for
    // none.
    QString attachmentName{};
    QByteArray attachmentType{};
    QByteArray attachment{};
};

// The part of the sender address after its first "@"; the whole address when it has none.
QString MailDomain(const QString& senderAddress);

// A whole number from low + 1 to high.
qint64 RandomInRange(qint64 low, qint64 high);

// The Message-ID header line without its line end:
// "Message-ID: <" + 14 digits + "." + 5 digits + ".qmail@" + domain + ">".
QString MakeMessageId(const QString& domain);

// An Internet date: "Sun, 06 Dec 2026 21:05:07 +0100" (English names whatever the locale).
QString MailDateText(const QDateTime& when);

// Removes CR and LF, so a value cannot start a header or command line of its own.
QString SingleLine(const QString& text);

// A header value: unchanged when plain ASCII, else UTF-8 encoded words ("=?utf-8?B?...?="), folded
// so that no encoded word is longer than 75 characters.
QByteArray EncodeHeaderText(const QString& text);

// Every line end (CR LF, a bare CR or a bare LF) becomes CR LF.
QString NormaliseLineEnds(const QString& text);

// Quoted-printable form of text whose lines end in CR LF; lines stay within 76 characters.
QByteArray QuotedPrintable(const QByteArray& bytes);

// Doubles the leading "." of every line, so no line of the data can end it early.
QByteArray DotStuff(const QByteArray& data);

// The lines sent after DATA, each ending in CR LF, dot-stuffed, the last one the end-of-data ".".
// The message is plain ASCII ("charset=us-ascii") unless its body is not, or has a line too long
// for mail, in which case the body is UTF-8 quoted-printable. With a calendar event the message is
// multipart/mixed: the text as above, then the event as a base64 text/calendar attachment; an
// attachment goes the same way.
QList<QByteArray> BuildMessageLines(const MailMessage& message, const QString& messageIdLine,
                                    const QDateTime& when);

} // namespace rm
