#include "roster/TitleStore.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/NameRules.h"
#include "data/SqlText.h"

namespace rm {

namespace {

QString number(qint32 key) {
    return QString::number(key);
}

} // namespace

QString TitleListSql() {
    return QStringLiteral("Select Division_Name, Title_Description, Title_ID, Division_ID "
                          "From Divisions, Titles "
                          "Where Division_ID = Title_Division "
                          "Order By Division_Name, Title_Description");
}

QString TitleDivisionChoicesSql() {
    return QStringLiteral("Select Division_ID, Division_Name "
                          "From Divisions "
                          "Order By Division_Name");
}

QString TitleSelectSql(qint32 titleId) {
    return QStringLiteral("Select * From Titles Where Title_ID = ") + number(titleId);
}

QString TitleInsertSql(const TitleEntry& entry) {
    return QStringLiteral("Insert Into Titles (Title_Division, Title_Description) VALUES(") +
           number(entry.divisionKey) + QStringLiteral(", ") + SqlText(entry.title) + QStringLiteral(") ");
}

QString TitleUpdateSql(qint32 titleId, const TitleEntry& entry) {
    return QStringLiteral("Update Titles ") + QStringLiteral("Set Title_Division = ") +
           number(entry.divisionKey) + QStringLiteral(",") + QStringLiteral("Title_Description = ") +
           SqlText(entry.title) + QStringLiteral(" ") + QStringLiteral("Where Title_ID = ") + number(titleId);
}

QString TitleInUseSql(qint32 titleId) {
    return QStringLiteral("Select Member_Player_ID From Members Where Member_Title = ") + number(titleId);
}

QString TitleDeleteSql(qint32 titleId) {
    return QStringLiteral("Delete From Titles Where Title_ID = ") + number(titleId);
}

bool SaveTitle(const QString& editMode, qint32 titleId, const TitleEntry& entry) {
    if (entry.divisionText.trimmed().isEmpty() || entry.title.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Both division and title name must be entered."), AlignCenterText,
                    vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
        return false;
    }
    const QString mode = editMode.toUpper();
    // Titles are told apart within their division.
    if ((mode == QLatin1String("EDIT") || mode == QLatin1String("ADD")) &&
        RefuseDuplicateName(QStringLiteral("Title in this Division"),
                            QStringLiteral("Select Title_ID, Title_Description From Titles Where "
                                           "Title_Division = ") +
                                number(entry.divisionKey),
                            entry.title, mode == QLatin1String("EDIT") ? titleId : 0))
        return false;
    if (mode == QLatin1String("EDIT")) {
        Db().execute(TitleUpdateSql(titleId, entry));
        return true;
    }
    if (mode == QLatin1String("ADD")) {
        Db().execute(TitleInsertSql(entry));
        return true;
    }
    if (mode == QLatin1String("DELETE")) {
        RowSet holders = Db().execute(TitleInUseSql(titleId));
        const bool inUse = !holders.eof();
        holders.close();
        if (!inUse) {
            Db().execute(TitleDeleteSql(titleId));
            return true;
        }
        ShowMessage(QStringLiteral("That Divisional Title is currently in use with some Players.\n"
                                   "You must first either delete the Players that use it, or change that "
                                   "Player's Title to delete!"),
                    AlignCenterText, vbOKOnly, vbExclamation,
                    QStringLiteral("Divisional Title Currently in Use"));
        return false;
    }
    return false;
}

} // namespace rm
