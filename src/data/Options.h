#pragma once

#include "data/CustomFields.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace rm {

// The in-memory copy of the Options row.
struct OptionsRecord {
    QString UserName;
    QString UserEmail;
    qint32 UserTimeZone = 0;
    bool UserDaylightNow = false; // decided when the record is loaded, not recomputed afterwards
    qint16 MaxResults = 0;
    qint16 BestTimesGranularity = 0;
    bool DisableConfirmations = false;
    bool EnableICQStatus = false;
    bool TimeFormat = false; // true: "HH:MM"; false: "HH:MM AMPM"
    std::array<QString, kCustomFieldCount> CustomTextTitle;
    std::array<bool, kCustomFieldCount> CustomTextEnabled{};
    std::array<QString, kCustomFieldCount> CustomDropTitle;
    std::array<bool, kCustomFieldCount> CustomDropEnabled{};
    bool EnableEmails = false;
    QString SMTPServer;
    qint32 SMTPPort = 0; // a real port number, 0 to 65535
    QString ReplyToName;
    QString ReplyAddress;
    int SMTPSecurity = 0; // 0 none, 1 STARTTLS, 2 SSL/TLS from the first byte
    QString SMTPUserName;
    bool SMTPUseLogin = false;
    bool SMTPAllowPlainLogin = false; // login over a connection without TLS
    int MatchLength = 120;            // minutes
};

inline const QString kDefaultUserName = QStringLiteral("John Q. User");
inline const QString kPlaceholderEmail = QStringLiteral("user@example.com");

OptionsRecord& CurrentOptions();

// Reads the Options row into CurrentOptions, applying the defaults, and lets the main window update
// its Custom Fields menu. Store errors are shown with the standard error report; false then.
bool LoadOptions();
// The same without showing anything: the store's description when the row could not be read.
std::optional<QString> ReadOptionsRecord();

// Called at the end of every LoadOptions with the record just loaded (the main window shows the
// entries of the enabled pick-list fields and hides the others).
void SetCustomFieldsMenuUpdater(std::function<void(const OptionsRecord&)> updater);

// Also called at the end of every LoadOptions, for as long as `owner` lives (a screen that shows
// times in the user's zone or at the chosen step redraws itself).
void AddOptionsLoadedListener(QObject* owner, std::function<void()> listener);

} // namespace rm
