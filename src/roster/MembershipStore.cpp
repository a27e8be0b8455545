#include "roster/MembershipStore.h"

#include "data/DbConnection.h"

#include <algorithm>

namespace rm {

namespace {

QString number(qint64 value) {
    return QString::number(value);
}

} // namespace

QString DivisionChoice::itemText() const {
    return gameName.isEmpty() ? name : name + QStringLiteral(" - ") + gameName;
}

QString MembershipListQuery(qint32 player) {
    return QStringLiteral("Select Division_ID, Division_Name, Member_Title ") +
           QStringLiteral("From Members, Divisions ") +
           QStringLiteral("Where Member_Division_ID = Division_ID ") +
           QStringLiteral("And Member_Player_ID = ") + number(player) + QStringLiteral(" ") +
           QStringLiteral("Order By Division_Name");
}

QString TitleDescriptionQuery(qint32 title) {
    return QStringLiteral("Select Title_Description From Titles Where Title_ID = ") + number(title) +
           QStringLiteral(" ");
}

QString OfferedDivisionsQuery(const QList<qint32>& held) {
    QString sql = QStringLiteral("Select Division_ID, Division_Name, Game_Name ") +
                  QStringLiteral("From Divisions, Games ") +
                  QStringLiteral("Where Division_Active <> false ") +
                  QStringLiteral("And Division_Game = Game_ID ");
    for (qint32 id : held)
        sql += QStringLiteral("And Division_ID <> ") + number(id) + QStringLiteral(" ");
    return sql + QStringLiteral("Order By Division_Name");
}

QString DivisionTitlesQuery(qint32 division) {
    return QStringLiteral("Select Title_ID, Title_Description From Titles Where Title_Division = ") +
           number(division) + QStringLiteral(" ");
}

QList<MembershipRow> ReadMemberships(qint32 player) {
    QList<MembershipRow> list;
    {
        RowSet rows = Db().execute(MembershipListQuery(player));
        for (; !rows.eof(); rows.moveNext()) {
            MembershipRow row;
            row.division = rows.text(QStringLiteral("Division_Name")).trimmed();
            row.divisionId = rows.integer(QStringLiteral("Division_ID"));
            row.titleId = std::max(rows.integer(QStringLiteral("Member_Title")), 0);
            list << row;
        }
    }
    for (MembershipRow& row : list)
        row.title = row.titleId > 0 ? TitleDescription(row.titleId) : kNoTitle;
    return list;
}

QString TitleDescription(qint32 title) {
    RowSet rows = Db().execute(TitleDescriptionQuery(title));
    if (rows.eof())
        return kUnknownTitle;
    return rows.text(QStringLiteral("Title_Description")).trimmed();
}

QList<DivisionChoice> OfferedDivisions(const QList<qint32>& held, qint32 keep) {
    QList<DivisionChoice> list;
    bool kept = keep == 0;
    RowSet rows = Db().execute(OfferedDivisionsQuery(held));
    for (; !rows.eof(); rows.moveNext()) {
        DivisionChoice c;
        c.id = rows.integer(QStringLiteral("Division_ID"));
        c.name = rows.text(QStringLiteral("Division_Name")).trimmed();
        c.gameName = rows.text(QStringLiteral("Game_Name")).trimmed();
        kept = kept || c.id == keep;
        list << c;
    }
    rows.close();
    if (!kept) {
        // A division that has been switched off since the player joined it: still shown, so that
        // its title can be changed.
        RowSet division = Db().execute(
            QStringLiteral(
                "Select Division_ID, Division_Name, Division_Game From Divisions Where Division_ID = ") +
            number(keep) + QStringLiteral(" "));
        if (!division.eof()) {
            DivisionChoice c;
            c.id = keep;
            c.name = division.text(QStringLiteral("Division_Name")).trimmed();
            const qint32 game = division.integer(QStringLiteral("Division_Game"));
            division.close();
            RowSet g = Db().execute(QStringLiteral("Select Game_Name From Games Where Game_ID = ") +
                                    number(game) + QStringLiteral(" "));
            if (!g.eof())
                c.gameName = g.text(QStringLiteral("Game_Name")).trimmed();
            auto at = std::find_if(list.begin(), list.end(), [&c](const DivisionChoice& o) {
                return o.name.compare(c.name, Qt::CaseInsensitive) > 0;
            });
            list.insert(at, c);
        }
    }
    return list;
}

QList<std::pair<qint32, QString>> DivisionTitles(qint32 division) {
    QList<std::pair<qint32, QString>> list;
    RowSet rows = Db().execute(DivisionTitlesQuery(division));
    for (; !rows.eof(); rows.moveNext())
        list << std::make_pair(rows.integer(QStringLiteral("Title_ID")),
                               rows.text(QStringLiteral("Title_Description")).trimmed());
    return list;
}

} // namespace rm
