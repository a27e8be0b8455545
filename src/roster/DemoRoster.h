#pragma once

#include <QtGlobal>

namespace rm {

// Fills the open application database (Db(), holding the starter contents) with a sample clan for
// trying the program out, screenshots and benchmarks: a few games, divisions (one of them switched
// off) with titles, and `players` players with seeded random online names, zones of the catalogue,
// connection types, memberships, active flags and weekly schedules of a few stretches a day. The
// players are written by the same save sequence as the player dialog, all in one transaction. The
// same seed gives the same roster. Raises DbError when the store refuses a statement (nothing is
// kept then).
void WriteDemoRoster(int players, quint32 seed = 1);

} // namespace rm
