#pragma once

#include <QString>

#include <optional>

namespace rm {

// The statements of the communications centre's lists and of the Templates table.
QString CommPlayersListSql();
QString CommDivisionsListSql();
QString TemplatesListSql();
QString TemplateSelectSql(qint32 templateKey); // the template dialog's reading
QString TemplateUseSql(qint32 templateKey);    // the reading of Use
QString TemplateInsertSql(const QString& name, const QString& content);
QString TemplateUpdateSql(qint32 templateKey, const QString& name, const QString& content);
QString TemplateDeleteSql(qint32 templateKey);

// The problems of the template dialog, each followed by a line break; empty when there are none.
QString TemplateProblems(const QString& name, const QString& content);

// The problems of Use and of Create on the export page, each followed by two line breaks.
QString SelectionProblem(bool playersListShown, bool anySelected);
QString UseProblems(bool playersListShown, bool anySelected, bool templateSelected);

struct TemplateRecord {
    QString name;    // trimmed
    QString content; // as stored
};

// Reads one template; nullopt when no row has the key. Store errors raise DbError.
std::optional<TemplateRecord> LoadTemplate(qint32 templateKey);
// The content handed to the e-mail window. A template that has vanished cannot be read: DbError.
QString TemplateContentForUse(qint32 templateKey);
// Saves the dialog's entries: inserts in mode "A", updates the key in any other mode.
void SaveTemplate(const QString& updateMode, qint32 updateKey, const QString& name, const QString& content);

} // namespace rm
