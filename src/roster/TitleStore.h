#pragma once

#include <QString>

namespace rm {

// What the title dialog writes: the division as shown in its list (its text and key) and the title.
struct TitleEntry {
    QString divisionText;
    qint32 divisionKey = 0;
    QString title;
};

// All titles of all divisions, by division name, then title; only titles whose division exists.
QString TitleListSql();
// The division list of the title dialog, inactive divisions included.
QString TitleDivisionChoicesSql();
QString TitleSelectSql(qint32 titleId);
QString TitleInsertSql(const TitleEntry& entry);
QString TitleUpdateSql(qint32 titleId, const TitleEntry& entry);
// The memberships that still hold a title.
QString TitleInUseSql(qint32 titleId);
QString TitleDeleteSql(qint32 titleId);

// OK of the title dialog: validates, writes, or refuses a delete while a membership holds the title.
// Shows its own messages and returns true when the dialog may close. A store refusal is raised as
// DbError.
bool SaveTitle(const QString& editMode, qint32 titleId, const TitleEntry& entry);

} // namespace rm
