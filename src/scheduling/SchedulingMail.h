#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace rm {

// The subject and message the scheduling screen hands the e-mail window.
struct SchedulingMail {
    QString subject;
    QString message;
};

// "We have a match scheduled on <long date> at <time> <zone>." and the names that can make it.
// A date or time text that does not parse is written as typed.
SchedulingMail AvailabilityMail(const QString& dateText, const QString& timeText, const QStringList& names,
                                bool timeFormat24, const QString& zoneName);
// The same for a date and a time of day (minutes after midnight) already read.
SchedulingMail AvailabilityMail(const QDate& date, int minutes, const QStringList& names, bool timeFormat24,
                                const QString& zoneName);

// The best-times entries as shown, an empty line and "All times are in <zone>".
SchedulingMail BestTimesMail(const QStringList& entries, const QString& zoneName);

} // namespace rm
