#include "scheduling/SchedulingMail.h"

#include "scheduling/MatchText.h"
#include "time/TimeText.h"

namespace rm {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

namespace {

SchedulingMail matchMail(const QString& date, const QString& time, const QStringList& names,
                         const QString& zoneName) {
    SchedulingMail mail;
    mail.subject = QStringLiteral("Match Information");
    mail.message = QStringLiteral("We have a match scheduled on ") + date + QStringLiteral(" at ") + time +
                   QStringLiteral(" ") + zoneName + QStringLiteral(".") + kCrLf;
    mail.message +=
        QStringLiteral("According to everyone's submitted schedules, here is a list of who can make it: ") +
        kCrLf;
    for (const QString& name : names)
        mail.message += name + kCrLf;
    return mail;
}

} // namespace

SchedulingMail AvailabilityMail(const QString& dateText, const QString& timeText, const QStringList& names,
                                bool timeFormat24, const QString& zoneName) {
    QString date = dateText.trimmed();
    if (const std::optional<QDate> d = ParseMatchDate(date))
        date = LongMatchDate(*d);
    QString time = timeText.trimmed();
    if (const std::optional<int> t = ParseMatchTime(time))
        time = FormatTimeOfDay(*t, timeFormat24);
    return matchMail(date, time, names, zoneName);
}

SchedulingMail AvailabilityMail(const QDate& date, int minutes, const QStringList& names, bool timeFormat24,
                                const QString& zoneName) {
    return matchMail(LongMatchDate(date), FormatTimeOfDay(minutes, timeFormat24), names, zoneName);
}

SchedulingMail BestTimesMail(const QStringList& entries, const QString& zoneName) {
    SchedulingMail mail;
    mail.subject = QStringLiteral("Here are the best times for a practice/match!");
    for (const QString& entry : entries)
        mail.message += entry + kCrLf;
    mail.message += kCrLf + QStringLiteral("All times are in ") + zoneName + kCrLf;
    return mail;
}

} // namespace rm
