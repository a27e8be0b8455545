#include "roster/RosterCsv.h"

#include <QStringDecoder>

#include <csv.h>

namespace rm {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

struct ParseState {
    char lineChar = '\n';
    int recordStart = 1;
    int pendingLines = 0;
    QStringList fields;
    QList<CsvRecord> records;
};

void onField(void* text, size_t length, void* data) {
    auto* state = static_cast<ParseState*>(data);
    const QByteArray bytes(static_cast<const char*>(text), static_cast<qsizetype>(length));
    state->pendingLines += static_cast<int>(bytes.count(state->lineChar));
    state->fields << QString::fromUtf8(bytes);
}

void onRecordEnd(int c, void* data) {
    auto* state = static_cast<ParseState*>(data);
    bool blank = true;
    for (const QString& f : state->fields)
        blank = blank && f.isEmpty();
    if (!blank)
        state->records << CsvRecord{state->recordStart, state->fields};
    state->fields.clear();
    state->recordStart += state->pendingLines + (c == state->lineChar ? 1 : 0);
    state->pendingLines = 0;
}

bool isUtf8(const QByteArray& data) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(data);
    return !decoder.hasError();
}

int lineAt(const QByteArray& data, qsizetype position, char lineChar) {
    return static_cast<int>(data.left(position).count(lineChar)) + 1;
}

bool needsQuotes(const QString& field, char delimiter) {
    if (field.isEmpty())
        return false;
    if (field.front().isSpace() || field.back().isSpace())
        return true;
    for (const QChar c : field)
        if (c == QLatin1Char(delimiter) || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            return true;
    return false;
}

bool startsFormula(const QString& cell) {
    qsizetype i = 0;
    while (i < cell.size() && cell.at(i) == QLatin1Char('\''))
        ++i;
    if (i == cell.size())
        return false;
    const QChar c = cell.at(i);
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@') ||
           c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

} // namespace

QString GuardFormula(const QString& cell) {
    return startsFormula(cell) ? QLatin1Char('\'') + cell : cell;
}

QString UnguardFormula(const QString& cell) {
    return cell.startsWith(QLatin1Char('\'')) && startsFormula(cell) ? cell.mid(1) : cell;
}

char DetectDelimiter(const QByteArray& data) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const char c : data) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

CsvReadResult ReadCsv(const QByteArray& content, std::optional<char> delimiter) {
    const QByteArray data = content.startsWith(kBom) ? content.mid(kBom.size()) : content;
    if (data.trimmed().isEmpty())
        return {std::nullopt, QStringLiteral("The file is empty.")};
    if (data.contains('\0') || !isUtf8(data))
        return {std::nullopt, QStringLiteral("The file is not a CSV text file: it holds bytes that are not "
                                             "UTF-8 text. Save it from the spreadsheet as CSV (UTF-8) and "
                                             "try again.")};

    ParseState state;
    state.lineChar = data.contains('\n') ? '\n' : '\r';
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
        return {std::nullopt, QStringLiteral("There is not enough memory to read the file.")};
    const char used = delimiter.value_or(DetectDelimiter(data));
    csv_set_delim(&parser, static_cast<unsigned char>(used));
    const size_t parsed =
        csv_parse(&parser, data.constData(), static_cast<size_t>(data.size()), onField, onRecordEnd, &state);
    QString problem;
    if (parsed != static_cast<size_t>(data.size()))
        problem = QStringLiteral("Line %1 cannot be read as CSV: a quote stands inside a field that does "
                                 "not start with one, or a quoted field is not closed before the next "
                                 "delimiter.")
                      .arg(lineAt(data, static_cast<qsizetype>(parsed), state.lineChar));
    else if (csv_fini(&parser, onField, onRecordEnd, &state) != 0)
        problem = QStringLiteral("The file ends inside a quoted field that starts on line %1: a closing "
                                 "quote is missing.")
                      .arg(state.recordStart);
    csv_free(&parser);
    if (!problem.isEmpty())
        return {std::nullopt, problem};

    if (state.records.isEmpty())
        return {std::nullopt, QStringLiteral("The file is empty.")};
    CsvTable table;
    table.delimiter = used;
    for (const QString& name : state.records.takeFirst().fields)
        table.header << name.trimmed();
    if (state.records.isEmpty())
        return {std::nullopt, QStringLiteral("The file holds only a header line and no players.")};
    table.rows = std::move(state.records);
    return {std::move(table), QString()};
}

QByteArray CsvLine(const QStringList& fields, char delimiter) {
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += delimiter;
        const QString& field = fields.at(i);
        if (needsQuotes(field, delimiter)) {
            QString quoted = field;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            out += '"' + quoted.toUtf8() + '"';
        } else {
            out += field.toUtf8();
        }
    }
    return out;
}

QByteArray WriteCsv(const QStringList& header, const QList<QStringList>& rows, char delimiter, bool withBom) {
    QByteArray out = withBom ? kBom : QByteArray();
    out += CsvLine(header, delimiter) + "\r\n";
    for (const QStringList& row : rows)
        out += CsvLine(row, delimiter) + "\r\n";
    return out;
}

} // namespace rm
