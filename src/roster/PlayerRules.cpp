#include "roster/PlayerRules.h"

#include "data/NameRules.h"

namespace rm {

std::optional<QString> PlayerRosterRulesMessage(const PlayerRecord& player, qint32 ownKey) {
    QString message;
    if (const std::optional<QString> existing = ExistingName(
            QStringLiteral("Select Player_ID, Player_OnlineName From Players"), player.onlineName, ownKey))
        message += QStringLiteral("The online name \"%1\" is already used by the player \"%2\"\n")
                       .arg(player.onlineName.trimmed(), *existing);
    for (const QString& address : {player.emailPrimary.trimmed(), player.emailSecondary.trimmed()})
        if (!IsEmailAddress(address))
            message += QStringLiteral("The e-mail address \"%1\" is not a valid address (it reads like "
                                      "name@example.com)\n")
                           .arg(address);
    if (message.isEmpty())
        return std::nullopt;
    return message;
}

} // namespace rm
