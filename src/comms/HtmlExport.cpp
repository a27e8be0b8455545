#include "comms/HtmlExport.h"

#include "comms/Templates.h"
#include "data/AppEnvironment.h"
#include "data/CustomFields.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/SafeFile.h"
#include "roster/PlayerStore.h"
#include "roster/ScheduleStorage.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <array>

namespace rm {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Appends one line with its CR LF.
void line(QString& out, const QString& text) {
    out += text;
    out += kCrLf;
}

QString joinedKeys(const QList<qint32>& keys) {
    QStringList list;
    for (const qint32 key : keys)
        list << QString::number(key);
    return list.join(QStringLiteral(", "));
}

// A division the player is a member of, and the title held there ("None" without one, "Unknown"
// when the title is gone).
struct ExportMembership {
    QString division;
    QString title;
};

// What the page shows of one player, read before any markup is written.
struct ExportRecord {
    PlayerRecord player; // every text trimmed
    QString zoneName;
    WeekLists week;
    QList<ExportMembership> memberships;
};

// The players of the page with a zone in the catalogue; the others cannot be read.
QString playersSql(const QList<qint32>& keys) {
    return QStringLiteral("Select Players.*, TZ_Name From Players, TimeZones Where Player_ID In (") +
           joinedKeys(keys) + QStringLiteral(") And Player_TimeZone = TZ_ID");
}

QString membershipsSql(const QList<qint32>& keys) {
    return QStringLiteral(
               "Select Member_Player_ID, Division_Name, Member_Title, Title_ID, Title_Description ") +
           QStringLiteral("From Members Inner Join Divisions On Member_Division_ID = Division_ID ") +
           QStringLiteral("Left Join Titles On Title_ID = Member_Title ") +
           QStringLiteral("Where Member_Player_ID In (") + joinedKeys(keys) + QStringLiteral(") ") +
           QStringLiteral("Order By Member_Player_ID, Division_Name");
}

// The records of the players, a few statements for all of them; the parts the fields leave out are
// not read.
QHash<qint32, ExportRecord> loadRecords(const ExportFields& f, const QList<qint32>& keys) {
    QHash<qint32, ExportRecord> records;
    if (keys.isEmpty())
        return records;
    for (RowSet p = Db().execute(playersSql(keys)); !p.eof(); p.moveNext())
        records.insert(p.integer(QStringLiteral("Player_ID")),
                       ExportRecord{PlayerFromRow(p), p.text(QStringLiteral("TZ_Name")).trimmed(), {}, {}});
    if (f.schedule) {
        QHash<qint32, qint32> zones;
        for (auto it = records.cbegin(); it != records.cend(); ++it)
            zones.insert(it.key(), it->player.timeZone);
        const QHash<qint32, WeekLists> weeks = LoadPlayerSchedules(zones);
        for (auto it = weeks.cbegin(); it != weeks.cend(); ++it)
            records[it.key()].week = *it;
    }
    if (f.division) {
        for (RowSet m = Db().execute(membershipsSql(keys)); !m.eof(); m.moveNext()) {
            const auto record = records.find(m.integer(QStringLiteral("Member_Player_ID")));
            if (record == records.end())
                continue;
            QString title = QStringLiteral("None");
            if (m.integer(QStringLiteral("Member_Title")) > 0)
                title = m.value(QStringLiteral("Title_ID")).isNull()
                            ? QStringLiteral("Unknown")
                            : m.text(QStringLiteral("Title_Description")).trimmed();
            record->memberships << ExportMembership{m.text(QStringLiteral("Division_Name")).trimmed(), title};
        }
    }
    return records;
}

// The texts of the pick-list entries by key, read once for the page.
QHash<qint32, QString> customEntries() {
    QHash<qint32, QString> entries;
    for (RowSet r = Db().execute(QStringLiteral("Select Custom_ID, Custom_FieldText From CustomFields"));
         !r.eof(); r.moveNext())
        entries.insert(r.integer(QStringLiteral("Custom_ID")),
                       r.text(QStringLiteral("Custom_FieldText")).trimmed());
    return entries;
}

void messengerLine(QString& out, const QString& label, const QString& value) {
    line(out, QStringLiteral("      ") + label + QStringLiteral(": ") + HtmlEscape(value) +
                  QStringLiteral("<BR>"));
}

// The enabled custom fields as title and value, free-text fields first, then the pick-list fields.
void customFieldsRow(QString& out, const PlayerRecord& player, const QHash<qint32, QString>& entryTexts) {
    const OptionsRecord& options = CurrentOptions();
    QStringList entries;
    for (int i = 0; i < kCustomFieldCount; ++i) {
        if (!options.CustomTextEnabled[i])
            continue;
        entries << HtmlEscape(options.CustomTextTitle[i].trimmed()) + QStringLiteral(": ") +
                       HtmlEscape(player.customText[i]);
    }
    for (int i = 0; i < kCustomFieldCount; ++i) {
        if (!options.CustomDropEnabled[i])
            continue;
        const qint32 key = player.customDrop[i];
        entries << HtmlEscape(options.CustomDropTitle[i].trimmed()) + QStringLiteral(": ") +
                       HtmlEscape(key > 0 ? entryTexts.value(key) : QString());
    }
    line(out, QStringLiteral("  <TR>"));
    if (entries.isEmpty()) {
        line(out, QStringLiteral("    <TD COLSPAN=3>&nbsp;</TD>"));
    } else {
        line(out, QStringLiteral("    <TD COLSPAN=3>"));
        for (const QString& entry : entries)
            line(out, QStringLiteral("      ") + entry + QStringLiteral("<BR>"));
        line(out, QStringLiteral("    </TD>"));
    }
    line(out, QStringLiteral("  </TR>"));
}

// The player's stretches in the player's own local time, as the player dialog shows them.
void scheduleRows(QString& out, const WeekLists& week) {
    static const char* const kDays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    line(out, QStringLiteral("  <TR>"));
    line(out, QStringLiteral("    <TD COLSPAN=3 ALIGN=CENTER>"));
    line(out, QStringLiteral("      <B>SCHEDULE</B><BR>"));
    line(out, QStringLiteral("      <TABLE BORDER=1>"));
    line(out, QStringLiteral("        <TR>"));
    for (const char* day : kDays)
        line(out,
             QStringLiteral("          <TD WIDTH=105 ALIGN=CENTER><B>%1</B></TD>").arg(QLatin1String(day)));
    line(out, QStringLiteral("        </TR>"));
    line(out, QStringLiteral("        <TR>"));
    for (int day = 1; day <= 7; ++day) {
        line(out, QStringLiteral("          <TD WIDTH=105 ALIGN=CENTER valign=top>"));
        const QStringList& stretches = week[day - 1];
        if (stretches.isEmpty())
            line(out, QStringLiteral("                    &nbsp;"));
        for (const QString& stretch : stretches) {
            const QString start = stretch.section(QLatin1Char('|'), 0, 0);
            const QString end = stretch.section(QLatin1Char('|'), 1, 1);
            line(out, QStringLiteral("             ") + start + QStringLiteral(" - ") + end +
                          QStringLiteral("<BR>"));
        }
        line(out, QStringLiteral("           </TD>"));
    }
    line(out, QStringLiteral("        </TR>"));
    line(out, QStringLiteral("      </TABLE>"));
    line(out, QStringLiteral("    </TD>"));
    line(out, QStringLiteral("  </TR>"));
}

void divisionRows(QString& out, const QList<ExportMembership>& memberships) {
    line(out, QStringLiteral("  <TR>"));
    line(out, QStringLiteral("    <TD COLSPAN=3 ALIGN=CENTER>"));
    line(out, QStringLiteral("      <B>DIVISIONS</B><BR>"));
    line(out, QStringLiteral("      <TABLE BORDER=1 width=100%>"));
    line(out, QStringLiteral("        <TR>"));
    line(out, QStringLiteral("          <TD ALIGN=LEFT><B>Division</B></TD>"));
    line(out, QStringLiteral("          <TD ALIGN=LEFT><B>Title</B></TD>"));
    line(out, QStringLiteral("        </TR>"));
    if (memberships.isEmpty())
        line(out, QStringLiteral("        <TR><TD COLSPAN=2>Not a member of any Divisions</TD></TR>"));
    for (const ExportMembership& m : memberships) {
        line(out, QStringLiteral("        <TR>"));
        line(out, QStringLiteral("          <TD>") + HtmlEscape(m.division) + QStringLiteral("</TD>"));
        line(out, QStringLiteral("          <TD>") + HtmlEscape(m.title) + QStringLiteral("</TD>"));
        line(out, QStringLiteral("        </TR>"));
    }
    line(out, QStringLiteral("      </TABLE>"));
    line(out, QStringLiteral("    </TD>"));
    line(out, QStringLiteral("  </TR>"));
}

} // namespace

