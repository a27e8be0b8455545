#include "comms/Templates.h"

#include "data/DbConnection.h"
#include "data/SqlText.h"

namespace rm {

QString CommPlayersListSql() {
    return QStringLiteral("Select Player_ID, Player_OnlineName "
                          "From Players "
                          "Where Player_Active = true "
                          "Order By Player_OnlineName");
}

QString CommDivisionsListSql() {
    return QStringLiteral("Select Division_ID, Division_Name "
                          "From Divisions "
                          "Where Division_Active = True "
                          "Order By Division_Name");
}

QString TemplatesListSql() {
    return QStringLiteral("Select Template_ID, Template_Name "
                          "From Templates "
                          "Order By Template_Name");
}

QString TemplateSelectSql(qint32 templateKey) {
    return QStringLiteral("Select * from Templates Where Template_ID = ") + QString::number(templateKey);
}

QString TemplateUseSql(qint32 templateKey) {
    return QStringLiteral("Select * From Templates Where Template_ID = ") + QString::number(templateKey);
}

QString TemplateInsertSql(const QString& name, const QString& content) {
    return QStringLiteral("Insert Into Templates (Template_Name, Template_Content) Values('") +
           EscapeQuotes(name.trimmed()) + QStringLiteral("', '") + EscapeQuotes(content) +
           QStringLiteral("')");
}

QString TemplateUpdateSql(qint32 templateKey, const QString& name, const QString& content) {
    return QStringLiteral("Update Templates Set Template_Name = '") + EscapeQuotes(name.trimmed()) +
           QStringLiteral("', Template_Content = '") + EscapeQuotes(content) +
           QStringLiteral("' Where Template_ID = ") + QString::number(templateKey);
}

QString TemplateDeleteSql(qint32 templateKey) {
    return QStringLiteral("Delete From Templates Where Template_ID = ") + QString::number(templateKey) +
           QStringLiteral(" ");
}

QString TemplateProblems(const QString& name, const QString& content) {
    QString problems;
    if (name.trimmed().isEmpty())
        problems += QStringLiteral("Must supply a template name.\n");
    if (content.trimmed().isEmpty())
        problems += QStringLiteral("There must be at least some content for the template!\n");
    return problems;
}

QString SelectionProblem(bool playersListShown, bool anySelected) {
    if (anySelected)
        return QString();
    return playersListShown ? QStringLiteral("You must first highlight at least one member!\n\n")
                            : QStringLiteral("You must first highlight at least one division!\n\n");
}

QString UseProblems(bool playersListShown, bool anySelected, bool templateSelected) {
    QString problems = SelectionProblem(playersListShown, anySelected);
    if (!templateSelected)
        problems += QStringLiteral("You must select a template to use!\n\n");
    return problems;
}

std::optional<TemplateRecord> LoadTemplate(qint32 templateKey) {
    RowSet rs = Db().execute(TemplateSelectSql(templateKey));
    if (rs.eof())
        return std::nullopt;
    TemplateRecord record{rs.text(QStringLiteral("Template_Name")).trimmed(),
                          rs.text(QStringLiteral("Template_Content"))};
    rs.close();
    return record;
}

QString TemplateContentForUse(qint32 templateKey) {
    RowSet rs = Db().execute(TemplateUseSql(templateKey));
    const QString content = rs.text(QStringLiteral("Template_Content")); // raises at the end of the rows
    rs.close();
    return content;
}

void SaveTemplate(const QString& updateMode, qint32 updateKey, const QString& name, const QString& content) {
    if (updateMode == QLatin1String("A"))
        Db().execute(TemplateInsertSql(name, content));
    else
        Db().execute(TemplateUpdateSql(updateKey, name, content));
}

} // namespace rm
