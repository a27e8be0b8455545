#include "time/TimeZoneCatalog.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/SqlText.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace rm {

namespace {

QString q(const QString& text) {
    return EscapeQuotes(text.trimmed());
}

} // namespace

QString TimeZoneName(qint32 key) {
    RowSet rows =
        Db().execute(QStringLiteral("Select TZ_Name From TimeZones Where TZ_ID = ") + QString::number(key));
    QString name = QStringLiteral("Unknown");
    if (!rows.eof())
        name = rows.text(QStringLiteral("TZ_Name")).trimmed();
    rows.close();
    return name;
}

QString RealZoneColumnText(const QString& realZone) {
    const QString z = realZone.trimmed();
    return z.isEmpty() ? QStringLiteral("no real zone") : z;
}

QString NormalizedDaylightCode(const QString& code) {
    // Only the two letters the conversions know count as a rule ("u" is none, as it is there).
    const QString c = code.trimmed();
    if (c == QLatin1String("U") || c == QLatin1String("E"))
        return c;
    return QStringLiteral("N");
}

QString DaylightColumnText(const QString& code) {
    const QString c = NormalizedDaylightCode(code);
    if (c == QLatin1String("U"))
        return QStringLiteral("US");
    if (c == QLatin1String("E"))
        return QStringLiteral("EU");
    return QStringLiteral("None");
}

std::optional<qint32> ParseZoneOffset(const QString& text) {
    const QString t = text.trimmed();
    // Plain minutes keep the column's own sign: what is added to local time to reach GMT.
    static const QRegularExpression minutes(QStringLiteral("^[-\\x{2212}]?[0-9]{1,4}$"));
    if (minutes.match(t).hasMatch()) {
        const qint32 value = QString(t).replace(QChar(0x2212), QLatin1Char('-')).toInt();
        if (value < kMinZoneOffset || value > kMaxZoneOffset)
            return std::nullopt;
        return value;
    }
    // Otherwise the offset as clocks show it: "+13:00", "-3:30", "UTC+5:45", "GMT-8".
    static const QRegularExpression clock(
        QStringLiteral(
            "^(?:(?:UTC|GMT)\\s*([+\\-\\x{2212}])|([+\\-\\x{2212}]))\\s*([0-9]{1,2})(?:[:.h]([0-9]{2}))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = clock.match(t);
    if (!m.hasMatch() || (!m.captured(2).isEmpty() && m.captured(4).isEmpty()))
        return std::nullopt; // "-90" is minutes, read above; "+5" alone could be either
    const int mins = m.captured(4).isEmpty() ? 0 : m.captured(4).toInt();
    if (mins >= 60)
        return std::nullopt;
    const QString sign = m.captured(1) + m.captured(2);
    const qint32 east = (m.captured(3).toInt() * 60 + mins) * (sign == QLatin1String("+") ? 1 : -1);
    const qint32 value = -east;
    if (value < kMinZoneOffset || value > kMaxZoneOffset)
        return std::nullopt;
    return value;
}

QString FormatZoneOffset(qint32 offset) {
    const qint32 east = -offset;
    const qint32 size = qAbs(east);
    return QStringLiteral("UTC") + (east < 0 ? QString(QChar(0x2212)) : QStringLiteral("+")) +
           QStringLiteral("%1:%2")
               .arg(size / 60, 2, 10, QLatin1Char('0'))
               .arg(size % 60, 2, 10, QLatin1Char('0'));
}

QString TimeZoneListSql() {
    return QStringLiteral("Select * ") + QStringLiteral("From TimeZones ") +
           QStringLiteral("Order By TZ_Name");
}

QString TimeZoneSelectSql(qint32 key) {
    return QStringLiteral("Select * From TimeZones Where TZ_ID = ") + QString::number(key);
}

QString TimeZoneInsertSql(const TimeZoneEntry& zone) {
    return QStringLiteral(
               "Insert Into TimeZones (TZ_Name, TZ_Description, TZ_GMT_Offset, TZ_Daylight_Savings, TZ_IANA) "
               "VALUES(") +
           QStringLiteral("'") + q(zone.name) + QStringLiteral("', ") + QStringLiteral("'") +
           q(zone.description) + QStringLiteral("', ") + QString::number(zone.offset) + QStringLiteral(", ") +
           QStringLiteral("'") + NormalizedDaylightCode(zone.daylightCode) + QStringLiteral("', ") +
           QStringLiteral("'") + q(zone.realZone) + QStringLiteral("') ");
}

QString TimeZoneUpdateSql(const TimeZoneEntry& zone, qint32 key) {
    return QStringLiteral("Update TimeZones ") + QStringLiteral("Set TZ_Name = '") + q(zone.name) +
           QStringLiteral("',") + QStringLiteral("TZ_Description = '") + q(zone.description) +
           QStringLiteral("', ") + QStringLiteral("TZ_GMT_Offset = ") + QString::number(zone.offset) +
           QStringLiteral(", ") + QStringLiteral("TZ_Daylight_Savings = '") +
           NormalizedDaylightCode(zone.daylightCode) + QStringLiteral("', ") + QStringLiteral("TZ_IANA = '") +
           q(zone.realZone) + QStringLiteral("' ") + QStringLiteral("Where TZ_ID = ") + QString::number(key);
}

QString TimeZoneInUseSql(qint32 key) {
    return QStringLiteral("Select Player_ID From Players Where Player_TimeZone = ") + QString::number(key);
}

QString TimeZoneDeleteSql(qint32 key) {
    return QStringLiteral("Delete From TimeZones Where TZ_ID = ") + QString::number(key);
}

bool SaveTimeZone(const QString& mode, qint32 key, const QString& name, const QString& description,
                  const QString& offsetText, const QString& daylightCode, const QString& realZone) {
    if (name.trimmed().isEmpty() || description.trimmed().isEmpty() || offsetText.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Short name, Description and Offset are all required fields."),
                    AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("Missing Information"));
        return false;
    }
    const QString m = mode.toUpper();
    if (m == QLatin1String("DELETE")) {
        RowSet users = Db().execute(TimeZoneInUseSql(key));
        const bool inUse = !users.eof();
        users.close();
        if (inUse) {
            ShowMessage(QStringLiteral("That Time Zone is currently in use with some Players.\n"
                                       "You must first either delete the Players that use it, or change that "
                                       "Player's Time Zone to delete!"),
                        AlignCenterText, vbOKOnly, vbExclamation,
                        QStringLiteral("Time Zone Currently in Use"));
            return false;
        }
        Db().execute(TimeZoneDeleteSql(key));
        return true;
    }
    if (m != QLatin1String("EDIT") && m != QLatin1String("ADD"))
        return false;
    const std::optional<qint32> offset = ParseZoneOffset(offsetText);
    if (!offset) {
        ShowMessage(kZoneOffsetRefusal, AlignCenterText, vbOKOnly, vbExclamation,
                    QStringLiteral("Data Validation"));
        return false;
    }
    const QString real = realZone.trimmed();
    if (!real.isEmpty() && !QTimeZone::isTimeZoneIdAvailable(real.toUtf8())) {
        ShowMessage(QStringLiteral("\"%1\" is not a time zone this computer knows. Choose one from the list, "
                                   "or leave the field empty.")
                        .arg(real),
                    AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("Data Validation"));
        return false;
    }
    TimeZoneEntry zone{name, description, *offset, daylightCode, real};
    Db().execute(m == QLatin1String("EDIT") ? TimeZoneUpdateSql(zone, key) : TimeZoneInsertSql(zone));
    return true;
}

} // namespace rm
