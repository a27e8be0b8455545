#pragma once

#include <QString>

#include <optional>

namespace rm {

// A zone of the catalogue as the maintenance dialog holds it.
struct TimeZoneEntry {
    QString name;                               // short name, the list order
    QString description;                        // long name
    qint32 offset = 0;                          // minutes added to the zone's local time to reach GMT
    QString daylightCode = QStringLiteral("N"); // "N", "U" or "E"
    QString realZone;                           // a zone of the tz database; empty for none
};

// Offsets run from UTC+14:00 (-840) to UTC-12:00 (720), the zones clocks actually keep.
inline constexpr qint32 kMinZoneOffset = -840;
inline constexpr qint32 kMaxZoneOffset = 720;
inline const QString kZoneOffsetRefusal =
    QStringLiteral("GMT Offset must lie from UTC\u221212:00 to UTC+14:00: type it as \"+13:00\", \"-3:30\", "
                   "\"UTC+5:45\", or in minutes added to local time to reach GMT (-60 for UTC+01:00).");

// The zone's short name, trimmed; "Unknown" when no zone has the key. Raises DbError when the store
// refuses.
QString TimeZoneName(qint32 key);

// The list column text of a daylight code: "US", "EU", or "None" for "N" and anything else.
QString DaylightColumnText(const QString& code);
// The code as the dialog's option buttons know it: "U", "E", or "N" for anything else.
QString NormalizedDaylightCode(const QString& code);

// The typed offset in the column's minutes (added to local time to reach GMT), within the range
// above; nullopt otherwise. Reads clock offsets ("+13:00", "-3:30", "UTC+5:45", "GMT-8") and plain
// minutes, which keep the column's sign ("-60" is UTC+01:00).
std::optional<qint32> ParseZoneOffset(const QString& text);
// The column's minutes as clocks show the offset: -780 reads "UTC+13:00", 210 "UTC\u221203:30".
QString FormatZoneOffset(qint32 offset);

// Statements of the catalogue.
QString TimeZoneListSql();
QString TimeZoneSelectSql(qint32 key);
QString TimeZoneInsertSql(const TimeZoneEntry& zone);
QString TimeZoneUpdateSql(const TimeZoneEntry& zone, qint32 key);
QString TimeZoneInUseSql(qint32 key);
QString TimeZoneDeleteSql(qint32 key);

// The OK step of the zone dialog for a mode ("Add", "Edit", "Delete", any case) with the fields as
// typed: shows the validation and in-use messages itself and returns true when the statement has run
// and the dialog may close. Raises DbError when the store refuses.
// `realZone` is a zone of the tz database or empty; another text is refused with a message.
bool SaveTimeZone(const QString& mode, qint32 key, const QString& name, const QString& description,
                  const QString& offsetText, const QString& daylightCode,
                  const QString& realZone = QString());

// The list column text of an entry's real zone: the zone, or "no real zone".
QString RealZoneColumnText(const QString& realZone);

} // namespace rm
