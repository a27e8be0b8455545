#pragma once

#include "roster/PlayerStore.h"

#include <optional>

namespace rm {

// The roster's rules for a player as the dialog saves it, the same as the import's: the online name
// must not match another player's but for capitals and blanks, and each e-mail address must have the
// shape of one. The lines of the "Data Validation" box, or nothing. `ownKey` is the player being
// edited (0 for a new one). Raises DbError.
std::optional<QString> PlayerRosterRulesMessage(const PlayerRecord& player, qint32 ownKey);

} // namespace rm
