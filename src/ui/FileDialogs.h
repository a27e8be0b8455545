#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace rm {

// A file-save question: title, the folder it starts in, and filters written as
// "Description|patterns" pairs joined by bars ("HTML Files (*.htm;*.html)|*.htm;*.html").
struct SaveFileRequest {
    QString title;
    QString folder;
    QString filter;
};

// Asks for the name of a file to write; the empty text when the user leaves without one. The
// dialog does not ask about overwriting: the caller does. Every save question goes through here so
// tests can answer it.
QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request);
using SaveFileRunner = std::function<QString(QWidget*, const SaveFileRequest&)>;
void SetSaveFileRunner(SaveFileRunner runner); // empty restores the toolkit's dialog

// Asks for an existing file to read; the empty text when the user leaves without one. Tests answer
// it through their own runner.
QString AskOpenFileName(QWidget* parent, const SaveFileRequest& request);
void SetOpenFileRunner(SaveFileRunner runner); // empty restores the toolkit's dialog

// "Description|*.a;*.b|..." → the toolkit's name filters ("Description (*.a *.b)", joined by ";;").
QString ToolkitNameFilters(const QString& barFilter);

} // namespace rm
