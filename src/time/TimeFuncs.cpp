#include "time/TimeFuncs.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "time/Daylight.h"

#include <QTimeZone>

namespace rm {

std::optional<ZoneRule> cTimeFuncs::LookupZone(qint32 zone) {
    RowSet rows = Db().execute(
        QStringLiteral("Select TZ_GMT_OFFSET, TZ_Daylight_Savings From TimeZones Where TZ_ID = %1 ")
            .arg(zone));
    if (rows.eof())
        return std::nullopt;
    ZoneRule rule;
    rule.offset = rows.integer(QStringLiteral("TZ_GMT_Offset"));
    rule.daylightCode = rows.text(QStringLiteral("TZ_Daylight_Savings")).trimmed();
    return rule;
}

// Forward: the zone's part of toGMT (o - 60*z); backward: the zone's part of fromGMT (-o + 60*z).
qint32 cTimeFuncs::GetZoneOffset(qint32 zone, bool forward) {
    const std::optional<ZoneRule> rule = LookupZone(zone);
    if (!rule) {
        ShowMessage(QStringLiteral("Unrecoverable Data Error.  Number 1024"), AlignCenterText, vbOKOnly,
                    vbCritical, QStringLiteral("Database Access Error"));
        return 0;
    }
    const qint32 daylight = IsRuleInEffect(rule->daylightCode) ? 60 : 0;
    return forward ? rule->offset - daylight : -rule->offset + daylight;
}

qint32 cTimeFuncs::toGMTShift(qint32 zone, bool userDaylightNow) {
    return GetZoneOffset(zone, true) + (userDaylightNow ? 60 : 0);
}

qint32 cTimeFuncs::toGMT(qint32 minutes, qint32 zone, bool userDaylightNow) {
    return minutes + toGMTShift(zone, userDaylightNow);
}

qint32 cTimeFuncs::fromGMT(qint32 minutes, qint32 zone, bool userDaylightNow) {
    qint32 m = GetZoneOffset(zone, false);
    if (userDaylightNow)
        m -= 60;
    return minutes + m;
}

QDateTime cTimeFuncs::toGMT(const QDateTime& t, qint32 zone, bool userDaylightNow) {
    return t.addSecs(qint64(toGMTShift(zone, userDaylightNow)) * 60);
}

QDateTime cTimeFuncs::fromGMT(const QDateTime& t, qint32 zone, bool userDaylightNow) {
    return t.addSecs(qint64(fromGMT(0, zone, userDaylightNow)) * 60);
}

qint16 cTimeFuncs::getGMTBias() {
    const QTimeZone system = QTimeZone::systemTimeZone();
    if (!system.isValid() || !system.hasDaylightTime())
        return -1;
    const QDateTime now = Now();
    return static_cast<qint16>(-system.offsetFromUtc(now) / 60);
}

QDateTime cTimeFuncs::getGMT() {
    const QDateTime now = Now();
    const QTimeZone system = QTimeZone::systemTimeZone();
    if (!system.isValid())
        return now;
    // The bias in force now is added also where the zone has no daylight saving: a zone without
    // daylight saving still has its standard bias.
    const QDateTime local(now.date(), now.time(), Qt::UTC);
    return local.addSecs(-system.offsetFromUtc(now));
}

cTimeFuncs& TimeFuncs() {
    static cTimeFuncs instance;
    return instance;
}

} // namespace rm
