#include "roster/DivisionStore.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/NameRules.h"
#include "data/SqlText.h"

namespace rm {

namespace {

QString number(qint32 key) {
    return QString::number(key);
}

void missingInformation(const QString& text) {
    ShowMessage(text, AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
}

} // namespace

QString DivisionListSql() {
    return QStringLiteral(
        "Select Division_ID, Division_Name, Division_Active, Division_Notes, Game_Name, Game_ID, "
        "(Select COUNT(*) From Members, Players "
        "Where Member_Division_ID = Division_ID And Member_Player_ID = Player_ID "
        "And Player_Active = true) AS MemberCount "
        "From Divisions, Games "
        "Where Division_Game = Game_ID "
        "Order By Division_Active DESC, Division_Name");
}

QString DivisionGameChoicesSql() {
    return QStringLiteral("Select Game_ID, Game_Name "
                          "From Games "
                          "Order By Game_Name");
}

QString DivisionSelectSql(qint32 divisionId) {
    return QStringLiteral("Select * From Divisions Where Division_ID = ") + number(divisionId);
}

QString DivisionInsertSql(const DivisionEntry& entry, const QDateTime& savedAt) {
    return QStringLiteral(
               "Insert Into Divisions (Division_Name, Division_Game, Division_Active, Division_Notes, "
               "Division_Update) VALUES(") +
           SqlText(entry.name) + QStringLiteral(", ") + number(entry.gameKey) + QStringLiteral(", ") +
           SqlBool(entry.active) + QStringLiteral(", ") + SqlNotes(entry.notes) + QStringLiteral(", ") +
           SqlDateTime(savedAt) + QStringLiteral(") ");
}

QString DivisionUpdateSql(qint32 divisionId, const DivisionEntry& entry, const QDateTime& savedAt) {
    return QStringLiteral("Update Divisions ") + QStringLiteral("Set Division_Name = ") +
           SqlText(entry.name) + QStringLiteral(",") + QStringLiteral("Division_Game = ") +
           number(entry.gameKey) + QStringLiteral(", ") + QStringLiteral("Division_Active = ") +
           SqlBool(entry.active) + QStringLiteral(", ") + QStringLiteral("Division_Notes = ") +
           SqlNotes(entry.notes) + QStringLiteral(", ") + QStringLiteral("Division_Update = ") +
           SqlDateTime(savedAt) + QStringLiteral(" ") + QStringLiteral("Where Division_ID = ") +
           number(divisionId);
}

QStringList DivisionDeleteSqls(qint32 divisionId) {
    return {QStringLiteral("Delete From Divisions Where Division_ID = ") + number(divisionId),
            QStringLiteral("Delete From Members Where Member_Division_ID = ") + number(divisionId),
            QStringLiteral("Delete From Titles Where Title_Division = ") + number(divisionId)};
}

QString LastUpdatedNote(const QString& storedUpdate) {
    const QDateTime when = ParseStoredDateTime(storedUpdate);
    if (!when.isValid())
        return QString();
    return QStringLiteral("Last updated on ") + when.toString(QStringLiteral("MM/dd/yy hh:mm AP"));
}

bool SaveDivision(const QString& editMode, qint32 divisionId, const DivisionEntry& entry) {
    if (entry.name.trimmed().isEmpty()) {
        missingInformation(QStringLiteral("Please provide a Division Name before continuing."));
        return false;
    }
    const QString mode = editMode.toUpper();
    if (mode == QLatin1String("EDIT") || mode == QLatin1String("ADD")) {
        // A division plays a game; with no game in the list there is nothing to refer to.
        if (entry.gameKey == 0) {
            missingInformation(QStringLiteral("There are no Games to choose from.\n"
                                              "Please add a Game to the Games List first."));
            return false;
        }
        if (RefuseDuplicateName(QStringLiteral("Division"),
                                QStringLiteral("Select Division_ID, Division_Name From Divisions"),
                                entry.name, mode == QLatin1String("EDIT") ? divisionId : 0))
            return false;
        Db().execute(mode == QLatin1String("EDIT") ? DivisionUpdateSql(divisionId, entry, Now())
                                                   : DivisionInsertSql(entry, Now()));
        return true;
    }
    if (mode == QLatin1String("DELETE")) {
        const int answer = ShowMessage(
            QStringLiteral("Deleting a division will remove any players memberships and any custom "
                           "divisional titles\nDo You want to continue?"),
            AlignCenterText, vbYesNo, vbQuestion, QStringLiteral("Delete Confirmation"));
        if (answer != vbYes)
            return false;
        DbConnection::Transaction transaction(Db());
        for (const QString& statement : DivisionDeleteSqls(divisionId))
            Db().execute(statement);
        transaction.commit();
        return true;
    }
    return false;
}

qint32 NewestDivisionKey() {
    return Db().scalar(QStringLiteral("Select MAX(Division_ID) From Divisions")).toInt();
}

} // namespace rm
