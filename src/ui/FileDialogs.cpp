#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QStringList>

namespace rm {

namespace {
SaveFileRunner g_saveRunner;
SaveFileRunner g_openRunner;
} // namespace

QString ToolkitNameFilters(const QString& barFilter) {
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The description usually repeats the patterns in brackets; the toolkit reads them from there.
        QString description = parts.at(i).trimmed();
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)$")));
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request) {
    if (g_saveRunner)
        return g_saveRunner(parent, request);
    return QFileDialog::getSaveFileName(parent, request.title, request.folder,
                                        ToolkitNameFilters(request.filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString AskOpenFileName(QWidget* parent, const SaveFileRequest& request) {
    if (g_openRunner)
        return g_openRunner(parent, request);
    return QFileDialog::getOpenFileName(parent, request.title, request.folder,
                                        ToolkitNameFilters(request.filter));
}

void SetOpenFileRunner(SaveFileRunner runner) {
    g_openRunner = std::move(runner);
}

void SetSaveFileRunner(SaveFileRunner runner) {
    g_saveRunner = std::move(runner);
}

} // namespace rm
