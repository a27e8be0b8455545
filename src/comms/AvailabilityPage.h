#pragma once

// The availability page: one self-contained HTML file per player (inline style and script, nothing
// fetched from anywhere) on which the player paints the week in their own time and copies the reply
// that AvailabilityReply.h reads back. Pages go out by mail, as an attachment, or into a folder.

#include "comms/AvailabilityReply.h"
#include "comms/MailMessage.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace rm {

// What one page shows and carries.
struct AvailabilityPageData {
    quint32 player = 0;
    quint32 databaseToken = 0;
    quint32 pageStamp = 0; // seconds since 1970 UTC
    QString clanName;      // the reply-to name of the Options
    QString onlineName;
    QString zoneName;  // the catalogue's short name and description
    QString realZone;  // the tz database zone, empty for none
    QString offsetNow; // "UTC+01:00"
    WeekCells week;    // the player's current week in the player's own time
};

QString AvailabilityPageHtml(const AvailabilityPageData& data);

// "availability-<online name>.html", with characters that file systems refuse replaced by "_".
QString AvailabilityPageFileName(const QString& onlineName);

// The players a request goes to: the given keys, or every active player when there are none, in
// online-name order.
struct PageRecipient {
    qint32 player = 0;
    QString onlineName;
    QString address; // the trimmed primary e-mail address
};
QList<PageRecipient> AvailabilityRecipients(const QList<qint32>& players);
// The active members of divisions, each once.
QList<qint32> ActiveMembersOf(const QList<qint32>& divisions);

// The pages of the recipients, made at the clock's now. Store errors raise DbError.
struct MadePage {
    PageRecipient recipient;
    QString fileName;
    QByteArray html; // UTF-8
};
QList<MadePage> MakeAvailabilityPages(const QList<PageRecipient>& recipients);

// Writes the pages into a folder, one file each (a name that two players would share gets the
// player's key). Returns the report: one line per player written or failed.
QString WriteAvailabilityPages(const QString& folder, const QList<PageRecipient>& recipients);

// The message that goes with the pages, kept as the template "Ask for availability"; "{name}" stands
// for the player's online name and "{clan}" for the clan's name.
inline const QString kAvailabilityTemplateName = QStringLiteral("Ask for availability");
inline const QString kAvailabilitySubject = QStringLiteral("Your week for {clan}");
QString AvailabilityMessage();
void KeepAvailabilityMessage(const QString& message);

// One mail per player with an address, the page attached; players without a primary address are
// listed in the report and skipped. `send` returns the mailer's result (1 accepted).
using PageMailer = std::function<int(const MailMessage& message, QString* failure)>;
PageMailer OptionsPageMailer();
QString MailAvailabilityPages(const QList<PageRecipient>& recipients, const QString& subject,
                              const QString& message, const PageMailer& send,
                              const std::function<void(const QString&)>& status = {});

} // namespace rm
