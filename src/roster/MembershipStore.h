#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace rm {

// One row of a player's memberships list: the division's name, the title's description ("None"
// without a title, "Unknown" when the title no longer exists) and the two keys the save writes.
struct MembershipRow {
    QString division;
    QString title;
    qint32 divisionId = 0;
    qint32 titleId = 0;
};

// A division the membership dialog can offer: "Division_Name - Game_Name" beside the plain name.
struct DivisionChoice {
    qint32 id = 0;
    QString name;
    QString gameName;
    QString itemText() const;
};

inline const QString kNoTitle = QStringLiteral("None");
inline const QString kUnknownTitle = QStringLiteral("Unknown");

QString MembershipListQuery(qint32 player);
QString TitleDescriptionQuery(qint32 title);
// The active divisions with their games, leaving out those the player already has (Add mode).
QString OfferedDivisionsQuery(const QList<qint32>& held);
QString DivisionTitlesQuery(qint32 division);

// Readers; store errors raise DbError.
QList<MembershipRow> ReadMemberships(qint32 player);
QString TitleDescription(qint32 title); // trimmed, or "Unknown"
// Add mode: the active divisions not in held. Edit mode (held empty, keep set): the active divisions
// and, when it is not among them any more, the division being edited.
QList<DivisionChoice> OfferedDivisions(const QList<qint32>& held, qint32 keep = 0);
QList<std::pair<qint32, QString>> DivisionTitles(qint32 division);

} // namespace rm
