#include "comms/EmailSending.h"

#include "comms/SmtpMailer.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/OptionsForm.h"
#include "data/SecretStore.h"
#include "time/TimeText.h"
#include "time/ZoneClock.h"

#include <QLocale>

namespace rm {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct Person {
    qint32 id = 0;
    QString name; // trimmed
    QString primary;
    QString secondary;
    qint32 zone = 0;
};

Person ReadPerson(const RowSet& row, bool withId) {
    Person p;
    if (withId)
        p.id = row.integer(QStringLiteral("Player_ID"));
    p.name = row.text(QStringLiteral("Player_OnlineName")).trimmed();
    p.primary = row.text(QStringLiteral("Player_EmailPrimary"));
    p.secondary = row.text(QStringLiteral("Player_EmailSecondary"));
    p.zone = row.integer(QStringLiteral("Player_TimeZone"));
    return p;
}

} // namespace

QString PlayerAddressStatement(qint32 playerId) {
    return QStringLiteral(
               "Select Player_EmailPrimary, Player_EmailSecondary, Player_OnlineName, Player_TimeZone "
               "From Players "
               "Where Player_ID = ") +
           QString::number(playerId) + QStringLiteral(" ");
}

QString DivisionRecipientsStatement(qint32 divisionId, const QList<qint32>& handledPlayers) {
    QString sql =
        QStringLiteral("Select Player_ID, Player_EmailPrimary, Player_EmailSecondary, Player_OnlineName, "
                       "Player_TimeZone ") +
        QStringLiteral("From Players, Members ") + QStringLiteral("Where Member_Division_ID = ") +
        QString::number(divisionId) + QStringLiteral(" ") +
        QStringLiteral("And Member_Player_ID = Player_ID ") + QStringLiteral("And Player_Active = True ");
    for (const qint32 handled : handledPlayers)
        sql += QStringLiteral("And Player_ID <> ") + QString::number(handled) + QStringLiteral(" ");
    return sql;
}

QString ChooseAddress(const QString& primary, const QString& secondary) {
    const QString first = primary.trimmed();
    return first.isEmpty() ? secondary.trimmed() : first;
}

QString MissingInformationWarnings(const QString& subject, const QString& message) {
    QString warnings;
    if (subject.trimmed().isEmpty())
        warnings = QStringLiteral("The Subject is blank") + kCrLf;
    if (message.trimmed().isEmpty())
        warnings += QStringLiteral("The Message Content Area is blank") + kCrLf;
    return warnings;
}

QuickRecipient LookUpQuickRecipient(const QString& recipientKey) {
    QuickRecipient recipient;
    bool isNumber = false;
    const qint32 key = recipientKey.trimmed().toInt(&isNumber);
    if (!isNumber)
        return recipient; // no such player
    RowSet row = Db().execute(PlayerAddressStatement(key));
    if (row.eof())
        return recipient;
    recipient.onlineName = row.text(QStringLiteral("Player_OnlineName")).trimmed();
    recipient.address = ChooseAddress(row.text(QStringLiteral("Player_EmailPrimary")),
                                      row.text(QStringLiteral("Player_EmailSecondary")));
    recipient.status = recipient.address.isEmpty() ? QuickRecipient::NoAddress : QuickRecipient::Found;
    row.close();
    return recipient;
}

QString QuickSendErrorText(int result, const QString& failure) {
    QString text = result == SendTimedOut
                       ? QStringLiteral("Rallymark has received a timeout from your SMTP Server") + kCrLf +
                             QStringLiteral("Please check your settings and retry.")
                       : QStringLiteral("While Sending the E-mail(s), Rallymark encountered an error. ") +
                             kCrLf + QStringLiteral("Please check your settings and retry.");
    if (!failure.isEmpty())
        text += kCrLf + kCrLf + failure;
    return text;
}

SmtpServerSettings ServerSettings(const OptionsRecord& o) {
    return {o.SMTPServer,
            o.SMTPPort,
            o.SMTPSecurity,
            o.SMTPUseLogin,
            o.SMTPAllowPlainLogin,
            o.SMTPUserName,
            o.SMTPUseLogin ? SmtpPassword() : QString()};
}

SmtpServerSettings ServerSettings(const OptionsEntries& e) {
    SmtpServerSettings s{e.smtpServer.trimmed(), e.smtpPort.trimmed().toInt(), e.smtpSecurity, e.smtpUseLogin,
                         e.smtpAllowPlainLogin,  e.smtpUserName.trimmed(),     QString()};
    if (s.useLogin)
        s.password = e.smtpPassword.isEmpty() ? SmtpPassword() : e.smtpPassword;
    return s;
}

DeliveryCall OptionsDelivery(const QString& subject, const QString& body, const QByteArray& calendarEvent) {
    const OptionsRecord& o = CurrentOptions();
    // The password is read once for the whole batch.
    return [server = ServerSettings(o), o, subject, body, calendarEvent](const QString& address,
                                                                         QString* failure) {
        const int result = Mailer().send(
            server, {o.ReplyAddress, address, o.ReplyToName, QString(), subject, body, calendarEvent});
        if (failure)
            *failure = Mailer().failureText();
        return result;
    };
}

