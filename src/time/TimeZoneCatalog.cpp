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
    static const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]{1,9}$"));
    const QString t = text.trimmed();
    if (!wholeNumber.match(t).hasMatch())
        return std::nullopt;
    const qint32 value = t.toInt();
    if (value < kMinZoneOffset || value > kMaxZoneOffset)
        return std::nullopt;
    return value;
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
        ShowMessage(QStringLiteral("GMT Offset must be a whole number of minutes from -1440 to 1440."),
                    AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("Data Validation"));
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