QString HtmlEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString DivisionMembersSql(qint32 divisionKey, const QList<qint32>& written) {
    QString sql = QStringLiteral("Select Member_Player_ID From Members Where Member_Division_ID = ") +
                  QString::number(divisionKey) + QStringLiteral(" ");
    for (const qint32 key : written)
        sql += QStringLiteral("And Member_Player_ID <> ") + QString::number(key) + QStringLiteral(" ");
    return sql;
}

QString ExportProblems(bool playersListShown, bool anySelected, bool anyField) {
    QString problems = SelectionProblem(playersListShown, anySelected);
    if (!anyField)
        problems += QStringLiteral("Nothing was selected to export to HTML!\n\n");
    return problems;
}

namespace {

// The block of one player, from its record.
QString playerBlock(const ExportFields& f, const ExportRecord& record,
                    const QHash<qint32, QString>& entryTexts) {
    const PlayerRecord& p = record.player;
    QString out;
    line(out, QStringLiteral("<TABLE BORDER=1 WIDTH=735>"));
    line(out, QStringLiteral("  <TR>"));
    if (f.playerName)
        line(out,
             QStringLiteral("    <TD COLSPAN=2>") + HtmlEscape(p.onlineName) + QStringLiteral("&nbsp;</TD>"));
    else
        line(out, QStringLiteral("    <TD COLSPAN=2>&nbsp;</TD>"));
    if (f.status)
        line(out, p.active ? QStringLiteral("    <TD>Status: Active</TD>")
                           : QStringLiteral("    <TD>Status: Inactive</TD>"));
    else
        line(out, QStringLiteral("    <TD>&nbsp;</TD>"));
    line(out, QStringLiteral("  </TR>"));

    line(out, QStringLiteral("  <TR>"));
    QString realName = QStringLiteral("    <TD COLSPAN=3>");
    if (f.realName)
        realName += HtmlEscape(p.realName);
    realName += QStringLiteral("&nbsp;");
    realName += QStringLiteral("    </TD>");
    line(out, realName);
    line(out, QStringLiteral("  </TR>"));

    line(out, QStringLiteral("  <TR>"));
    if (f.email) {
        const QString address = HtmlEscape(p.emailPrimary);
        line(out, QStringLiteral("    <TD valign=top><A HREF=\"mailto:") + address + QStringLiteral("\">") +
                      address + QStringLiteral("</A>&nbsp;</TD>"));
    } else {
        out += QStringLiteral("    <TD valign=top>&nbsp;</TD>"); // the next cell follows on this line
    }
    if (f.im) {
        line(out, QStringLiteral("    <TD valign=top>"));
        messengerLine(out, QStringLiteral("ICQ"), p.icq);
        messengerLine(out, QStringLiteral("AIM"), p.aim);
        messengerLine(out, QStringLiteral("Yahoo"), p.yahoo);
        messengerLine(out, QStringLiteral("MSNIM"), p.msn);
        // Only players who gave one: pages of rosters without Discord read as before.
        if (!p.discord.isEmpty())
            messengerLine(out, QStringLiteral("Discord"), p.discord);
        line(out, QStringLiteral("    </TD>"));
    } else {
        line(out, QStringLiteral("    <TD valign=top>&nbsp;</TD>"));
    }
    if (f.timeZone)
        line(out, QStringLiteral("    <TD valign=top>Time Zone: ") + HtmlEscape(record.zoneName) +
                      QStringLiteral("&nbsp;</TD>"));
    else
        line(out, QStringLiteral("    <TD valign=top>&nbsp;</TD>"));
    line(out, QStringLiteral("  </TR>"));

    if (f.custom)
        customFieldsRow(out, p, entryTexts);
    if (f.schedule)
        scheduleRows(out, record.week);
    if (f.division)
        divisionRows(out, record.memberships);

    line(out, QStringLiteral("  <TR>"));
    if (f.notes)
        line(out, QStringLiteral("    <TD COLSPAN=3><B>Notes:</B> ") + HtmlEscape(p.notes) +
                      QStringLiteral("&nbsp;</TD>"));
    else
        line(out, QStringLiteral("    <TD COLSPAN=3>&nbsp;</TD>"));
    line(out, QStringLiteral("  </TR>"));
    line(out, QStringLiteral("</TABLE>"));
    line(out, QString());
    line(out, QStringLiteral("<BR><BR>"));
    line(out, QString());
    return out;
}

} // namespace