TestMailOutcome SendTestMail(const OptionsEntries& entries) {
    const QString problems = ValidateSmtpEntries(entries);
    if (!problems.isEmpty())
        return {false, QStringLiteral("The test mail was not sent:") + kCrLf + problems};
    const QString address = entries.replyAddress.trimmed();
    const SmtpServerSettings server = ServerSettings(entries);
    const MailMessage message{
        address,
        address,
        entries.replyToName.trimmed(),
        QString(),
        QStringLiteral("Rallymark test mail"),
        QStringLiteral("This is a test mail from Rallymark: your e-mail settings work.")};
    const int result = Mailer().send(server, message);
    const QString warning = SenderMismatchWarning(entries);
    const QString after = warning.isEmpty() ? QString() : kCrLf + kCrLf + warning;
    if (result == SendAccepted)
        return {true,
                QStringLiteral("The test mail to %1 was accepted by %2.").arg(address, server.host) + after};
    return {false, QStringLiteral("The test mail could not be sent.") + kCrLf + kCrLf +
                       Mailer().failureText() + after};
}

QList<SelectionRecipient> SelectionRecipients(const RecipientSelection& selection) {
    QList<SelectionRecipient> recipients;
    const auto add = [&](const Person& p) {
        recipients << SelectionRecipient{p.id, p.name, ChooseAddress(p.primary, p.secondary), true, p.zone};
    };
    if (selection.playersListVisible()) {
        for (const auto& [playerId, itemText] : selection.selectedPlayers()) {
            RowSet row = Db().execute(PlayerAddressStatement(playerId));
            if (row.eof()) {
                recipients << SelectionRecipient{playerId, itemText.trimmed(), QString(), false};
                continue;
            }
            Person person = ReadPerson(row, false);
            person.id = playerId;
            add(person);
        }
        return recipients;
    }
    QList<qint32> handled;
    for (const qint32 divisionId : selection.selectedDivisions()) {
        RowSet rows = Db().execute(DivisionRecipientsStatement(divisionId, handled));
        for (; !rows.eof(); rows.moveNext()) {
            const Person person = ReadPerson(rows, true);
            if (handled.contains(person.id))
                continue; // a member listed twice in one division
            add(person);
            handled << person.id;
        }
    }
    return recipients;
}

QString RecipientsText(const QList<SelectionRecipient>& recipients) {
    QStringList names;
    for (const SelectionRecipient& r : recipients)
        names << (r.address.isEmpty() ? r.name + QStringLiteral(" (no address)") : r.name);
    return QStringLiteral("To: ") +
           (names.isEmpty() ? QStringLiteral("nobody") : names.join(QStringLiteral(", ")));
}

QString MatchTimeLine(const QDateTime& utc, const ZoneClock& leader, const ZoneClock& recipient,
                      bool timeFormat24) {
    const QLocale locale;
    const QDateTime l = leader.toLocal(utc);
    const QDateTime t = recipient.toLocal(utc);
    const auto time = [&](const QDateTime& wall) {
        return FormatTimeOfDay(wall.time().msecsSinceStartOfDay() / 60000, timeFormat24);
    };
    const auto date = [&](const QDateTime& wall) {
        return locale.toString(wall.date(), QStringLiteral("dddd d MMMM yyyy"));
    };
    // A zone no longer in the catalogue is named as TimeZoneName names it.
    const auto name = [](const ZoneClock& clock) {
        return clock.zone().name.isEmpty() ? QStringLiteral("Unknown") : clock.zone().name;
    };
    QString line = QStringLiteral("%1, %2 %3 time — ").arg(date(l), time(l), name(leader));
    if (t.date() != l.date())
        line += date(t) + QStringLiteral(", ");
    return line + QStringLiteral("%1 your time (%2)").arg(time(t), name(recipient));
}

QString PersonalMatchMessage(const QString& message, const QString& line) {
    const qsizetype end = message.indexOf(QLatin1Char('\n'));
    if (end < 0)
        return message + kCrLf + line;
    return message.left(end + 1) + line + kCrLf + message.mid(end + 1);
}

QString SendToSelection(const RecipientSelection& selection, const DeliveryCall& deliver,
                        const StatusCall& status) {
    return SendToSelection(
        selection, [&](const SelectionRecipient&) { return deliver; }, status);
}

QString SendToSelection(const RecipientSelection& selection,
                        const std::function<DeliveryCall(const SelectionRecipient&)>& deliverTo,
                        const StatusCall& status) {
    // Every recipient is read before anybody is mailed: a delivery lets the event loop run.
    QString report;
    for (const SelectionRecipient& r : SelectionRecipients(selection)) {
        if (!r.found) {
            report += r.name + QStringLiteral("'s email information could not be retrieved") + kCrLf;
            continue;
        }
        if (r.address.isEmpty()) {
            report += r.name + QStringLiteral(" has no e-mail addresses defined!") + kCrLf;
            continue;
        }
        status(QStringLiteral("Sending E-Mail to ") + r.name + QStringLiteral("..."));
        QString failure;
        if (deliverTo(r)(r.address, &failure) == SendAccepted) {
            report += QStringLiteral("E-mail to ") + r.name + QStringLiteral(" successful") + kCrLf;
            continue;
        }
        report += QStringLiteral("Error received while sending mail to ") + r.name;
        if (!failure.isEmpty())
            report += QStringLiteral(": ") + failure.replace(kCrLf, QStringLiteral(" "));
        report += kCrLf;
    }
    return report;
}

} // namespace rm
