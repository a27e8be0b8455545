#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace rm {

// A zone of the catalogue as the conversions need it.
struct ZoneRule {
    qint32 offset = 0;    // minutes added to the zone's local time to reach GMT
    QString daylightCode; // "N", "U" or "E"
};

// Conversion of times between a catalogue zone's local time and GMT.
//   toGMT(t)   = t + o - 60*z + 60*u
//   fromGMT(t) = t - o + 60*z - 60*u
// with o the zone's offset, z = 1 while the zone's rule is in effect now, u = 1 when the user is in
// daylight time. The two are exact inverses, and two local moments that are the same instant give
// the same value whatever their zones.
class cTimeFuncs {
public:
    // Minutes from any origin (minutes of the week, of a day, ...), carried arithmetic.
    qint32 toGMT(qint32 minutes, qint32 zone, bool userDaylightNow);
    qint32 fromGMT(qint32 minutes, qint32 zone, bool userDaylightNow);
    QDateTime toGMT(const QDateTime& t, qint32 zone, bool userDaylightNow);
    QDateTime fromGMT(const QDateTime& t, qint32 zone, bool userDaylightNow);

    // The system's own zone: minutes to add to local time to reach UTC; -1 when the system zone has
    // no daylight saving (its state is unknown).
    qint16 getGMTBias();
    QDateTime getGMT();

    // The shift toGMT applies for a zone: o - 60*z + 60*u. Reports an unknown zone once per call
    // ("Unrecoverable Data Error.  Number 1024") and takes its offset as 0.
    qint32 toGMTShift(qint32 zone, bool userDaylightNow);

    // One catalogue lookup; nullopt when no zone has the key (no message).
    static std::optional<ZoneRule> LookupZone(qint32 zone);
    // The pure arithmetic behind toGMT, for callers that convert many times with one zone.
    static qint32 ShiftToGMT(const ZoneRule& rule, bool zoneDaylightNow, bool userDaylightNow) {
        return rule.offset - (zoneDaylightNow ? 60 : 0) + (userDaylightNow ? 60 : 0);
    }

private:
    qint32 GetZoneOffset(qint32 zone, bool forward);
};

// The one shared instance.
cTimeFuncs& TimeFuncs();

} // namespace rm
