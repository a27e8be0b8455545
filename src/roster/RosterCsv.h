#pragma once

// Reading and writing comma- or semicolon-separated text as spreadsheet programs write it: quoted
// fields with delimiters, quotes and line breaks inside, CR LF or LF line ends, UTF-8 with or
// without a byte-order mark.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace rm {

// One record of the file and the line of the file it starts on (the header is line 1 in a file
// without blank lines before it).
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

struct CsvTable {
    char delimiter = ',';
    QStringList header;
    QList<CsvRecord> rows;
};

// The result of reading: a table, or a message that says in plain words why the file cannot be
// used.
struct CsvReadResult {
    std::optional<CsvTable> table;
    QString problem;
};

// The delimiter the header line uses: ';' when it holds more semicolons than commas outside
// quotes, otherwise ','.
char DetectDelimiter(const QByteArray& data);

// Reads the whole file content. Without a delimiter it is detected from the header line. Blank lines
// are skipped; the header's fields are trimmed. A file that is empty, not text, not valid CSV or
// holds a header only gives a problem.
CsvReadResult ReadCsv(const QByteArray& data, std::optional<char> delimiter = std::nullopt);

// One record as a line (without its line end): fields quoted when they hold the delimiter, a quote,
// a line break or leading or trailing blanks.
QByteArray CsvLine(const QStringList& fields, char delimiter);
// A cell that a spreadsheet would run as a formula (it starts with "=", "+", "-", "@", a tab or a
// carriage return once any leading apostrophes are passed over) gets one more apostrophe in front,
// so the spreadsheet shows it as text. UnguardFormula takes exactly that apostrophe away again.
QString GuardFormula(const QString& cell);
QString UnguardFormula(const QString& cell);

// Header and rows with CR LF line ends, starting with a byte-order mark when asked.
QByteArray WriteCsv(const QStringList& header, const QList<QStringList>& rows, char delimiter, bool withBom);

} // namespace rm
