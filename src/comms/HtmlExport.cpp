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

namespace rm {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Appends one line with its CR LF.
void line(QString& out, const QString& text) {
    out += text;
    out += kCrLf;
}

QString trimmedEscaped(const RowSet& rs, const QString& column) {
    return HtmlEscape(rs.text(column).trimmed());
}

void messengerLine(QString& out, const QString& label, const QString& value) {
    line(out, QStringLiteral("      ") + label + QStringLiteral(": ") + HtmlEscape(value) +
                  QStringLiteral("<BR>"));
}

// The enabled custom fields as title and value, free-text fields first, then the pick-list fields.
void customFieldsRow(QString& out, const RowSet& player) {
    const OptionsRecord& options = CurrentOptions();
    QStringList entries;
    for (int i = 0; i < kCustomFieldCount; ++i) {
        if (!options.CustomTextEnabled[i])
            continue;
        const QString column = QStringLiteral("Player_Custom%1").arg(i + 1);
        entries << HtmlEscape(options.CustomTextTitle[i].trimmed()) + QStringLiteral(": ") +
                       trimmedEscaped(player, column);
    }
    for (int i = 0; i < kCustomFieldCount; ++i) {
        if (!options.CustomDropEnabled[i])
            continue;
        const qint32 key = player.integer(QStringLiteral("Player_CustomDrop%1").arg(i + 1));
        entries << HtmlEscape(options.CustomDropTitle[i].trimmed()) + QStringLiteral(": ") +
                       HtmlEscape(key > 0 ? RetrieveCustomEntry(key) : QString());
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
WeekLists LoadPlayerDayLists(qint32 playerKey) {
    const qint32 zone = Db().scalar(QStringLiteral("Select Player_TimeZone From Players Where Player_ID = ") +
                                    QString::number(playerKey) + QStringLiteral(" "))
                            .toInt();
    return LoadPlayerSchedule(playerKey, zone);
}

void scheduleRows(QString& out, qint32 playerKey) {
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
    const WeekLists week = LoadPlayerDayLists(playerKey);
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

QString titleText(qint32 titleKey) {
    RowSet rs = Db().execute(TitleLookupSql(titleKey));
    const QString text =
        rs.eof() ? QStringLiteral("Unknown") : rs.text(QStringLiteral("Title_Description")).trimmed();
    rs.close();
    return text;
}

void divisionRows(QString& out, qint32 playerKey) {
    line(out, QStringLiteral("  <TR>"));
    line(out, QStringLiteral("    <TD COLSPAN=3 ALIGN=CENTER>"));
    line(out, QStringLiteral("      <B>DIVISIONS</B><BR>"));
    line(out, QStringLiteral("      <TABLE BORDER=1 width=100%>"));
    line(out, QStringLiteral("        <TR>"));
    line(out, QStringLiteral("          <TD ALIGN=LEFT><B>Division</B></TD>"));
    line(out, QStringLiteral("          <TD ALIGN=LEFT><B>Title</B></TD>"));
    line(out, QStringLiteral("        </TR>"));
    RowSet rs = Db().execute(MembershipsSql(playerKey));
    if (rs.eof())
        line(out, QStringLiteral("        <TR><TD COLSPAN=2>Not a member of any Divisions</TD></TR>"));
    for (; !rs.eof(); rs.moveNext()) {
        line(out, QStringLiteral("        <TR>"));
        line(out, QStringLiteral("          <TD>") + trimmedEscaped(rs, QStringLiteral("Division_Name")) +
                      QStringLiteral("</TD>"));
        const qint32 title = rs.integer(QStringLiteral("Member_Title"));
        if (title > 0)
            line(out,
                 QStringLiteral("          <TD>") + HtmlEscape(titleText(title)) + QStringLiteral("</TD>"));
        else
            line(out, QStringLiteral("          <TD>None</TD>"));
        line(out, QStringLiteral("        </TR>"));
    }
    rs.close();
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

QString PlayerExportSql(const ExportFields& fields, qint32 playerKey) {
    QString sql = QStringLiteral("Select ");
    QString columns;
    if (fields.playerName)
        columns += QStringLiteral("Player_OnlineName, ");
    if (fields.realName)
        columns += QStringLiteral("Player_RealName, ");
    if (fields.email)
        columns += QStringLiteral("Player_EmailPrimary, ");
    if (fields.im)
        columns += QStringLiteral("Player_ICQ, Player_AIM, Player_Yahoo, Player_MSN, Player_Discord, ");
    if (fields.timeZone)
        columns += QStringLiteral("TZ_Name, ");
    if (fields.notes)
        columns += QStringLiteral("Player_Notes, ");
    if (fields.status)
        columns += QStringLiteral("Player_Active, ");
    if (fields.custom)
        columns += QStringLiteral(
            "Player_Custom1, Player_Custom2, Player_Custom3, Player_Custom4, "
            "Player_CustomDrop1, Player_CustomDrop2, Player_CustomDrop3, Player_CustomDrop4, ");
    // Schedule and memberships read their own rows; the statement then only confirms the player.
    if (columns.isEmpty())
        columns = QStringLiteral("Player_ID, ");
    sql += columns;
    sql.chop(2);
    sql += QStringLiteral(" ");
    sql += QStringLiteral("From Players, TimeZones ");
    sql += QStringLiteral("Where Player_ID = ") + QString::number(playerKey) + QStringLiteral(" ");
    sql += QStringLiteral("And Player_TimeZone = TZ_ID ");
    sql += QStringLiteral("Order By Player_OnlineName ");
    return sql;
}

QString DivisionMembersSql(qint32 divisionKey, const QList<qint32>& written) {
    QString sql = QStringLiteral("Select Member_Player_ID From Members Where Member_Division_ID = ") +
                  QString::number(divisionKey) + QStringLiteral(" ");
    for (const qint32 key : written)
        sql += QStringLiteral("And Member_Player_ID <> ") + QString::number(key) + QStringLiteral(" ");
    return sql;
}

QString MembershipsSql(qint32 playerKey) {
    return QStringLiteral("Select Division_ID, Division_Name, Member_Title ") +
           QStringLiteral("From Members, Divisions ") +
           QStringLiteral("Where Member_Division_ID = Division_ID ") +
           QStringLiteral("And Member_Player_ID = ") + QString::number(playerKey) + QStringLiteral(" ") +
           QStringLiteral("Order By Division_Name");
}

QString TitleLookupSql(qint32 titleKey) {
    return QStringLiteral("Select Title_Description From Titles Where Title_ID = ") +
           QString::number(titleKey) + QStringLiteral(" ");
}

QString ExportProblems(bool playersListShown, bool anySelected, bool anyField) {
    QString problems = SelectionProblem(playersListShown, anySelected);
    if (!anyField)
        problems += QStringLiteral("Nothing was selected to export to HTML!\n\n");
    return problems;
}

QString PlayerBlock(const ExportFields& f, qint32 playerKey) {
    RowSet p = Db().execute(PlayerExportSql(f, playerKey));
    if (p.eof())
        throw ExportError(kPlayerNotRetrievedError, kPlayerNotRetrievedText);

    QString out;
    line(out, QStringLiteral("<TABLE BORDER=1 WIDTH=735>"));
    line(out, QStringLiteral("  <TR>"));
    if (f.playerName)
        line(out, QStringLiteral("    <TD COLSPAN=2>") +
                      trimmedEscaped(p, QStringLiteral("Player_OnlineName")) + QStringLiteral("&nbsp;</TD>"));
    else
        line(out, QStringLiteral("    <TD COLSPAN=2>&nbsp;</TD>"));
    if (f.status)
        line(out, p.boolean(QStringLiteral("Player_Active"))
                      ? QStringLiteral("    <TD>Status: Active</TD>")
                      : QStringLiteral("    <TD>Status: Inactive</TD>"));
    else
        line(out, QStringLiteral("    <TD>&nbsp;</TD>"));
    line(out, QStringLiteral("  </TR>"));

    line(out, QStringLiteral("  <TR>"));
    QString realName = QStringLiteral("    <TD COLSPAN=3>");
    if (f.realName)
        realName += trimmedEscaped(p, QStringLiteral("Player_RealName"));
    realName += QStringLiteral("&nbsp;");
    realName += QStringLiteral("    </TD>");
    line(out, realName);
    line(out, QStringLiteral("  </TR>"));

    line(out, QStringLiteral("  <TR>"));
    if (f.email) {
        const QString address = trimmedEscaped(p, QStringLiteral("Player_EmailPrimary"));
        line(out, QStringLiteral("    <TD valign=top><A HREF=\"mailto:") + address + QStringLiteral("\">") +
                      address + QStringLiteral("</A>&nbsp;</TD>"));
    } else {
        out += QStringLiteral("    <TD valign=top>&nbsp;</TD>"); // the next cell follows on this line
    }
    if (f.im) {
        line(out, QStringLiteral("    <TD valign=top>"));
        const qint32 icq = p.integer(QStringLiteral("Player_ICQ"));
        messengerLine(out, QStringLiteral("ICQ"), icq == 0 ? QString() : QString::number(icq));
        messengerLine(out, QStringLiteral("AIM"), p.text(QStringLiteral("Player_AIM")).trimmed());
        messengerLine(out, QStringLiteral("Yahoo"), p.text(QStringLiteral("Player_Yahoo")).trimmed());
        messengerLine(out, QStringLiteral("MSNIM"), p.text(QStringLiteral("Player_MSN")).trimmed());
        // Only players who gave one: pages of rosters without Discord read as before.
        if (const QString discord = p.text(QStringLiteral("Player_Discord")).trimmed(); !discord.isEmpty())
            messengerLine(out, QStringLiteral("Discord"), discord);
        line(out, QStringLiteral("    </TD>"));
    } else {
        line(out, QStringLiteral("    <TD valign=top>&nbsp;</TD>"));
    }
    if (f.timeZone)
        line(out, QStringLiteral("    <TD valign=top>Time Zone: ") +
                      trimmedEscaped(p, QStringLiteral("TZ_Name")) + QStringLiteral("&nbsp;</TD>"));
    else
        line(out, QStringLiteral("    <TD valign=top>&nbsp;</TD>"));
    line(out, QStringLiteral("  </TR>"));

    if (f.custom)
        customFieldsRow(out, p);
    const QString notes = f.notes ? trimmedEscaped(p, QStringLiteral("Player_Notes")) : QString();
    p.close();

    if (f.schedule)
        scheduleRows(out, playerKey);
    if (f.division)
        divisionRows(out, playerKey);

    line(out, QStringLiteral("  <TR>"));
    if (f.notes)
        line(out, QStringLiteral("    <TD COLSPAN=3><B>Notes:</B> ") + notes + QStringLiteral("&nbsp;</TD>"));
    else
        line(out, QStringLiteral("    <TD COLSPAN=3>&nbsp;</TD>"));
    line(out, QStringLiteral("  </TR>"));
    line(out, QStringLiteral("</TABLE>"));
    line(out, QString());
    line(out, QStringLiteral("<BR><BR>"));
    line(out, QString());
    return out;
}

QString CreateHTMLByPlayer(const ExportFields& fields, const QList<qint32>& playerKeys) {
    QString html;
    for (const qint32 key : playerKeys)
        html += PlayerBlock(fields, key);
    return html;
}

QString CreateHTMLByDivision(const ExportFields& fields, const QList<qint32>& divisionKeys) {
    QString html;
    QList<qint32> written;
    for (const qint32 division : divisionKeys) {
        QList<qint32> members;
        RowSet rs = Db().execute(DivisionMembersSql(division, written));
        for (; !rs.eof(); rs.moveNext())
            members << rs.integer(QStringLiteral("Member_Player_ID"));
        rs.close();
        for (const qint32 key : members) {
            // A player listed twice under one division is still written once.
            if (written.contains(key))
                continue;
            html += PlayerBlock(fields, key);
            written << key;
        }
    }
    return html;
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
