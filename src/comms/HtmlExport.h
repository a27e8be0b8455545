#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <stdexcept>

namespace rm {

// The parts of a player's record that go into the roster page (the ten boxes of the export page).
struct ExportFields {
    bool playerName = true;
    bool realName = true;
    bool division = true;
    bool email = true;
    bool im = true;
    bool timeZone = true;
    bool schedule = true;
    bool notes = false;
    bool status = true;
    bool custom = true;

    bool any() const {
        return playerName || realName || division || email || im || timeZone || schedule || notes || status ||
               custom;
    }
};

// The export's own failure: number 1001, source "Rallymark" (a player that cannot be read), or a
// file that cannot be written.
class ExportError : public std::runtime_error {
public:
    ExportError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    QString source() const { return QStringLiteral("Rallymark"); }

private:
    int m_number;
    QString m_description;
};

inline constexpr int kPlayerNotRetrievedError = 1001;
inline const QString kPlayerNotRetrievedText = QStringLiteral("Player information could not be retrieved!");

// Values placed in the page: &, <, > and " become entities.
QString HtmlEscape(const QString& text);

// The members of a division that are not written yet, in the order the page lists them.
QString DivisionMembersSql(qint32 divisionKey, const QList<qint32>& written);

// The problems found before an export, each followed by two line breaks; empty when there are none.
QString ExportProblems(bool playersListShown, bool anySelected, bool anyField);
inline const QString kSelectionErrorTitle = QStringLiteral("Selection Error");
inline const QString kProblemsFoundText = QStringLiteral("The following problems were found:");

// The block of one player. Store errors raise DbError, a player that cannot be read ExportError.
QString PlayerBlock(const ExportFields& fields, qint32 playerKey);
// The blocks of the selected players, in list order. The records of all of them are read first, in a
// few statements, and the markup is written from the records.
QString CreateHTMLByPlayer(const ExportFields& fields, const QList<qint32>& playerKeys);
// The blocks of the members of the selected divisions, in list order; each player once.
QString CreateHTMLByDivision(const ExportFields& fields, const QList<qint32>& divisionKeys);

// The page a roster file holds: a document type, the UTF-8 declaration, a title with the clan's name
// and the date, and the blocks as its body. The screen shows the blocks alone.
QString RosterPage(const QString& clanName, const QDate& date, const QString& blocks);
// The name the page title gives the clan: the name its e-mails go out under (Options), or "Clan".
QString ClanName();

// Output to a file: the folder the save dialog starts in, the dialog's texts, and the writing itself
// (UTF-8, the text followed by one CR LF). Writing failures raise ExportError.
QString ExportFolder(); // ApplicationFolder()/Export, created when missing
inline const QString kExportDialogTitle = QStringLiteral("Export HTML to file");
inline const QString kExportFilter = QStringLiteral("HTML Files (*.htm;*.html)|*.htm;*.html");
void WriteExportFile(const QString& path, const QString& text);

} // namespace rm
