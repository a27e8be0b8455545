#pragma once

// What the scheduling screen posts to Discord: the people of the availability result as keys, and
// the best times as instants.

#include "comms/DiscordPost.h"
#include "scheduling/SchedulingSearch.h"

#include <QDate>
#include <QList>

namespace rm {

// The keys of the people free at the moment, in the order the availability search lists them, each
// once: who a post mentions. Raises DbError.
QList<qint32> FindAvailablePlayerIds(const SearchSelection& selection, const GmtMoment& moment);

// The best times as instants with their counts. A slot carries its instant; one counted without it
// is taken on its weekday in the week that starts `today`, on the user's clock.
QList<BestTimePostRow> BestTimePostRows(const QList<CountedSlot>& counted, const QDate& today);

} // namespace rm
