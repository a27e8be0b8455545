#include "time/ZoneClock.h"

#include "data/DbConnection.h"
#include "data/Options.h"
#include "time/TimeText.h"

#include <QLocale>

#include <algorithm>

namespace rm {

namespace {

constexpr int kSunday = 7; // QDate::dayOfWeek

QDate nthSunday(int year, int month, int n) {
    QDate d(year, month, 1);
    while (d.dayOfWeek() != kSunday)
        d = d.addDays(1);
    return d.addDays(7 * (n - 1));
}

QDate lastSunday(int year, int month) {
    QDate d = QDate(year, month, 1).addMonths(1).addDays(-1);
    while (d.dayOfWeek() != kSunday)
        d = d.addDays(-1);
    return d;
}

QDateTime utcOf(const QDate& date, int minutes, int offsetEast) {
    return QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(qint64(minutes - offsetEast) * 60);
}

// Start and end instants of a rule's summer in a year.
std::pair<QDateTime, QDateTime> ruleSummer(const QString& code, int year, int standardOffset) {
    if (code == QLatin1String("U")) {
        if (year < 2007)
            return {utcOf(nthSunday(year, 4, 1), 120, standardOffset),
                    utcOf(lastSunday(year, 10), 120, standardOffset + 60)};
        return {utcOf(nthSunday(year, 3, 2), 120, standardOffset),
                utcOf(nthSunday(year, 11, 1), 120, standardOffset + 60)};
    }
    return {utcOf(lastSunday(year, 3), 60, 0), utcOf(lastSunday(year, 10), 60, 0)};
}

bool hasRule(const QString& code) {
    return code == QLatin1String("U") || code == QLatin1String("E");
}

} // namespace

QDateTime WallClock(const QDate& date, int minutesAfterMidnight) {
    return QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(qint64(minutesAfterMidnight) * 60);
}

bool RuleInEffectAt(const QString& code, const QDateTime& utc, int standardOffset) {
    const QString c = code.trimmed();
    if (!hasRule(c))
        return false;
    const int year = utc.addSecs(qint64(standardOffset) * 60).date().year();
    const auto [start, end] = ruleSummer(c, year, standardOffset);
    return start <= utc && utc < end;
}

ZoneClock::ZoneClock(CatalogZone zone) : m_zone(std::move(zone)) {
    m_zone.daylightCode = m_zone.daylightCode.trimmed();
    m_zone.iana = m_zone.iana.trimmed();
    if (!m_zone.iana.isEmpty()) {
        // Reading a zone's rules from the tz data is slow next to a search: each is read once.
        static QHash<QString, QTimeZone> known;
        const auto it = known.constFind(m_zone.iana);
        if (it != known.cend()) {
            m_real = *it;
        } else {
            const QByteArray id = m_zone.iana.toUtf8();
            if (QTimeZone::isTimeZoneIdAvailable(id))
                m_real = QTimeZone(id);
            known.insert(m_zone.iana, m_real);
        }
    }
}

int ZoneClock::utcOffsetAt(const QDateTime& utc) const {
    if (m_real.isValid())
        return m_real.offsetFromUtc(utc) / 60;
    const int standard = -m_zone.offset;
    return standard + (RuleInEffectAt(m_zone.daylightCode, utc, standard) ? 60 : 0);
}

QDateTime ZoneClock::toLocal(const QDateTime& utc) const {
    const QDateTime u = utc.toUTC();
    return QDateTime(u.date(), u.time(), Qt::UTC).addSecs(qint64(utcOffsetAt(u)) * 60);
}

ResolvedMoment ZoneClock::toUtc(const QDate& date, int minutesAfterMidnight) const {
    return toUtc(WallClock(date, minutesAfterMidnight));
}

ResolvedMoment ZoneClock::toUtc(const QDateTime& wall) const {
    // Every offset in force within a day and a half of the moment is a candidate; a candidate that
    // reads back as the same wall clock is an instant of it.
    const QDateTime naive(wall.date(), wall.time(), Qt::UTC);
    QList<int> offsets;
    for (int hours : {-36, 0, 36}) {
        const int o = utcOffsetAt(naive.addSecs(qint64(hours) * 3600));
        if (!offsets.contains(o))
            offsets << o;
    }
    QList<QDateTime> instants;
    for (int o : offsets) {
        const QDateTime candidate = naive.addSecs(-qint64(o) * 60);
        if (utcOffsetAt(candidate) == o && !instants.contains(candidate))
            instants << candidate;
    }
    std::sort(instants.begin(), instants.end());
    if (instants.size() == 1)
        return {instants.first(), LocalKind::Exact, 0};
    if (instants.size() > 1)
        return {instants.first(), LocalKind::Repeated, 0};
    // Skipped: the offset before the jump gives the instant at which the clocks reach the moment's
    // place after it.
    const int before = utcOffsetAt(naive.addSecs(-36 * 3600));
    const QDateTime instant = naive.addSecs(-qint64(before) * 60);
    const QDateTime shown = toLocal(instant);
    return {instant, LocalKind::Skipped, static_cast<int>(naive.secsTo(shown) / 60)};
}

std::optional<ClockChange> ZoneClock::nextChange(const QDateTime& from, const QDateTime& until) const {
    if (!m_real.isValid())
        return nextRuleChange(from, until);
    QDateTime at = from;
    while (true) {
        const QTimeZone::OffsetData next = m_real.nextTransition(at);
        if (!next.atUtc.isValid() || next.atUtc > until)
            return std::nullopt;
        const int before = m_real.offsetFromUtc(next.atUtc.addSecs(-1)) / 60;
        const int after = next.offsetFromUtc / 60;
        if (before != after)
            return ClockChange{next.atUtc, before, after};
        at = next.atUtc; // a change of name or of standard time that leaves the clocks alone
    }
}

std::optional<ClockChange> ZoneClock::nextRuleChange(const QDateTime& from, const QDateTime& until) const {
    if (!hasRule(m_zone.daylightCode))
        return std::nullopt;
    const int standard = -m_zone.offset;
    for (int year = from.date().year() - 1; year <= until.date().year() + 1; ++year) {
        const auto [start, end] = ruleSummer(m_zone.daylightCode, year, standard);
        if (start > from && start <= until)
            return ClockChange{start, standard, standard + 60};
        if (end > from && end <= until)
            return ClockChange{end, standard + 60, standard};
    }
    return std::nullopt;
}

QString ZoneCatalogStatement() {
    return QStringLiteral(
        "Select TZ_ID, TZ_Name, TZ_Description, TZ_GMT_Offset, TZ_Daylight_Savings, TZ_IANA "
        "From TimeZones");
}

QHash<qint32, ZoneClock> LoadZoneClocks() {
    QHash<qint32, ZoneClock> clocks;
    RowSet rows = Db().execute(ZoneCatalogStatement());
    for (; !rows.eof(); rows.moveNext()) {
        CatalogZone z;
        z.key = rows.integer(QStringLiteral("TZ_ID"));
        z.name = rows.text(QStringLiteral("TZ_Name")).trimmed();
        z.description = rows.text(QStringLiteral("TZ_Description")).trimmed();
        z.offset = rows.integer(QStringLiteral("TZ_GMT_Offset"));
        z.daylightCode = rows.text(QStringLiteral("TZ_Daylight_Savings")).trimmed();
        z.iana = rows.text(QStringLiteral("TZ_IANA")).trimmed();
        clocks.insert(z.key, ZoneClock(z));
    }
    return clocks;
}

std::optional<ZoneClock> LoadZoneClock(qint32 key) {
    const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
    const auto it = clocks.constFind(key);
    if (it == clocks.constEnd())
        return std::nullopt;
    return *it;
}

ZoneClock UserZoneClock() {
    if (std::optional<ZoneClock> clock = LoadZoneClock(CurrentOptions().UserTimeZone))
        return *clock;
    CatalogZone unknown;
    unknown.name = QStringLiteral("Unknown");
    return ZoneClock(unknown);
}

QString ZoneNowText(const ZoneClock& clock, const QDateTime& nowUtc, bool timeFormat24) {
    const QLocale locale;
    const QDateTime local = clock.toLocal(nowUtc);
    QString text = QStringLiteral("Local time now: %1 %2 (%3)")
                       .arg(locale.toString(local.date(), QStringLiteral("ddd d MMM")),
                            FormatTimeOfDay(local.time().msecsSinceStartOfDay() / 60000, timeFormat24),
                            UtcOffsetText(clock.utcOffsetAt(nowUtc)));
    const std::optional<ClockChange> next = clock.nextChange(nowUtc, nowUtc.addDays(366));
    if (!next)
        return text + QStringLiteral(". No clock changes within a year");
    // The date of the change on the zone's own clock, as it reads just after the change.
    const QDate day = clock.toLocal(next->utc).date();
    return text + QStringLiteral(". Clocks go %1 on %2")
                      .arg(next->offsetAfter > next->offsetBefore ? QStringLiteral("forward")
                                                                  : QStringLiteral("back"),
                           locale.toString(day, QStringLiteral("ddd d MMM yyyy")));
}

QStringList RealZoneIds() {
    QStringList ids;
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds())
        ids << QString::fromUtf8(id);
    ids.sort();
    return ids;
}

QString UtcOffsetText(int minutesEastOfUtc) {
    const int a = std::abs(minutesEastOfUtc);
    return QStringLiteral("UTC%1%2:%3")
        .arg(minutesEastOfUtc < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(a / 60, 2, 10, QLatin1Char('0'))
        .arg(a % 60, 2, 10, QLatin1Char('0'));
}

} // namespace rm
