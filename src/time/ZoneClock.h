#pragma once

// The clocks of real places. A catalogue zone names a zone of the tz database (TZ_IANA), whose
// offsets on any date come from the system's tz data through QTimeZone; an entry without one keeps
// its fixed offset and its daylight rule ("U" or "E"), evaluated on the date in question at the
// legal hour of the change.
//
// Offsets here are written the usual way, minutes east of UTC (Berlin in winter +60); the catalogue's
// TZ_GMT_Offset keeps its own sign (minutes added to local standard time to reach GMT, Berlin -60).
//
// Wall-clock values (a date and a time on somebody's clock) are carried as QDateTime in Qt::UTC so
// that no system zone ever takes part; instants are QDateTime in UTC too.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace rm {

// A catalogue entry as the clocks need it.
struct CatalogZone {
    qint32 key = 0;
    QString name;
    QString description;
    qint32 offset = 0;                          // TZ_GMT_Offset
    QString daylightCode = QStringLiteral("N"); // the rule of an entry without a real zone
    QString iana;                               // a zone of the tz database; empty for none
};

// How a wall-clock moment became an instant.
enum class LocalKind {
    Exact,    // the moment happens once
    Skipped,  // the clocks jumped over it: the instant is the same moment moved forward by the jump
    Repeated, // the clocks went back over it: the first of the two instants
};

struct ResolvedMoment {
    QDateTime utc;
    LocalKind kind = LocalKind::Exact;
    int movedMinutes = 0; // Skipped: how far the moment was moved forward
};

// One change of a zone's clocks.
struct ClockChange {
    QDateTime utc;        // the instant of the change
    int offsetBefore = 0; // minutes east of UTC
    int offsetAfter = 0;
};

class ZoneClock {
public:
    ZoneClock() = default;
    explicit ZoneClock(CatalogZone zone);

    const CatalogZone& zone() const { return m_zone; }
    // True when the entry names a zone that the system's tz data knows.
    bool hasRealZone() const { return m_real.isValid(); }
    const QTimeZone& realZone() const { return m_real; }

    // Minutes east of UTC at an instant.
    int utcOffsetAt(const QDateTime& utc) const;
    // Minutes the zone's clocks stand ahead of its standard frame (local + TZ_GMT_Offset) at an
    // instant: 0 on standard time, 60 in most summers. This is the lookup shift of stored weeks.
    int frameShiftAt(const QDateTime& utc) const { return utcOffsetAt(utc) + m_zone.offset; }
    // The wall clock at an instant.
    QDateTime toLocal(const QDateTime& utc) const;
    // The instant of a wall-clock moment.
    ResolvedMoment toUtc(const QDate& date, int minutesAfterMidnight) const;
    ResolvedMoment toUtc(const QDateTime& wall) const;
    // The first change of the clocks after `from` and not later than `until`.
    std::optional<ClockChange> nextChange(const QDateTime& from, const QDateTime& until) const;

private:
    std::optional<ClockChange> nextRuleChange(const QDateTime& from, const QDateTime& until) const;

    CatalogZone m_zone;
    QTimeZone m_real;
};

// The wall-clock value of a date and a time of day (minutes, may reach or pass 24:00).
QDateTime WallClock(const QDate& date, int minutesAfterMidnight);

// The two catalogue rules at their legal hours, for an instant: United States (second Sunday of
// March 02:00 local standard time to first Sunday of November 02:00 local daylight time; before 2007
// first Sunday of April to last Sunday of October) and Europe (last Sunday of March to last Sunday of
// October, 01:00 UTC). `standardOffset` is minutes east of UTC.
bool RuleInEffectAt(const QString& code, const QDateTime& utc, int standardOffset);

// Catalogue reads. Store errors raise DbError.
QString ZoneCatalogStatement();
QHash<qint32, ZoneClock> LoadZoneClocks();
std::optional<ZoneClock> LoadZoneClock(qint32 key);
// The user's own zone (CurrentOptions().UserTimeZone); UTC with the name "Unknown" when the
// catalogue has no such entry.
ZoneClock UserZoneClock();

// What the player window says under a zone: "Local time now: Tue 15 Dec 21:05 (UTC+01:00)" and the
// next change within a year: "Clocks go forward on Sun 29 Mar 2026" (or "go back"), else "No clock
// changes within a year".
QString ZoneNowText(const ZoneClock& clock, const QDateTime& nowUtc, bool timeFormat24);

// The zones of the tz database installed on this system, sorted.
QStringList RealZoneIds();
// "UTC+05:45", "UTC-03:30", "UTC+00:00".
QString UtcOffsetText(int minutesEastOfUtc);

} // namespace rm
