#pragma once

#include "comms/EmailRequest.h"
#include "comms/SmtpMailer.h"
#include "time/ZoneClock.h"

#include <QList>
#include <QString>

#include <functional>

namespace rm {

// The statements of the e-mail window.
QString PlayerAddressStatement(qint32 playerId);
QString DivisionRecipientsStatement(qint32 divisionId, const QList<qint32>& handledPlayers);

// The address a person is mailed at: the trimmed primary address, else the trimmed secondary one.
QString ChooseAddress(const QString& primary, const QString& secondary);

// The "Send Anyway?" warnings for a blank subject and/or message; empty when both are filled.
QString MissingInformationWarnings(const QString& subject, const QString& message);

// The one player of mode "Q", looked up by the decimal key the opener gave.
struct QuickRecipient {
    enum Status { Found, NotFound, NoAddress };
    Status status = NotFound;
    QString onlineName; // trimmed
    QString address;
};
QuickRecipient LookUpQuickRecipient(const QString& recipientKey);

struct OptionsEntries;
struct OptionsRecord;

// The message of a failed mode "Q" delivery (-1 error, 0 timeout), followed by what failed.
QString QuickSendErrorText(int result, const QString& failure = QString());

// One delivery to an address; returns the mailer's result (1, 0 or -1) and, when it failed, what
// failed in failure.
using DeliveryCall = std::function<int(const QString& address, QString* failure)>;
// Shows a status line text.
using StatusCall = std::function<void(const QString& text)>;

// The delivery of the e-mail window: the SMTP settings of the Options record (the password from the
// secret store when logging in), the sender's display name, no display name for the recipient.
// A calendar event, when given, goes with the text as a text/calendar part.
DeliveryCall OptionsDelivery(const QString& subject, const QString& body,
                             const QByteArray& calendarEvent = {});

// The server settings of the Options record, or of the dialog's entries as they stand (a typed
// password, else the kept one).
SmtpServerSettings ServerSettings(const OptionsRecord& options);
SmtpServerSettings ServerSettings(const OptionsEntries& entries);

// "Send a test mail": a short mail to the reply-to address with the entries as they stand. Returns
// whether it was accepted and the text to show.
struct TestMailOutcome {
    bool accepted = false;
    QString text;
};
TestMailOutcome SendTestMail(const OptionsEntries& entries);

// One person of a selection as the e-mail window lists them before sending.
struct SelectionRecipient {
    qint32 id = 0;
    QString name;      // trimmed online name
    QString address;   // empty when the player has none
    bool found = true; // false: the player's row could not be read
    qint32 zone = 0;   // Player_TimeZone
};
// Everybody a send to the selection reaches, in sending order. Store errors are raised.
QList<SelectionRecipient> SelectionRecipients(const RecipientSelection& selection);
// "To: Ann, Bob (no address), Carl" as the e-mail window shows it.
QString RecipientsText(const QList<SelectionRecipient>& recipients);

// The line of a match in a recipient's mail: "Tuesday 15 December 2026, 20:00 Berlin time — 14:00
// your time (Eastern)"; the recipient's date is given too when it is another day.
QString MatchTimeLine(const QDateTime& utc, const ZoneClock& leader, const ZoneClock& recipient,
                      bool timeFormat24);
// The message with that line after its first line.
QString PersonalMatchMessage(const QString& message, const QString& line);

// Modes "S" and "M": mails everybody in the selection once (the selected players of the visible
// players list, or the active members of the selected divisions, a member of several of them
// mailed only once) and returns the report, one line per person. Store errors are raised.
QString SendToSelection(const RecipientSelection& selection, const DeliveryCall& deliver,
                        const StatusCall& status);
// The same with a delivery made for each recipient (a text of their own).
QString SendToSelection(const RecipientSelection& selection,
                        const std::function<DeliveryCall(const SelectionRecipient&)>& deliverTo,
                        const StatusCall& status);

} // namespace rm