QString PlayerBlock(const ExportFields& fields, qint32 playerKey) {
    return CreateHTMLByPlayer(fields, {playerKey});
}

QString CreateHTMLByPlayer(const ExportFields& fields, const QList<qint32>& playerKeys) {
    const QHash<qint32, ExportRecord> records = loadRecords(fields, playerKeys);
    const QHash<qint32, QString> entryTexts = fields.custom ? customEntries() : QHash<qint32, QString>{};
    QString html;
    for (const qint32 key : playerKeys) {
        const auto record = records.constFind(key);
        if (record == records.cend())
            throw ExportError(kPlayerNotRetrievedError, kPlayerNotRetrievedText);
        html += playerBlock(fields, *record, entryTexts);
    }
    return html;
}

QString CreateHTMLByDivision(const ExportFields& fields, const QList<qint32>& divisionKeys) {
    QList<qint32> written;
    for (const qint32 division : divisionKeys) {
        QList<qint32> members;
        RowSet rs = Db().execute(DivisionMembersSql(division, written));
        for (; !rs.eof(); rs.moveNext())
            members << rs.integer(QStringLiteral("Member_Player_ID"));
        rs.close();
        for (const qint32 key : members) {
            // A player listed twice under one division is still written once.
            if (!written.contains(key))
                written << key;
        }
    }
    return CreateHTMLByPlayer(fields, written);
}

