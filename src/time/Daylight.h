#pragma once

#include <QDateTime>
#include <QString>

namespace rm {

// The two daylight-saving rules, evaluated for a given local date and time. Both switch at local
// midnight at the start of the Sunday.
//  - United States: before 2007 from the first Sunday of April to the last Sunday of October; from
//    2007 on from the second Sunday of March to the first Sunday of November.
//  - Europe: from the last Sunday of March to the last Sunday of October.
bool IsUSDaylightTime(const QDateTime& now);
bool IsEUDaylightTime(const QDateTime& now);

// The same against the installed clock.
bool IsUSDaylightTime();
bool IsEUDaylightTime();

// "U" and "E" test their rule; "N" and anything else are never in effect.
bool IsRuleInEffect(const QString& code, const QDateTime& now);
bool IsRuleInEffect(const QString& code);

} // namespace rm
