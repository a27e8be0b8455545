#pragma once

#include "data/CustomFields.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace rm {

// The entries of the Options dialog as the user sees and types them.
struct OptionsEntries {
    QString name;
    QString email;
    qint32 timeZone = 0;                        // key of the chosen zone; 0 when the catalogue is empty
    QString daylightCode = QStringLiteral("N"); // "N", "U" or "E"
    QString maxResults = QStringLiteral("20");
    int granularity = 30;                        // 15, 30 or 60
    QString matchLength = QStringLiteral("120"); // minutes
    bool disableConfirmations = false;
    bool enableICQStatus = false;
    bool timeFormat24 = true; // "HH:MM" chosen; false for "HH:MM AMPM"
    std::array<QString, kCustomFieldCount> customTextTitle;
    std::array<bool, kCustomFieldCount> customTextEnabled{};
    std::array<QString, kCustomFieldCount> customDropTitle;
    std::array<bool, kCustomFieldCount> customDropEnabled{};
    bool enableEmails = false;
    QString smtpServer;
    QString smtpPort = QStringLiteral("26");
    QString replyToName;
    QString replyAddress;
    int smtpSecurity = 0; // 0 none, 1 STARTTLS, 2 SSL/TLS
    QString smtpUserName;
    bool smtpUseLogin = false;
    bool smtpAllowPlainLogin = false;
    QString smtpPassword; // as typed; empty keeps the one in the secret store. Never stored in the row.
    // The clan's Discord webhook address as typed; empty keeps the one in the secret store. Never
    // stored in the row.
    QString discordWebhook;
};

// One entry of the dialog's time zone list.
struct ZoneChoice {
    qint32 key = 0;
    QString text; // "<short name> - <description>"
};

inline constexpr int kMaxResultsLimit = 999;
inline constexpr int kMaxPort = 65535;
inline constexpr int kMaxMatchLength = 1440; // minutes: one day

QString ZoneChoicesSql();
// The zones the dialog offers, ordered by short name. Raises DbError.
QList<ZoneChoice> ReadZoneChoices();

// The stored row as the dialog shows it (defaults for blank names, "20" for a maximum that is not
// positive, 30 for an unknown step, "26" for port 0); nullopt when there is no Options row.
// Raises DbError.
std::optional<OptionsEntries> ReadOptionsEntries();

// The collected validation messages, each followed by a line break; empty when the entries are
// valid. Every number that goes into the update is checked here.
QString ValidateOptions(const OptionsEntries& entries);

// The messages about the SMTP entries alone (server, port, reply-to name and address, the user name
// when logging in), each followed by a line break.
QString ValidateSmtpEntries(const OptionsEntries& entries);

// When the login is a mailbox other than the reply-to address, the warning that servers refuse
// (Microsoft) or rewrite (Gmail) a sender that is not the login mailbox; empty otherwise, and when
// no login is used or the user name is not an address.
QString SenderMismatchWarning(const OptionsEntries& entries);

// The port to show after the security choice changed: the usual port of the new choice, unless the
// user typed the port by hand or it is a port of their own (not one of the usual ones).
QString ProposedPort(const QString& port, bool typedByHand, int security);

// The one update statement for valid entries.
QString OptionsUpdateSql(const OptionsEntries& entries);

// The OK step: validates (showing the collected messages titled "Data Validation"), writes the row,
// keeps a typed SMTP password and webhook address in the secret store and reloads CurrentOptions. Returns
// true when the row was written. Raises DbError when the store refuses the update; the caller keeps the
// entries then.
bool SaveOptions(const OptionsEntries& entries);

} // namespace rm