QString RosterPage(const QString& clanName, const QDate& date, const QString& blocks) {
    QString page;
    line(page, QStringLiteral("<!DOCTYPE html>"));
    line(page, QStringLiteral("<html>"));
    line(page, QStringLiteral("<head>"));
    line(page, QStringLiteral("<meta charset=\"utf-8\">"));
    line(page, QStringLiteral("<title>") + HtmlEscape(clanName) + QStringLiteral(" Roster - ") +
                   date.toString(Qt::ISODate) + QStringLiteral("</title>"));
    line(page, QStringLiteral("</head>"));
    line(page, QStringLiteral("<body>"));
    page += blocks;
    line(page, QStringLiteral("</body>"));
    page += QStringLiteral("</html>");
    return page;
}

QString ClanName() {
    const QString name = CurrentOptions().ReplyToName.trimmed();
    return name.isEmpty() ? QStringLiteral("Clan") : name;
}

QString ExportFolder() {
    const QString folder = QDir(ApplicationFolder()).filePath(QStringLiteral("Export"));
    QDir().mkpath(folder);
    return folder;
}

void WriteExportFile(const QString& path, const QString& text) {
    QString error;
    if (!WriteFileSafely(path, (text + kCrLf).toUtf8(), &error))
        throw ExportError(0, error);
}

} // namespace rm
