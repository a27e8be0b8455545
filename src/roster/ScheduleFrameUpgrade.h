#pragma once

// Files written before weeks kept their wall-clock time hold each stretch as it was converted with
// the daylight state of the day it was saved, and show it with today's. The upgrade rewrites every
// player's rows so that the week reads exactly as the player window showed it just before.

#include <QDateTime>

namespace rm {

class DbConnection;

// Rewrites the Schedules rows of every player into the zone's standard-time frame. `now` decides the
// daylight states with which the earlier version showed the weeks. A player with a row that cannot be
// read is left as it is. Runs inside the caller's transaction; raises DbError.
void ConvertSchedulesToStandardFrame(DbConnection& db, const QDateTime& now);

} // namespace rm
