#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

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

// A header value: unchanged when plain ASCII, else UTF-8 encoded words ("=?utf-8?B?...?=") of at
// most 75 characters, separated by blanks (FoldHeaderLine breaks the line between them).
QByteArray EncodeHeaderText(const QString& text);

// A mailbox of From or To: the display name as it is when it is made of plain words, as a quoted
// string when it holds specials ("Smith, John (Leader)"), as encoded words when it is not ASCII;
// then the address in angle brackets.
QByteArray MailboxText(const QString& displayName, const QString& address);

// One header line ("Name: value", no line end) folded at blanks so that no line is longer than 76
// characters where a blank allows it; continuation lines start with the blank.
QByteArray FoldHeaderLine(const QByteArray& line);

// The address as mail without SMTPUTF8 can carry it: unchanged when ASCII, a non-ASCII domain
// written as IDNA ("xn--..."); nullopt when the part before the "@" is not ASCII.
std::optional<QString> AsciiMailAddress(const QString& address);

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
