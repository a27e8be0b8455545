#include "data/OptionsForm.h"

#include "comms/DiscordWebhook.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "data/SecretStore.h"
#include "data/SqlText.h"

#include <QRegularExpression>

namespace rm {

namespace {

QString q(const QString& text) {
    return EscapeQuotes(text.trimmed());
}

QString column(const char* pattern, int n) {
    return QString::fromLatin1(pattern).arg(n);
}

// A typed whole number without sign; nullopt when the text is not one (or too long to be sane).
std::optional<qint32> ParseDigits(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString t = text.trimmed();
    if (!digits.match(t).hasMatch())
        return std::nullopt;
    return t.toInt();
}

// The port as it is written: empty or 0 (only while e-mail is off) is 0.
qint32 PortValue(const QString& text) {
    return ParseDigits(text).value_or(0);
}

} // namespace

QString ZoneChoicesSql() {
    return QStringLiteral("Select TZ_ID, TZ_Name, TZ_Description ") + QStringLiteral("From TimeZones ") +
           QStringLiteral("Order By TZ_Name");
}

QList<ZoneChoice> ReadZoneChoices() {
    QList<ZoneChoice> zones;
    RowSet rows = Db().execute(ZoneChoicesSql());
    for (; !rows.eof(); rows.moveNext())
        zones << ZoneChoice{rows.integer(QStringLiteral("TZ_ID")),
                            rows.text(QStringLiteral("TZ_Name")).trimmed() + QStringLiteral(" - ") +
                                rows.text(QStringLiteral("TZ_Description")).trimmed()};
    rows.close();
    return zones;
}

std::optional<OptionsEntries> ReadOptionsEntries() {
    RowSet rows = Db().execute(QStringLiteral("Select * From Options Where Options_ID = 1"));
    if (rows.eof())
        return std::nullopt;
    OptionsEntries e;
    e.name = rows.text(QStringLiteral("Options_Name")).trimmed();
    if (e.name.isEmpty())
        e.name = kDefaultUserName;
    e.email = rows.text(QStringLiteral("Options_Email")).trimmed();
    if (e.email.isEmpty())
        e.email = kPlaceholderEmail;
    e.timeZone = rows.integer(QStringLiteral("Options_TimeZone"));
    const QString dst = rows.text(QStringLiteral("Options_DST")).trimmed();
    e.daylightCode = dst == QLatin1String("U") || dst == QLatin1String("E") ? dst : QStringLiteral("N");
    const qint32 maxResults = rows.integer(QStringLiteral("Options_MaxResults"));
    e.maxResults = maxResults > 0 ? QString::number(maxResults) : QStringLiteral("20");
    const qint32 step = rows.integer(QStringLiteral("Options_BestTimesGranularity"));
    e.granularity = step == 15 || step == 30 || step == 60 ? step : 30;
    const qint32 matchLength = rows.integer(QStringLiteral("Options_MatchLength"));
    e.matchLength = matchLength > 0 ? QString::number(matchLength) : QStringLiteral("120");
    e.disableConfirmations = rows.boolean(QStringLiteral("Options_DisableConfirmations"));
    e.enableICQStatus = rows.boolean(QStringLiteral("Options_EnableICQStatus"));
    e.timeFormat24 = rows.boolean(QStringLiteral("Options_Time_Format"));
    for (int n = 1; n <= kCustomFieldCount; ++n) {
        e.customTextTitle[n - 1] = rows.text(column("Options_Custom%1_Text_Title", n)).trimmed();
        e.customTextEnabled[n - 1] = rows.boolean(column("Options_Custom%1_Text_Enabled", n));
        e.customDropTitle[n - 1] = rows.text(column("Options_Custom%1_Drop_Title", n)).trimmed();
        e.customDropEnabled[n - 1] = rows.boolean(column("Options_Custom%1_Drop_Enabled", n));
    }
    e.enableEmails = rows.boolean(QStringLiteral("Options_EnableEmails"));
    e.smtpServer = rows.text(QStringLiteral("Options_SMTPServer")).trimmed();
    const qint32 port = rows.integer(QStringLiteral("Options_SMTPPort"));
    e.smtpPort = port == 0 ? QStringLiteral("26") : QString::number(port);
    e.replyToName = rows.text(QStringLiteral("Options_ReplyToName")).trimmed();
    e.replyAddress = rows.text(QStringLiteral("Options_ReplyAddress")).trimmed();
    const qint32 security = rows.integer(QStringLiteral("Options_SMTPSecurity"));
    e.smtpSecurity = security >= 0 && security <= 2 ? security : 0;
    e.smtpUserName = rows.text(QStringLiteral("Options_SMTPUserName")).trimmed();
    e.smtpUseLogin = rows.boolean(QStringLiteral("Options_SMTPUseLogin"));
    e.smtpAllowPlainLogin = rows.boolean(QStringLiteral("Options_SMTPAllowPlainLogin"));
    rows.close();
    return e;
}

QString ValidateOptions(const OptionsEntries& e) {
    QString messages;
    const auto add = [&messages](const char* text) {
        messages += QString::fromLatin1(text) + QLatin1Char('\n');
    };
    if (e.name.trimmed().isEmpty())
        add("User name is required");
    if (e.email.trimmed().isEmpty())
        add("User email address is required");
    const std::optional<qint32> maxResults = ParseDigits(e.maxResults);
    if (!maxResults || *maxResults <= 0)
        add("Maximum Results field must be a number greater than zero");
    else if (*maxResults > kMaxResultsLimit)
        add("Maximum Results field must not be greater than 999");
    const std::optional<qint32> matchLength = ParseDigits(e.matchLength);
    if (!matchLength || *matchLength <= 0 || *matchLength > kMaxMatchLength)
        add("Match Length must be a number of minutes from 1 to 1440");
    for (int i = 0; i < kCustomFieldCount; ++i) {
        const bool textMissing = e.customTextEnabled[i] && e.customTextTitle[i].trimmed().isEmpty();
        const bool dropMissing = e.customDropEnabled[i] && e.customDropTitle[i].trimmed().isEmpty();
        if (textMissing || dropMissing)
            add("Custom field enabled without a title!");
    }
    const std::optional<qint32> port = ParseDigits(e.smtpPort);
    if (e.enableEmails) {
        messages += ValidateSmtpEntries(e);
    } else if (!e.smtpPort.trimmed().isEmpty() && (!port || *port > kMaxPort)) {
        // A port kept while e-mail is off is still written, so it must be a real one.
        add("SMTP Port Number must be a number from 1 to 65535");
    }
    if (!e.discordWebhook.trimmed().isEmpty() && !ParseWebhookAddress(e.discordWebhook))
        messages += kWebhookAddressProblem;
    return messages;
}

QString SenderMismatchWarning(const OptionsEntries& e) {
    const QString login = e.smtpUserName.trimmed();
    const QString reply = e.replyAddress.trimmed();
    if (!e.smtpUseLogin || !login.contains(QLatin1Char('@')) || reply.isEmpty() ||
        login.compare(reply, Qt::CaseInsensitive) == 0)
        return QString();
    return QStringLiteral("The mail goes out from the reply-to address %1, but the login is the mailbox %2. "
                          "Many servers refuse mail whose sender is not the login mailbox (Microsoft) or "
                          "rewrite the sender (Gmail); use the login mailbox as the reply-to address.")
        .arg(reply, login);
}

QString ValidateSmtpEntries(const OptionsEntries& e) {
    QString messages;
    const auto add = [&messages](const char* text) {
        messages += QString::fromLatin1(text) + QLatin1Char('\n');
    };
    const std::optional<qint32> port = ParseDigits(e.smtpPort);
    if (e.smtpServer.trimmed().isEmpty())
        add("SMTP Server Name missing");
    if (e.smtpPort.trimmed().isEmpty())
        add("SMTP Port Number missing");
    else if (!port || *port < 1 || *port > kMaxPort)
        add("SMTP Port Number must be a number from 1 to 65535");
    if (e.replyToName.trimmed().isEmpty())
        add("SMTP Reply To Name missing");
    if (e.replyAddress.trimmed().isEmpty())
        add("SMTP Reply To Address missing");
    if (e.smtpUseLogin && e.smtpUserName.trimmed().isEmpty())
        add("SMTP User Name missing");
    return messages;
}

QString ProposedPort(const QString& port, bool typedByHand, int security) {
    static const QStringList usual = {QStringLiteral("25"), QStringLiteral("26"), QStringLiteral("465"),
                                      QStringLiteral("587")};
    if (typedByHand && !port.trimmed().isEmpty())
        return port;
    if (!port.trimmed().isEmpty() && !usual.contains(port.trimmed()))
        return port;
    return QString::number(security == 1 ? 587 : security == 2 ? 465 : 25);
}

QString OptionsUpdateSql(const OptionsEntries& e) {
    const auto flag = [](bool on) { return on ? QStringLiteral("1, ") : QStringLiteral("0, "); };
    const QString dst = e.daylightCode == QLatin1String("U") || e.daylightCode == QLatin1String("E")
                            ? e.daylightCode
                            : QStringLiteral("N");
    const int step = e.granularity == 15 || e.granularity == 60 ? e.granularity : 30;
    QString sql = QStringLiteral("Update Options ") + QStringLiteral("Set Options_Name = '") + q(e.name) +
                  QStringLiteral("', ");
    sql += QStringLiteral("Options_Email = '") + q(e.email) + QStringLiteral("', ");
    sql += QStringLiteral("Options_TimeZone = ") + QString::number(e.timeZone) + QStringLiteral(", ");
    sql += QStringLiteral("Options_DST = '") + dst + QStringLiteral("', ");
    sql += QStringLiteral("Options_MaxResults = ") + QString::number(ParseDigits(e.maxResults).value_or(20)) +
           QStringLiteral(", ");
    sql += QStringLiteral("Options_BestTimesGranularity = ") + QString::number(step) + QStringLiteral(", ");
    sql += QStringLiteral("Options_MatchLength = ") +
           QString::number(ParseDigits(e.matchLength).value_or(120)) + QStringLiteral(", ");
    sql += QStringLiteral("Options_DisableConfirmations = ") + flag(e.disableConfirmations);
    sql += QStringLiteral("Options_EnableICQStatus = ") + flag(e.enableICQStatus);
    sql += QStringLiteral("Options_Time_Format = ") + flag(e.timeFormat24);
    for (int n = 1; n <= kCustomFieldCount; ++n) {
        sql += column("Options_Custom%1_Text_Title = '", n) + q(e.customTextTitle[n - 1]) +
               QStringLiteral("', ");
        sql += column("Options_Custom%1_Text_Enabled = ", n) + flag(e.customTextEnabled[n - 1]);
    }
    for (int n = 1; n <= kCustomFieldCount; ++n) {
        sql += column("Options_Custom%1_Drop_Title = '", n) + q(e.customDropTitle[n - 1]) +
               QStringLiteral("', ");
        sql += column("Options_Custom%1_Drop_Enabled = ", n) + flag(e.customDropEnabled[n - 1]);
    }
    sql += QStringLiteral("Options_EnableEmails = ") + flag(e.enableEmails);
    sql += QStringLiteral("Options_SMTPServer = '") + q(e.smtpServer) + QStringLiteral("', ");
    sql +=
        QStringLiteral("Options_SMTPPort = ") + QString::number(PortValue(e.smtpPort)) + QStringLiteral(", ");
    sql += QStringLiteral("Options_SMTPSecurity = ") +
           QString::number(e.smtpSecurity >= 0 && e.smtpSecurity <= 2 ? e.smtpSecurity : 0) +
           QStringLiteral(", ");
    sql += QStringLiteral("Options_SMTPUserName = '") + q(e.smtpUserName) + QStringLiteral("', ");
    sql += QStringLiteral("Options_SMTPUseLogin = ") + flag(e.smtpUseLogin);
    sql += QStringLiteral("Options_SMTPAllowPlainLogin = ") + flag(e.smtpAllowPlainLogin);
    sql += QStringLiteral("Options_ReplyToName = '") + q(e.replyToName) + QStringLiteral("', ");
    sql += QStringLiteral("Options_ReplyAddress = '") + q(e.replyAddress) + QStringLiteral("' ");
    sql += QStringLiteral("Where Options_ID = 1");
    return sql;
}

bool SaveOptions(const OptionsEntries& entries) {
    const QString messages = ValidateOptions(entries);
    if (!messages.isEmpty()) {
        ShowMessage(messages, AlignLeftText, vbOKOnly, vbExclamation, QStringLiteral("Data Validation"));
        return false;
    }
    Db().execute(OptionsUpdateSql(entries));
    if (!entries.smtpPassword.isEmpty())
        KeepSmtpPassword(entries.smtpPassword);
    if (!entries.discordWebhook.trimmed().isEmpty())
        KeepDiscordWebhookAddress(0, entries.discordWebhook);
    LoadOptions();
    return true;
}

} // namespace rm
