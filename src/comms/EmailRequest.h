#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace rm {

// The selection of a screen that sends to several people (the scheduling screen in mode "S", the
// communications centre in mode "M"): a players list and a divisions list, of which one is visible.
class RecipientSelection {
public:
    virtual ~RecipientSelection() = default;
    virtual bool playersListVisible() const = 0;
    // Selected players in list order: Player_ID and the item's text.
    virtual QList<QPair<qint32, QString>> selectedPlayers() const = 0;
    // Selected divisions in list order: Division_ID.
    virtual QList<qint32> selectedDivisions() const = 0;
};

// What an opener hands the e-mail window.
struct EmailRequest {
    QString sendMode;     // "Q" one player, "S" scheduling selection, "M" communications centre
    QString recipientKey; // mode "Q": the player's key in decimal
    QString subject;
    QString message;
    const RecipientSelection* selection = nullptr; // modes "S" and "M"
    QByteArray calendarEvent{};                    // sent with the text when not empty (.ics text)
    // A match the message announces: each recipient's mail then gives its time on their own clock
    // beside the leader's. Invalid when the message announces none.
    QDateTime matchUtc{};
    qint32 leaderZone = 0;
};

} // namespace rm
