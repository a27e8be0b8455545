#include "roster/RosterImport.h"

#include "data/AppEnvironment.h"
#include "data/CustomFields.h"
#include "data/DbConnection.h"
#include "data/NameRules.h"
#include "data/Options.h"
#include "data/SqlText.h"
#include "roster/ConnectionTypes.h"
#include "roster/DivisionStore.h"
#include "roster/GameStore.h"
#include "roster/MembershipStore.h"
#include "roster/TitleStore.h"
#include "time/TimeText.h"
#include "time/TimeZoneCatalog.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace rm {

namespace {

constexpr int kFirstDay = static_cast<int>(ImportField::Sunday);
constexpr int kFirstCustomText = static_cast<int>(ImportField::CustomText1);
constexpr int kFirstCustomDrop = static_cast<int>(ImportField::CustomDrop1);

const char* const kFixedNames[] = {"(ignore)",   "Online Name", "Real Name", "E-Mail", "Second E-Mail",
                                   "ICQ",        "AIM",         "Yahoo",     "MSN",    "Discord",
                                   "Connection", "Time Zone",   "Notes",     "Active"};

// Other headings a spreadsheet may use, already in the compared form.
const QHash<QString, ImportField>& otherNames() {
    static const QHash<QString, ImportField> names{
        {QStringLiteral("name"), ImportField::OnlineName},
        {QStringLiteral("nick"), ImportField::OnlineName},
        {QStringLiteral("nickname"), ImportField::OnlineName},
        {QStringLiteral("handle"), ImportField::OnlineName},
        {QStringLiteral("player"), ImportField::OnlineName},
        {QStringLiteral("playername"), ImportField::OnlineName},
        {QStringLiteral("fullname"), ImportField::RealName},
        {QStringLiteral("mail"), ImportField::EmailPrimary},
        {QStringLiteral("emailaddress"), ImportField::EmailPrimary},
        {QStringLiteral("email1"), ImportField::EmailPrimary},
        {QStringLiteral("email2"), ImportField::EmailSecondary},
        {QStringLiteral("secondaryemail"), ImportField::EmailSecondary},
        {QStringLiteral("msnim"), ImportField::Msn},
        {QStringLiteral("discordid"), ImportField::Discord},
        {QStringLiteral("discorduserid"), ImportField::Discord},
        {QStringLiteral("connectiontype"), ImportField::Connection},
        {QStringLiteral("zone"), ImportField::TimeZone},
        {QStringLiteral("tz"), ImportField::TimeZone},
        {QStringLiteral("note"), ImportField::Notes},
        {QStringLiteral("status"), ImportField::Active},
        {QStringLiteral("division"), ImportField::Divisions},
        {QStringLiteral("sun"), ImportField::Sunday},
        {QStringLiteral("mon"), ImportField::Monday},
        {QStringLiteral("tue"), ImportField::Tuesday},
        {QStringLiteral("wed"), ImportField::Wednesday},
        {QStringLiteral("thu"), ImportField::Thursday},
        {QStringLiteral("fri"), ImportField::Friday},
        {QStringLiteral("sat"), ImportField::Saturday},
    };
    return names;
}

QString compared(const QString& heading) {
    QString out;
    for (const QChar c : heading.toCaseFolded())
        if (c.isLetterOrNumber())
            out += c;
    return out;
}

QString key(const QString& name) {
    return NameKey(name);
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// What the database holds, read once for a preview.
struct Catalogue {
    struct Zone {
        qint32 id;
        QString name;
        QString description;
        qint32 offset;
        QString code;
    };
    QList<Zone> zones;
    QHash<QString, qint32> connections;
    QHash<QString, qint32> divisions;
    QHash<QPair<qint32, QString>, qint32> titles;
    std::array<QHash<QString, qint32>, kCustomFieldCount> entries;
    QHash<QString, qint32> players;
    qint32 firstGame = 0;
    QHash<QString, qint32> games;
    QHash<qint32, QString> gameNames;

    void load() {
        for (RowSet r = Db().execute(QStringLiteral("Select * From TimeZones Order By TZ_Name")); !r.eof();
             r.moveNext())
            zones << Zone{r.integer(QStringLiteral("TZ_ID")), r.text(QStringLiteral("TZ_Name")).trimmed(),
                          r.text(QStringLiteral("TZ_Description")).trimmed(),
                          r.integer(QStringLiteral("TZ_GMT_Offset")),
                          r.text(QStringLiteral("TZ_Daylight_Savings")).trimmed()};
        fill(connections, QStringLiteral("Select Connection_ID, Connection_Name From ConnectionTypes"));
        fill(divisions, QStringLiteral("Select Division_ID, Division_Name From Divisions"));
        fill(players, QStringLiteral("Select Player_ID, Player_OnlineName From Players Order By Player_ID"));
        for (RowSet r = Db().execute(QStringLiteral("Select Title_ID, Title_Division, Title_Description "
                                                    "From Titles Order By Title_ID"));
             !r.eof(); r.moveNext())
            titles.insert({r.integer(QStringLiteral("Title_Division")),
                           key(r.text(QStringLiteral("Title_Description")))},
                          r.integer(QStringLiteral("Title_ID")));
        for (int n = 0; n < kCustomFieldCount; ++n)
            fill(entries[n], CustomEntriesSql(n + 1));
        firstGame = Db().scalar(QStringLiteral("Select Game_ID From Games Order By Game_Name")).toInt();
        fill(games, QStringLiteral("Select Game_ID, Game_Name From Games Order By Game_Name"));
        for (RowSet r = Db().execute(QStringLiteral("Select Game_ID, Game_Name From Games")); !r.eof();
             r.moveNext())
            gameNames.insert(r.valueAt(0).toInt(), r.valueAt(1).toString().trimmed());
    }

    // The game new divisions play: the one named, or the first game when no name is given; 0 when
    // a game of that name is still to be created.
    qint32 gameKey(const QString& name) const {
        return name.isEmpty() ? firstGame : games.value(key(name), 0);
    }
    QString gameName(qint32 id) const { return gameNames.value(id); }

    // Reads rows of key and name; the first row of a name wins.
    static void fill(QHash<QString, qint32>& map, const QString& sql) {
        for (RowSet r = Db().execute(sql); !r.eof(); r.moveNext()) {
            const QString name = key(r.valueAt(1).toString());
            if (!map.contains(name))
                map.insert(name, r.valueAt(0).toInt());
        }
    }

    std::optional<qint32> zone(const QString& text) const {
        const QString k = key(text);
        for (const Zone& z : zones)
            if (key(z.name) == k)
                return z.id;
        for (const Zone& z : zones)
            if (key(z.description) == k)
                return z.id;
        static const QRegularExpression offsetPattern(
            QStringLiteral("^(?:UTC|GMT)?\\s*(?:([+\\-\\x{2212}])\\s*(\\d{1,2})(?::?(\\d{2}))?)?$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = offsetPattern.match(text.trimmed());
        if (!m.hasMatch() || text.trimmed().isEmpty())
            return std::nullopt;
        int local = m.captured(2).toInt() * 60 + m.captured(3).toInt();
        if (m.captured(1) != QLatin1String("+"))
            local = -local;
        // The stored offset is what takes local time to GMT; zones without daylight saving first.
        std::optional<qint32> found;
        for (const Zone& z : zones) {
            if (z.offset != -local)
                continue;
            if (NormalizedDaylightCode(z.code) == QLatin1String("N"))
                return z.id;
            if (!found)
                found = z.id;
        }
        return found;
    }

    bool hasZone(qint32 id) const {
        return std::any_of(zones.begin(), zones.end(), [id](const Zone& z) { return z.id == id; });
    }
};

std::optional<bool> activeValue(const QString& text) {
    static const QStringList yes{QStringLiteral("yes"), QStringLiteral("y"), QStringLiteral("true"),
                                 QStringLiteral("1"),   QStringLiteral("x"), QStringLiteral("active"),
                                 QStringLiteral("on")};
    static const QStringList no{QStringLiteral("no"), QStringLiteral("n"),        QStringLiteral("false"),
                                QStringLiteral("0"),  QStringLiteral("inactive"), QStringLiteral("off")};
    const QString k = key(text);
    if (k.isEmpty() || yes.contains(k))
        return true;
    if (no.contains(k))
        return false;
    return std::nullopt;
}

QList<ImportMembership> parseDivisions(const QString& cell, const Catalogue& catalogue) {
    QList<ImportMembership> list;
    for (const QString& piece : cell.split(QLatin1Char('|'))) {
        const QString name = piece.trimmed();
        if (name.isEmpty())
            continue;
        const qsizetype colon = name.lastIndexOf(QStringLiteral(": "));
        if (catalogue.divisions.contains(key(name)) || colon < 1)
            list << ImportMembership{name, QString()};
        else
            list << ImportMembership{name.left(colon).trimmed(), name.mid(colon + 2).trimmed()};
    }
    return list;
}

struct PreviewBuilder {
    const CsvTable& table;
    const QList<ImportField>& mapping;
    bool createMissing;
    QString divisionGame;
    Catalogue catalogue;
    ImportPreview preview;
    QHash<QString, int> linesByName;

    int column(ImportField field) const { return static_cast<int>(mapping.indexOf(field)); }
    bool mapped(ImportField field) const { return column(field) >= 0; }

    QString cell(const CsvRecord& record, ImportField field) const {
        const int c = column(field);
        return c >= 0 && c < record.fields.size() ? UnguardFormula(record.fields.at(c).trimmed()) : QString();
    }

    // A name that must exist, or be created with the user's agreement.
    void requireName(ImportRow& row, bool exists, const QString& what, QStringList& toCreate,
                     const QString& name) {
        if (exists || name.isEmpty())
            return;
        if (!createMissing) {
            row.problems << what + QStringLiteral(" does not exist (allow creating missing names to add it)");
            return;
        }
        if (!std::any_of(toCreate.begin(), toCreate.end(),
                         [&](const QString& n) { return key(n) == key(name); }))
            toCreate << name;
    }

    ImportRow readRow(const CsvRecord& record, QStringList& connections, QStringList& divisions,
                      QList<QPair<QString, QString>>& titles,
                      std::array<QStringList, kCustomFieldCount>& entries) {
        ImportRow row;
        row.line = record.line;
        if (record.fields.size() > table.header.size())
            row.problems << QStringLiteral("the line has %1 fields but the header only %2")
                                .arg(record.fields.size())
                                .arg(table.header.size());
        PlayerRecord& p = row.player;
        p.onlineName = cell(record, ImportField::OnlineName);
        row.onlineName = p.onlineName;
        if (p.onlineName.isEmpty()) {
            row.problems << QStringLiteral("the online name is missing");
        } else if (const auto earlier = linesByName.constFind(key(p.onlineName));
                   earlier != linesByName.cend()) {
            row.problems << QStringLiteral("the online name %1 is already on line %2 of the file")
                                .arg(quoted(p.onlineName))
                                .arg(*earlier);
        } else {
            linesByName.insert(key(p.onlineName), record.line);
        }
        row.existingKey = catalogue.players.value(key(p.onlineName), 0);

        p.realName = cell(record, ImportField::RealName);
        p.emailPrimary = cell(record, ImportField::EmailPrimary);
        p.emailSecondary = cell(record, ImportField::EmailSecondary);
        for (const QString& address : {p.emailPrimary, p.emailSecondary})
            if (!IsEmailAddress(address))
                row.problems
                    << QStringLiteral("the e-mail address %1 is not a valid address").arg(quoted(address));
        p.icq = cell(record, ImportField::Icq);
        if (!IcqNumber(p.icq))
            row.problems << QStringLiteral("the ICQ number %1 is not a whole number from 0 to 2147483647")
                                .arg(quoted(p.icq));
        p.aim = cell(record, ImportField::Aim);
        p.yahoo = cell(record, ImportField::Yahoo);
        p.msn = cell(record, ImportField::Msn);
        p.discord = cell(record, ImportField::Discord);
        p.notes = mapped(ImportField::Notes) && column(ImportField::Notes) < record.fields.size()
                      ? UnguardFormula(record.fields.at(column(ImportField::Notes)).trimmed())
                      : QString();

        const QString zone = cell(record, ImportField::TimeZone);
        row.zoneGiven = !zone.isEmpty();
        if (zone.isEmpty()) {
            p.timeZone = CurrentOptions().UserTimeZone;
            if (!catalogue.hasZone(p.timeZone) && row.existingKey == 0)
                row.problems << QStringLiteral("no time zone is given and your own time zone is not in the "
                                               "catalogue");
        } else if (const auto id = catalogue.zone(zone)) {
            p.timeZone = *id;
        } else {
            row.problems << QStringLiteral(
                                "the time zone %1 is not in the catalogue (give a zone's name or an "
                                "offset such as \"+05:30\" or \"UTC-3\")")
                                .arg(quoted(zone));
        }

        const QString active = cell(record, ImportField::Active);
        if (const auto value = activeValue(active))
            p.active = *value;
        else
            row.problems << QStringLiteral("the active value %1 is not Yes or No").arg(quoted(active));

        row.connection = cell(record, ImportField::Connection);
        requireName(row, catalogue.connections.contains(key(row.connection)),
                    QStringLiteral("the connection %1").arg(quoted(row.connection)), connections,
                    row.connection);

        for (int n = 0; n < kCustomFieldCount; ++n) {
            p.customText[n] = cell(record, static_cast<ImportField>(kFirstCustomText + n));
            row.customDrop[n] = cell(record, static_cast<ImportField>(kFirstCustomDrop + n));
            requireName(row, catalogue.entries[n].contains(key(row.customDrop[n])),
                        QStringLiteral("the entry %1 of %2")
                            .arg(quoted(row.customDrop[n]),
                                 ImportFieldName(static_cast<ImportField>(kFirstCustomDrop + n))),
                        entries[n], row.customDrop[n]);
        }

        if (mapped(ImportField::Divisions)) {
            row.memberships = parseDivisions(cell(record, ImportField::Divisions), catalogue);
            for (const ImportMembership& m : *row.memberships) {
                const qint32 division = catalogue.divisions.value(key(m.division), 0);
                if (division == 0 && createMissing && catalogue.firstGame == 0 && divisionGame.isEmpty()) {
                    row.problems << QStringLiteral(
                                        "the division %1 cannot be created before a game exists (name the "
                                        "game of new divisions)")
                                        .arg(quoted(m.division));
                    continue;
                }
                requireName(row, division != 0, QStringLiteral("the division %1").arg(quoted(m.division)),
                            divisions, m.division);
                if (m.title.isEmpty() || catalogue.titles.contains({division, key(m.title)}))
                    continue;
                if (!createMissing) {
                    row.problems << QStringLiteral(
                                        "the title %1 of division %2 does not exist (allow creating "
                                        "missing names to add it)")
                                        .arg(quoted(m.title), quoted(m.division));
                } else if (!std::any_of(titles.begin(), titles.end(), [&](const auto& t) {
                               return key(t.first) == key(m.division) && key(t.second) == key(m.title);
                           })) {
                    titles << QPair<QString, QString>{m.division, m.title};
                }
            }
        }

        for (int d = 0; d < 7; ++d) {
            const auto field = static_cast<ImportField>(kFirstDay + d);
            if (!mapped(field))
                continue;
            const QString text = cell(record, field);
            QString pastMidnight;
            row.days[d] = ParseDayStretches(text, &pastMidnight);
            if (row.days[d])
                continue;
            if (!pastMidnight.isEmpty())
                row.problems << QStringLiteral("the %1 stretch %2 runs past midnight (end it at 24:00 and "
                                               "put the rest on %3)")
                                    .arg(WeekdayName(d + 1), quoted(pastMidnight),
                                         WeekdayName((d + 1) % 7 + 1));
            else
                row.problems << QStringLiteral("the %1 stretches %2 cannot be read (write them like "
                                               "\"20:00-23:00 23:30-24:00\", on the hour or half hour)")
                                    .arg(WeekdayName(d + 1), quoted(text));
        }

        row.action = !row.problems.isEmpty() ? ImportAction::Skip
                     : row.existingKey       ? ImportAction::Update
                                             : ImportAction::New;
        return row;
    }

    void build() {
        preview.mapping = mapping;
        if (!mapped(ImportField::OnlineName)) {
            preview.problem =
                QStringLiteral("No column is assigned to the online name; every player needs one.");
            return;
        }
        catalogue.load();
        for (const CsvRecord& record : table.rows) {
            // Names are collected per row, so that a skipped row creates nothing.
            QStringList connections = preview.newConnections;
            QStringList divisions = preview.newDivisions;
            QList<QPair<QString, QString>> titles = preview.newTitles;
            std::array<QStringList, kCustomFieldCount> entries = preview.newEntries;
            ImportRow row = readRow(record, connections, divisions, titles, entries);
            if (row.action != ImportAction::Skip) {
                preview.newConnections = connections;
                preview.newDivisions = divisions;
                preview.newTitles = titles;
                preview.newEntries = entries;
            }
            preview.rows << row;
        }
    }
};

// Keys of names, read inside the import's transaction after the missing ones have been created.
qint32 lookUp(const QString& sql) {
    return Db().scalar(sql).toInt();
}

void createMissing(const ImportPreview& preview) {
    for (const QString& name : preview.newConnections)
        Db().execute(ConnectionInsertSql(name));
    if (!preview.newGame.isEmpty() && !preview.newDivisions.isEmpty())
        Db().execute(GameInsertSql(
            GameEntry{preview.newGame,
                      lookUp(QStringLiteral("Select Type_ID From GameTypes Order By Type_Description")),
                      lookUp(QStringLiteral("Select Genre_ID From Genres Order By Genre_Name")), QString()}));
    qint32 game = lookUp(QStringLiteral("Select Game_ID From Games Order By Game_Name"));
    if (!preview.divisionGame.isEmpty())
        for (RowSet r = Db().execute(QStringLiteral("Select Game_ID, Game_Name From Games")); !r.eof();
             r.moveNext())
            if (key(r.valueAt(1).toString()) == key(preview.divisionGame)) {
                game = r.valueAt(0).toInt();
                break;
            }
    for (const QString& name : preview.newDivisions)
        Db().execute(DivisionInsertSql(DivisionEntry{name, game, true, QString()}, Now()));
    for (const auto& [division, title] : preview.newTitles) {
        const qint32 divisionKey = lookUp(
            QStringLiteral("Select Division_ID From Divisions Where Division_Name = ") + SqlText(division));
        Db().execute(TitleInsertSql(TitleEntry{division, divisionKey, title}));
    }
    for (int n = 0; n < kCustomFieldCount; ++n)
        for (const QString& text : preview.newEntries[n])
            Db().execute(CustomEntryInsertSql(n + 1, text));
}

// The player an accepted row saves: the file's values for a new player; for an update the stored
// player with the values of the assigned columns (and a given zone) in place of its own.
PlayerRecord mergedPlayer(const ImportRow& row, const QList<ImportField>& mapping, const Catalogue& c,
                          const PlayerRecord& stored) {
    const bool update = row.action == ImportAction::Update;
    PlayerRecord base = stored;
    const PlayerRecord& p = row.player;
    auto take = [&](ImportField f, auto& target, const auto& value) {
        if (!update || mapping.contains(f))
            target = value;
    };
    take(ImportField::OnlineName, base.onlineName, p.onlineName);
    take(ImportField::RealName, base.realName, p.realName);
    take(ImportField::EmailPrimary, base.emailPrimary, p.emailPrimary);
    take(ImportField::EmailSecondary, base.emailSecondary, p.emailSecondary);
    take(ImportField::Icq, base.icq, p.icq);
    take(ImportField::Aim, base.aim, p.aim);
    take(ImportField::Yahoo, base.yahoo, p.yahoo);
    take(ImportField::Msn, base.msn, p.msn);
    take(ImportField::Discord, base.discord, p.discord);
    take(ImportField::Notes, base.notes, p.notes);
    take(ImportField::Active, base.active, p.active);
    if (!update || row.zoneGiven)
        base.timeZone = p.timeZone;
    take(ImportField::Connection, base.connection, c.connections.value(key(row.connection), 0));
    for (int n = 0; n < kCustomFieldCount; ++n) {
        take(static_cast<ImportField>(kFirstCustomText + n), base.customText[n], p.customText[n]);
        take(static_cast<ImportField>(kFirstCustomDrop + n), base.customDrop[n],
             c.entries[n].value(key(row.customDrop[n]), 0));
    }
    return base;
}

// The divisions the file names, each once; without a divisions column an updated player keeps its own.
QList<MembershipEntry> mergedMemberships(const ImportRow& row, const Catalogue& c) {
    QList<MembershipEntry> memberships;
    if (row.memberships) {
        for (const ImportMembership& m : *row.memberships) {
            const qint32 division = c.divisions.value(key(m.division), 0);
            const qint32 title = m.title.isEmpty() ? 0 : c.titles.value({division, key(m.title)}, 0);
            if (std::none_of(memberships.begin(), memberships.end(),
                             [division](const MembershipEntry& e) { return e.divisionId == division; }))
                memberships << MembershipEntry{division, title};
        }
    } else if (row.action == ImportAction::Update) {
        for (const MembershipRow& m : ReadMemberships(row.existingKey))
            memberships << MembershipEntry{m.divisionId, m.titleId};
    }
    return memberships;
}

// What one accepted row writes. An updated player keeps the weekdays the file leaves out, read in the
// zone it had before.
PlayerSave mergedSave(const ImportRow& row, const QList<ImportField>& mapping, const Catalogue& c) {
    const bool update = row.action == ImportAction::Update;
    const PlayerRecord stored =
        update ? LoadPlayer(row.existingKey).value_or(PlayerRecord{}) : PlayerRecord{};
    PlayerSave save;
    save.player = mergedPlayer(row, mapping, c, stored);
    save.memberships = mergedMemberships(row, c);
    const bool anyDay =
        std::any_of(row.days.begin(), row.days.end(), [](const auto& d) { return d.has_value(); });
    if (anyDay || !update) {
        WeekLists week = update ? LoadPlayerSchedule(row.existingKey, stored.timeZone) : WeekLists{};
        for (int d = 0; d < 7; ++d)
            if (row.days[d])
                week[d] = *row.days[d];
        save.schedule = week;
    }
    return save;
}

struct KeyLookup {
    Catalogue catalogue;
    KeyLookup() { catalogue.load(); }
};

} // namespace

QString ImportFieldName(ImportField field) {
    const int n = static_cast<int>(field);
    if (n < kFirstCustomText)
        return QString::fromLatin1(kFixedNames[n]);
    if (n < kFirstCustomDrop) {
        const QString title = CurrentOptions().CustomTextTitle[n - kFirstCustomText].trimmed();
        return title.isEmpty() ? QStringLiteral("Custom Field %1").arg(n - kFirstCustomText + 1) : title;
    }
    if (field < ImportField::Divisions) {
        const QString title = CurrentOptions().CustomDropTitle[n - kFirstCustomDrop].trimmed();
        return title.isEmpty() ? QStringLiteral("Custom List %1").arg(n - kFirstCustomDrop + 1) : title;
    }
    if (field == ImportField::Divisions)
        return QStringLiteral("Divisions");
    return WeekdayName(n - kFirstDay + 1);
}

QStringList RosterCsvHeader() {
    QStringList header;
    for (int n = 1; n < kImportFieldCount; ++n)
        header << ImportFieldName(static_cast<ImportField>(n));
    return header;
}

QList<ImportField> AutoMapping(const QStringList& header) {
    QHash<QString, ImportField> names = otherNames();
    for (int n = kImportFieldCount - 1; n > 0; --n)
        names.insert(compared(ImportFieldName(static_cast<ImportField>(n))), static_cast<ImportField>(n));
    QList<ImportField> mapping;
    for (const QString& heading : header) {
        ImportField field = names.value(compared(heading), ImportField::None);
        if (mapping.contains(field))
            field = ImportField::None;
        mapping << field;
    }
    return mapping;
}

std::optional<QStringList> ParseDayStretches(const QString& cell, QString* pastMidnight) {
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    QList<std::pair<int, int>> stretches;
    for (const QString& token : cell.split(separators, Qt::SkipEmptyParts)) {
        // "20:00-24:00" is the day list's "20:00|24:00", read by the same rule as the editor's.
        QString element = QString(token).replace(QChar(0x2013), QLatin1Char('-'));
        if (element.count(QLatin1Char('-')) != 1)
            return std::nullopt;
        const auto stretch = ParseStretch(element.replace(QLatin1Char('-'), QLatin1Char('|')));
        if (!stretch || stretch->first % kHalfHour != 0 || stretch->second % kHalfHour != 0)
            return std::nullopt;
        if (stretch->first >= stretch->second) {
            if (pastMidnight && stretch->first > stretch->second)
                *pastMidnight = token;
            return std::nullopt;
        }
        stretches << *stretch;
    }
    std::sort(stretches.begin(), stretches.end());
    QList<std::pair<int, int>> joined;
    for (const auto& s : stretches) {
        if (!joined.isEmpty() && s.first <= joined.last().second)
            joined.last().second = std::max(joined.last().second, s.second);
        else
            joined << s;
    }
    QStringList list;
    for (const auto& s : joined)
        list << FormatStretch(s.first, s.second);
    return list;
}

QString FormatDayStretches(const QStringList& dayList) {
    QStringList parts;
    for (const QString& element : dayList)
        if (const auto stretch = ParseStretch(element))
            parts
                << FormatStretch(stretch->first, stretch->second).replace(QLatin1Char('|'), QLatin1Char('-'));
    return parts.join(QLatin1Char(' '));
}

bool ImportPreview::createsSomething() const {
    bool entries = false;
    for (const QStringList& e : newEntries)
        entries = entries || !e.isEmpty();
    return entries || !newConnections.isEmpty() || !newDivisions.isEmpty() || !newTitles.isEmpty();
}

int ImportPreview::count(ImportAction action) const {
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [action](const ImportRow& r) { return r.action == action; }));
}

ImportPreview BuildImportPreview(const CsvTable& table, const QList<ImportField>& mapping, bool createMissing,
                                 const QString& divisionGame) {
    PreviewBuilder builder{table, mapping, createMissing, divisionGame.simplified(), {}, {}, {}};
    builder.build();
    if (!builder.preview.newDivisions.isEmpty()) {
        const qint32 existing = builder.catalogue.gameKey(builder.divisionGame);
        builder.preview.divisionGame =
            existing != 0 ? builder.catalogue.gameName(existing) : builder.divisionGame;
        if (existing == 0)
            builder.preview.newGame = builder.divisionGame;
    }
    return builder.preview;
}

QStringList PreviewProblemLines(const ImportPreview& preview) {
    QStringList lines;
    if (!preview.problem.isEmpty())
        lines << preview.problem;
    for (const ImportRow& row : preview.rows)
        for (const QString& problem : row.problems)
            lines << QStringLiteral("Line %1: %2").arg(row.line).arg(problem);
    return lines;
}

QString ImportSummaryText(const ImportResult& result) {
    return QStringLiteral("%1 %2 added, %3 updated, %4 %5 left out.")
        .arg(result.added)
        .arg(result.added == 1 ? QStringLiteral("player") : QStringLiteral("players"))
        .arg(result.updated)
        .arg(result.skipped)
        .arg(result.skipped == 1 ? QStringLiteral("row") : QStringLiteral("rows"));
}

ImportResult RunImport(const ImportPreview& preview, const std::function<void(int, int)>& progress) {
    ImportResult result;
    const int total = static_cast<int>(preview.rows.size());
    DbConnection::Transaction transaction(Db());
    createMissing(preview);
    const KeyLookup keys;
    const Catalogue& c = keys.catalogue;
    int done = 0;
    for (const ImportRow& row : preview.rows) {
        ++done;
        if (row.action == ImportAction::Skip) {
            ++result.skipped;
        } else if (row.action == ImportAction::Update) {
            UpdatePlayer(row.existingKey, mergedSave(row, preview.mapping, c));
            ++result.updated;
        } else {
            AddPlayer(mergedSave(row, preview.mapping, c));
            ++result.added;
        }
        if (progress)
            progress(done, total);
    }
    transaction.commit();
    return result;
}

CsvReadResult ReadRosterFile(const QString& path, std::optional<char> delimiter) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt,
                QStringLiteral("The file %1 cannot be opened: %2").arg(path, file.errorString())};
    return ReadCsv(file.readAll(), delimiter);
}

} // namespace rm
