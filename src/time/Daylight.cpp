#include "time/Daylight.h"

#include "data/AppEnvironment.h"

namespace rm {

namespace {

constexpr int kSunday = 7; // QDate::dayOfWeek

QDate firstSundayOnOrAfter(QDate d) {
    while (d.dayOfWeek() != kSunday)
        d = d.addDays(1);
    return d;
}

QDate lastSundayOnOrBefore(QDate d) {
    while (d.dayOfWeek() != kSunday)
        d = d.addDays(-1);
    return d;
}

bool within(const QDateTime& now, QDate start, QDate end) {
    const QDateTime s(start, QTime(0, 0));
    const QDateTime e(end, QTime(0, 0));
    // Compare as local wall-clock values, whatever zone the QDateTime carries.
    const QDateTime n(now.date(), now.time());
    return s <= n && n <= e;
}

} // namespace

bool IsUSDaylightTime(const QDateTime& now) {
    const int y = now.date().year();
    if (y < 2007) {
        return within(now, firstSundayOnOrAfter(QDate(y, 4, 1)), lastSundayOnOrBefore(QDate(y, 10, 31)));
    }
    const QDate secondSundayOfMarch = firstSundayOnOrAfter(QDate(y, 3, 1)).addDays(7);
    const QDate firstSundayOfNovember = firstSundayOnOrAfter(QDate(y, 11, 1));
    return within(now, secondSundayOfMarch, firstSundayOfNovember);
}

bool IsEUDaylightTime(const QDateTime& now) {
    const int y = now.date().year();
    return within(now, lastSundayOnOrBefore(QDate(y, 3, 31)), lastSundayOnOrBefore(QDate(y, 10, 31)));
}

bool IsUSDaylightTime() {
    return IsUSDaylightTime(Now());
}
bool IsEUDaylightTime() {
    return IsEUDaylightTime(Now());
}

bool IsRuleInEffect(const QString& code, const QDateTime& now) {
    const QString c = code.trimmed();
    if (c == QLatin1String("U"))
        return IsUSDaylightTime(now);
    if (c == QLatin1String("E"))
        return IsEUDaylightTime(now);
    return false;
}

bool IsRuleInEffect(const QString& code) {
    return IsRuleInEffect(code, Now());
}

} // namespace rm
