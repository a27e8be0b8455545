#include "comms/AvailabilityPage.h"

#include "comms/EmailSending.h"
#include "comms/HtmlExport.h"
#include "comms/Templates.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/SafeFile.h"
#include "data/SqlText.h"
#include "roster/PlayerStore.h"
#include "time/ZoneClock.h"

#include <QDir>
#include <QSet>

namespace rm {

namespace {

// The page. @...@ marks are filled in; the script reads its data from #week and writes the reply in
// the form of AvailabilityReply.h.
constexpr char kPage[] = R"PAGE(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>@TITLE@</title>
<style>
body { font-family: system-ui, -apple-system, "Segoe UI", Roboto, sans-serif; margin: 1em; color: #222; background: #fafafa; }
h1 { font-size: 1.4em; margin: 0 0 .2em; }
p { margin: .3em 0; }
.zone { color: #555; }
#grid { display: grid; grid-template-columns: 4.2em repeat(7, minmax(2.2em, 1fr)); max-width: 44em;
        margin: .8em 0; user-select: none; -webkit-user-select: none; touch-action: none; outline: none; }
#grid:focus-visible { box-shadow: 0 0 0 3px #7aa7e0; }
.day { text-align: center; font-weight: 600; padding: .2em 0; position: sticky; top: 0; background: #fafafa; }
.time { font-size: .75em; color: #666; text-align: right; padding-right: .4em; line-height: 1; }
.cell { height: .9em; background: #e4e4e4; border-left: 1px solid #fafafa; cursor: pointer; }
.cell.hour { border-top: 1px solid #bbb; }
.cell.on { background: #2e8b57; }
.cell.cursor { outline: 2px solid #1a56b0; outline-offset: -2px; }
button { font-size: 1em; padding: .5em 1.2em; margin: .3em .5em .3em 0; }
#reply { display: block; width: 100%; max-width: 44em; height: 4.5em; font-family: monospace; margin-top: .5em; }
#reply[hidden] { display: none; }
#status { color: #2e6b2e; }
</style>
</head>
<body>
<h1>@CLAN@</h1>
<p>The week of <strong id="player">@NAME@</strong></p>
<p class="zone" id="zone">Times are in your own time: @ZONE@</p>
<p>Drag over the half-hours in which you can usually play; drag over green ones to clear them.
Keyboard: the arrow keys move, Space switches a half-hour on or off.</p>
<div id="grid" tabindex="0" role="grid" aria-label="Your week" data-first-day="0"></div>
<button type="button" id="copy">Copy my reply</button>
<button type="button" id="clear">Clear the week</button>
<textarea id="reply" readonly hidden aria-label="Your reply"></textarea>
<p id="status" role="status"></p>
<script id="week" type="text/plain">@DATA@</script>
<script>
(function () {
  "use strict";
  var data = document.getElementById("week").textContent.split(" ");
  var PLAYER = +data[0], TOKEN = +data[1], STAMP = +data[2], bits = data[3];
  var ALPHABET = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
  var cells = [];
  for (var i = 0; i < 336; i++) cells.push(bits.charAt(i) === "1");

  var CRC = [];
  for (var n = 0; n < 256; n++) {
    var c = n;
    for (var k = 0; k < 8; k++) c = (c & 1) ? (0xEDB88320 ^ (c >>> 1)) : (c >>> 1);
    CRC.push(c >>> 0);
  }
  function crc32(bytes) {
    var c = 0xFFFFFFFF;
    for (var i = 0; i < bytes.length; i++) c = CRC[(c ^ bytes[i]) & 255] ^ (c >>> 8);
    return (c ^ 0xFFFFFFFF) >>> 0;
  }
  function put(bytes, v) { bytes.push((v >>> 24) & 255, (v >>> 16) & 255, (v >>> 8) & 255, v & 255); }
  function reply() {
    var b = [1];
    put(b, PLAYER); put(b, TOKEN); put(b, STAMP); put(b, Math.floor(Date.now() / 1000) >>> 0);
    for (var i = 0; i < 336; i += 8) {
      var x = 0;
      for (var k = 0; k < 8; k++) x = (x << 1) | (cells[i + k] ? 1 : 0);
      b.push(x);
    }
    put(b, crc32(b));
    var s = "RMWEEK-", buffer = 0, count = 0;
    for (var j = 0; j < b.length; j++) {
      buffer = ((buffer << 8) | b[j]) & 0xFFFF; count += 8;
      while (count >= 5) { count -= 5; s += ALPHABET.charAt((buffer >>> count) & 31); }
    }
    if (count > 0) s += ALPHABET.charAt((buffer << (5 - count)) & 31);
    return s;
  }

  // The week starts where the reader's locale starts it.
  function firstDay() {
    var lang = navigator.language || "en-US";
    try {
      var locale = new Intl.Locale(lang);
      var info = locale.getWeekInfo ? locale.getWeekInfo() : locale.weekInfo;
      if (info && info.firstDay) return info.firstDay % 7;
    } catch (e) {}
    var region = (lang.split("-")[1] || "").toUpperCase();
    if (" US CA MX BR JP KR TW HK PH IL ZA IN AR CO PE GT HN PA DO ".indexOf(" " + region + " ") >= 0) return 0;
    if (" AE AF BH DZ EG IQ IR JO KW LY OM QA SY ".indexOf(" " + region + " ") >= 0) return 6;
    return 1;
  }
  var first = firstDay();
  var order = [];
  for (var p = 0; p < 7; p++) order.push((first + p) % 7);
  function column(day) { return (day - first + 7) % 7; }

  function format(options, date) {
    try { return new Intl.DateTimeFormat(undefined, options).format(date); } catch (e) { return ""; }
  }
  var grid = document.getElementById("grid");
  grid.setAttribute("data-first-day", String(first));
  var nodes = [];
  function add(cls, text) {
    var d = document.createElement("div");
    d.className = cls;
    if (text) d.textContent = text;
    grid.appendChild(d);
    return d;
  }
  add("day", "");
  for (var q = 0; q < 7; q++)
    add("day", format({ weekday: "short", timeZone: "UTC" }, new Date(Date.UTC(1970, 0, 4 + order[q]))) ||
        ["Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"][order[q]]);
  for (var slot = 0; slot < 48; slot++) {
    var label = "";
    if (slot % 2 === 0)
      label = format({ hour: "numeric", minute: "2-digit", timeZone: "UTC" }, new Date(Date.UTC(1970, 0, 4, slot / 2))) ||
        ((slot < 20 ? "0" : "") + slot / 2 + ":00");
    add("time", label);
    for (var r = 0; r < 7; r++) {
      var day = order[r], index = day * 48 + slot;
      var cell = add("cell" + (slot % 2 === 0 ? " hour" : ""), "");
      cell.id = "c-" + day + "-" + slot;
      cell.setAttribute("data-i", String(index));
      cell.setAttribute("role", "gridcell");
      nodes[index] = cell;
    }
  }
  var cursor = order[0] * 48 + 36;
  function draw() {
    for (var i = 0; i < 336; i++) {
      var name = "cell" + (i % 2 === 0 ? " hour" : "") + (cells[i] ? " on" : "") + (i === cursor ? " cursor" : "");
      if (nodes[i].className !== name) nodes[i].className = name;
      nodes[i].setAttribute("aria-selected", cells[i] ? "true" : "false");
    }
  }

  // Painting: everything in the rectangle from the first cell to the current one takes the state
  // that the first cell did not have.
  var painting = false, paintOn = false, anchor = 0, before = null;
  function cellAt(x, y) {
    var el = document.elementFromPoint(x, y);
    return el && el.getAttribute && el.getAttribute("data-i") !== null ? +el.getAttribute("data-i") : -1;
  }
  function paintTo(i) {
    cells = before.slice();
    var c0 = column(Math.floor(anchor / 48)), c1 = column(Math.floor(i / 48));
    var s0 = anchor % 48, s1 = i % 48;
    for (var c = Math.min(c0, c1); c <= Math.max(c0, c1); c++)
      for (var s = Math.min(s0, s1); s <= Math.max(s0, s1); s++) cells[order[c] * 48 + s] = paintOn;
    cursor = i;
    draw();
  }
  grid.addEventListener("pointerdown", function (e) {
    var i = cellAt(e.clientX, e.clientY);
    if (i < 0) return;
    e.preventDefault();
    grid.focus();
    painting = true; anchor = i; paintOn = !cells[i]; before = cells.slice();
    try { grid.setPointerCapture(e.pointerId); } catch (x) {}
    paintTo(i);
  });
  grid.addEventListener("pointermove", function (e) {
    if (!painting) return;
    e.preventDefault();
    var i = cellAt(e.clientX, e.clientY);
    if (i >= 0) paintTo(i);
  });
  function stop() { painting = false; }
  grid.addEventListener("pointerup", stop);
  grid.addEventListener("pointercancel", stop);
  grid.addEventListener("lostpointercapture", stop);

  grid.addEventListener("keydown", function (e) {
    var day = Math.floor(cursor / 48), slot = cursor % 48, col = column(day);
    if (e.key === "ArrowUp") slot = Math.max(0, slot - 1);
    else if (e.key === "ArrowDown") slot = Math.min(47, slot + 1);
    else if (e.key === "ArrowLeft") col = Math.max(0, col - 1);
    else if (e.key === "ArrowRight") col = Math.min(6, col + 1);
    else if (e.key === " " || e.key === "Spacebar") cells[cursor] = !cells[cursor];
    else return;
    e.preventDefault();
    cursor = order[col] * 48 + slot;
    draw();
    nodes[cursor].scrollIntoView({ block: "nearest" });
  });

  var status = document.getElementById("status");
  document.getElementById("clear").addEventListener("click", function () {
    for (var i = 0; i < 336; i++) cells[i] = false;
    draw();
  });
  document.getElementById("copy").addEventListener("click", function () {
    var text = reply(), box = document.getElementById("reply");
    box.value = text;
    box.hidden = false;
    box.focus();
    box.select();
    function copied() { status.textContent = "Your reply is copied: paste it into a mail or chat message to @CLANJS@."; }
    function manual() {
      var ok = false;
      try { ok = document.execCommand("copy"); } catch (e) {}
      status.textContent = ok ? "Your reply is copied: paste it into a mail or chat message to @CLANJS@."
                              : "Copy the selected text above and send it to @CLANJS@.";
    }
    if (navigator.clipboard && navigator.clipboard.writeText)
      navigator.clipboard.writeText(text).then(copied, manual);
    else manual();
  });
  draw();
})();
</script>
</body>
</html>
)PAGE";

QString escaped(const QString& text) {
    return HtmlEscape(text).replace(QLatin1Char('\''), QStringLiteral("&#39;"));
}

// Text placed inside a script string: letters pass, anything that could end the string or the
// script is written as \uXXXX.
QString scriptText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('.') || c == QLatin1Char('-'))
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString clanName() {
    const QString name = CurrentOptions().ReplyToName.trimmed();
    return name.isEmpty() ? QStringLiteral("your clan") : name;
}

QString personal(QString text, const QString& onlineName) {
    return text.replace(QStringLiteral("{name}"), onlineName).replace(QStringLiteral("{clan}"), clanName());
}

const QString kDefaultMessage = QStringLiteral(
    "Hello {name},\n\n"
    "please open the attached page in your browser, mark the half-hours of the week in which you can "
    "usually play, press \"Copy my reply\" and send the reply text back to me, by mail or in chat.\n\n"
    "Thank you!\n{clan}\n");

} // namespace

QString AvailabilityPageHtml(const AvailabilityPageData& d) {
    QString bits(kWeekCells, QLatin1Char('0'));
    for (int i = 0; i < kWeekCells; ++i)
        if (d.week[i])
            bits[i] = QLatin1Char('1');
    QString zone = escaped(d.zoneName);
    if (!d.realZone.isEmpty())
        zone += QStringLiteral(" (") + escaped(d.realZone) + QLatin1Char(')');
    if (!d.offsetNow.isEmpty())
        zone += QStringLiteral(", now ") + escaped(d.offsetNow);
    const QHash<QString, QString> values{
        {QStringLiteral("TITLE"), escaped(d.clanName + QStringLiteral(": the week of ") + d.onlineName)},
        {QStringLiteral("CLANJS"), scriptText(d.clanName)},
        {QStringLiteral("CLAN"), escaped(d.clanName)},
        {QStringLiteral("NAME"), escaped(d.onlineName)},
        {QStringLiteral("ZONE"), zone},
        {QStringLiteral("DATA"),
         QStringLiteral("%1 %2 %3 %4").arg(d.player).arg(d.databaseToken).arg(d.pageStamp).arg(bits)}};
    // One pass over the page, so that nothing filled in is read as a mark again.
    const QString source = QString::fromUtf8(kPage);
    QString page;
    page.reserve(source.size() + 1024);
    qsizetype from = 0;
    while (true) {
        const qsizetype open = source.indexOf(QLatin1Char('@'), from);
        const qsizetype close = open < 0 ? -1 : source.indexOf(QLatin1Char('@'), open + 1);
        const auto value =
            close < 0 ? values.constEnd() : values.constFind(source.mid(open + 1, close - open - 1));
        if (value == values.constEnd()) {
            page += QStringView(source).mid(from, open < 0 ? -1 : open + 1 - from);
            if (open < 0)
                break;
            from = open + 1;
            continue;
        }
        page += QStringView(source).mid(from, open - from);
        page += *value;
        from = close + 1;
    }
    return page;
}

QString AvailabilityPageFileName(const QString& onlineName) {
    QString name = onlineName.trimmed();
    for (QChar& c : name)
        if (c.unicode() < 32 || QStringLiteral("<>:\"/\\|?*").contains(c))
            c = QLatin1Char('_');
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return QStringLiteral("availability-") + name + QStringLiteral(".html");
}

QList<PageRecipient> AvailabilityRecipients(const QList<qint32>& players) {
    QString sql =
        QStringLiteral("Select Player_ID, Player_OnlineName, Player_EmailPrimary From Players Where ");
    if (players.isEmpty()) {
        sql += QStringLiteral("Player_Active = 1");
    } else {
        QStringList keys;
        for (qint32 key : players)
            keys << QString::number(key);
        sql += QStringLiteral("Player_ID In (") + keys.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    QList<PageRecipient> list;
    RowSet rows = Db().execute(sql + QStringLiteral(" Order By Player_OnlineName"));
    for (; !rows.eof(); rows.moveNext())
        list << PageRecipient{rows.integer(QStringLiteral("Player_ID")),
                              rows.text(QStringLiteral("Player_OnlineName")).trimmed(),
                              rows.text(QStringLiteral("Player_EmailPrimary")).trimmed()};
    return list;
}

QList<qint32> ActiveMembersOf(const QList<qint32>& divisions) {
    QList<qint32> keys;
    if (divisions.isEmpty())
        return keys;
    QStringList list;
    for (qint32 d : divisions)
        list << QString::number(d);
    RowSet rows = Db().execute(QStringLiteral("Select Distinct Player_ID From Players, Members Where "
                                              "Member_Player_ID = Player_ID And Player_Active = 1 And "
                                              "Member_Division_ID In (") +
                               list.join(QStringLiteral(", ")) + QLatin1Char(')'));
    for (; !rows.eof(); rows.moveNext())
        keys << rows.integer(QStringLiteral("Player_ID"));
    return keys;
}

QList<MadePage> MakeAvailabilityPages(const QList<PageRecipient>& recipients) {
    QList<MadePage> pages;
    if (recipients.isEmpty())
        return pages;
    const quint32 token = DatabaseReplyToken();
    const QHash<qint32, ZoneClock> clocks = LoadZoneClocks();
    const QDateTime now = Now().toUTC();
    const QString clan = clanName();
    QSet<QString> usedNames;
    for (const PageRecipient& r : recipients) {
        const qint32 zoneKey =
            Db().scalar(
                    QStringLiteral("Select Player_TimeZone From Players Where Player_ID = %1").arg(r.player))
                .toInt();
        AvailabilityPageData d;
        d.player = static_cast<quint32>(r.player);
        d.databaseToken = token;
        d.pageStamp = static_cast<quint32>(now.toSecsSinceEpoch());
        d.clanName = clan;
        d.onlineName = r.onlineName;
        d.week = CellsFromLists(LoadPlayerSchedule(r.player, zoneKey));
        const auto clock = clocks.constFind(zoneKey);
        if (clock == clocks.constEnd()) {
            d.zoneName = QStringLiteral("Unknown");
        } else {
            d.zoneName = clock->zone().name + QStringLiteral(" - ") + clock->zone().description;
            if (clock->hasRealZone())
                d.realZone = clock->zone().iana;
            d.offsetNow = UtcOffsetText(clock->utcOffsetAt(now));
        }
        QString fileName = AvailabilityPageFileName(r.onlineName);
        if (usedNames.contains(fileName.toLower()))
            fileName = AvailabilityPageFileName(r.onlineName + QStringLiteral("-%1").arg(r.player));
        usedNames.insert(fileName.toLower());
        pages << MadePage{r, fileName, AvailabilityPageHtml(d).toUtf8()};
    }
    return pages;
}

QString WriteAvailabilityPages(const QString& folder, const QList<PageRecipient>& recipients) {
    QString report;
    const QDir dir(folder);
    for (const MadePage& page : MakeAvailabilityPages(recipients)) {
        // The safe write, as for every file: a page that cannot be written leaves an earlier page
        // of that name as it was.
        QString error;
        if (WriteFileSafely(dir.filePath(page.fileName), page.html, &error))
            report += QStringLiteral("%1: %2\n").arg(page.recipient.onlineName, page.fileName);
        else
            report += QStringLiteral("%1: %2\n").arg(page.recipient.onlineName, error);
    }
    return report;
}

QString AvailabilityMessage() {
    const QVariant content =
        Db().scalar(QStringLiteral("Select Template_Content From Templates Where "
                                   "Template_Name = ") +
                    SqlText(kAvailabilityTemplateName) + QStringLiteral(" Order By Template_ID"));
    return content.isNull() ? kDefaultMessage : content.toString();
}

void KeepAvailabilityMessage(const QString& message) {
    const QVariant key =
        Db().scalar(QStringLiteral("Select Template_ID From Templates Where Template_Name = ") +
                    SqlText(kAvailabilityTemplateName) + QStringLiteral(" Order By Template_ID"));
    if (key.isNull())
        SaveTemplate(QStringLiteral("A"), 0, kAvailabilityTemplateName, message);
    else
        SaveTemplate(QStringLiteral("E"), key.toInt(), kAvailabilityTemplateName, message);
}

PageMailer OptionsPageMailer() {
    return [server = ServerSettings(CurrentOptions())](const MailMessage& message, QString* failure) {
        const int result = Mailer().send(server, message);
        if (failure)
            *failure = Mailer().failureText();
        return result;
    };
}

QString MailAvailabilityPages(const QList<PageRecipient>& recipients, const QString& subject,
                              const QString& message, const PageMailer& send,
                              const std::function<void(const QString&)>& status) {
    QString report;
    QList<PageRecipient> reachable;
    for (const PageRecipient& r : recipients) {
        if (r.address.isEmpty())
            report += r.onlineName + QStringLiteral(" has no e-mail address: skipped\n");
        else
            reachable << r;
    }
    const OptionsRecord& o = CurrentOptions();
    for (const MadePage& page : MakeAvailabilityPages(reachable)) {
        const QString name = page.recipient.onlineName;
        if (status)
            status(QStringLiteral("Sending E-Mail to ") + name + QStringLiteral("..."));
        MailMessage mail{o.ReplyAddress, page.recipient.address,  o.ReplyToName,
                         QString(),      personal(subject, name), personal(message, name)};
        mail.attachmentName = page.fileName;
        mail.attachmentType = QByteArrayLiteral("text/html; charset=utf-8");
        mail.attachment = page.html;
        QString failure;
        if (send(mail, &failure) == SendAccepted)
            report += QStringLiteral("E-mail to ") + name + QStringLiteral(" successful\n");
        else
            report += QStringLiteral("Error received while sending mail to ") + name +
                      (failure.isEmpty() ? QString() : QStringLiteral(": ") + failure) + QLatin1Char('\n');
    }
    return report;
}

} // namespace rm
