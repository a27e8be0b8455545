#include "data/StarterDatabase.h"

#include "data/DbConnection.h"
#include "data/Schema.h"
#include "data/SqlText.h"

#include <QFileInfo>

namespace rm {

namespace {

struct StarterZone {
    const char* name;
    const char* description;
    int offset; // minutes added to local standard time to reach GMT
    char rule;  // the catalogue rule, for readers that do not know the real zone
    const char* iana;
};

// Each entry is one real zone of the tz database; places listed together keep the same clocks all
// year.
const StarterZone kZones[] = {
    {"GMT", "Greenwich Mean Time (Reykjavik, Accra)", 0, 'N', "Atlantic/Reykjavik"},
    {"London", "London, Dublin, Lisbon", 0, 'E', "Europe/London"},
    {"Casablanca", "Casablanca, Rabat", -60, 'N', "Africa/Casablanca"},
    {"Azores", "Azores", 60, 'E', "Atlantic/Azores"},
    {"CapeVerde", "Cape Verde Islands", 60, 'N', "Atlantic/Cape_Verde"},
    {"S Georgia", "South Georgia", 120, 'N', "Atlantic/South_Georgia"},
    {"Sao Paulo", "Sao Paulo, Rio de Janeiro", 180, 'N', "America/Sao_Paulo"},
    {"BuenosAire", "Buenos Aires, Montevideo", 180, 'N', "America/Argentina/Buenos_Aires"},
    {"Asuncion", "Asuncion", 180, 'N', "America/Asuncion"},
    {"St Johns", "Newfoundland (St John's)", 210, 'U', "America/St_Johns"},
    {"Atlantic", "Atlantic Time (Halifax)", 240, 'U', "America/Halifax"},
    {"Caracas", "Caracas", 240, 'N', "America/Caracas"},
    {"La Paz", "La Paz", 240, 'N', "America/La_Paz"},
    {"Santiago", "Santiago", 240, 'N', "America/Santiago"},
    {"Eastern", "US & Canada Eastern (New York, Toronto)", 300, 'U', "America/New_York"},
    {"Bogota", "Bogota, Lima, Quito", 300, 'N', "America/Bogota"},
    {"Central", "US & Canada Central (Chicago, Winnipeg)", 360, 'U', "America/Chicago"},
    {"Mexico", "Mexico City, Guatemala", 360, 'N', "America/Mexico_City"},
    {"Mountain", "US & Canada Mountain (Denver, Calgary)", 420, 'U', "America/Denver"},
    {"Arizona", "Arizona (Phoenix)", 420, 'N', "America/Phoenix"},
    {"Pacific", "US & Canada Pacific (Los Angeles, Vancouver)", 480, 'U', "America/Los_Angeles"},
    {"Alaska", "Alaska (Anchorage)", 540, 'U', "America/Anchorage"},
    {"Hawaii", "Hawaii (Honolulu)", 600, 'N', "Pacific/Honolulu"},
    {"Samoa", "Midway Island, American Samoa", 660, 'N', "Pacific/Pago_Pago"},
    {"Berlin", "Berlin, Paris, Rome, Madrid, Amsterdam", -60, 'E', "Europe/Berlin"},
    {"Warsaw", "Warsaw, Prague, Budapest, Vienna", -60, 'E', "Europe/Warsaw"},
    {"Lagos", "West Africa (Lagos, Kinshasa)", -60, 'N', "Africa/Lagos"},
    {"Athens", "Athens, Helsinki, Kyiv, Bucharest", -120, 'E', "Europe/Athens"},
    {"Cairo", "Cairo", -120, 'N', "Africa/Cairo"},
    {"Johannesbg", "Johannesburg, Harare", -120, 'N', "Africa/Johannesburg"},
    {"Istanbul", "Istanbul", -180, 'N', "Europe/Istanbul"},
    {"Moscow", "Moscow, St Petersburg", -180, 'N', "Europe/Moscow"},
    {"Nairobi", "Nairobi, Addis Ababa", -180, 'N', "Africa/Nairobi"},
    {"Riyadh", "Riyadh, Kuwait, Baghdad", -180, 'N', "Asia/Riyadh"},
    {"Tehran", "Tehran", -210, 'N', "Asia/Tehran"},
    {"Dubai", "Dubai, Muscat, Baku", -240, 'N', "Asia/Dubai"},
    {"Kabul", "Kabul", -270, 'N', "Asia/Kabul"},
    {"Karachi", "Karachi, Tashkent", -300, 'N', "Asia/Karachi"},
    {"Almaty", "Almaty, Astana", -300, 'N', "Asia/Almaty"},
    {"India", "India (Mumbai, New Delhi, Kolkata)", -330, 'N', "Asia/Kolkata"},
    {"Kathmandu", "Kathmandu", -345, 'N', "Asia/Kathmandu"},
    {"Dhaka", "Dhaka", -360, 'N', "Asia/Dhaka"},
    {"Yangon", "Yangon", -390, 'N', "Asia/Yangon"},
    {"Bangkok", "Bangkok, Hanoi, Jakarta", -420, 'N', "Asia/Bangkok"},
    {"China", "Beijing, Shanghai, Hong Kong, Taipei", -480, 'N', "Asia/Shanghai"},
    {"Singapore", "Singapore, Kuala Lumpur, Manila", -480, 'N', "Asia/Singapore"},
    {"Perth", "Perth", -480, 'N', "Australia/Perth"},
    {"Tokyo", "Tokyo, Osaka", -540, 'N', "Asia/Tokyo"},
    {"Seoul", "Seoul", -540, 'N', "Asia/Seoul"},
    {"Adelaide", "Adelaide", -570, 'N', "Australia/Adelaide"},
    {"Darwin", "Darwin", -570, 'N', "Australia/Darwin"},
    {"Brisbane", "Brisbane, Guam", -600, 'N', "Australia/Brisbane"},
    {"Sydney", "Sydney, Melbourne, Canberra", -600, 'N', "Australia/Sydney"},
    {"Hobart", "Hobart", -600, 'N', "Australia/Hobart"},
    {"Noumea", "Noumea, Solomon Islands", -660, 'N', "Pacific/Noumea"},
    {"Auckland", "Auckland, Wellington", -720, 'N', "Pacific/Auckland"},
    {"Fiji", "Fiji, Marshall Islands", -720, 'N', "Pacific/Fiji"},
    {"Tonga", "Nuku'alofa", -780, 'N', "Pacific/Tongatapu"},
};

const char* const kGenres[] = {
    "First-Person Shooter", "Real-Time Strategy", "Role-Playing", "MMORPG", "Sports", "Racing", "Fighting",
    "Flight Simulation",    "Battle Royale"};
const char* const kGameTypes[] = {"PC", "Console", "Cross-platform", "Mobile"};
const char* const kConnections[] = {"Dial-up 56k", "ISDN", "DSL", "Cable", "Fibre", "Satellite", "Mobile"};

QString text(const char* s) {
    return SqlText(QString::fromUtf8(s));
}

} // namespace

void WriteStarterContents(DbConnection& db) {
    DbConnection::Transaction transaction(db);
    for (const QString& statement : SchemaStatements())
        db.execute(statement);
    for (const StarterZone& z : kZones)
        db.execute(QStringLiteral("Insert Into TimeZones (TZ_Name, TZ_Description, TZ_GMT_Offset, "
                                  "TZ_Daylight_Savings, TZ_IANA) VALUES(%1, %2, %3, '%4', %5) ")
                       .arg(text(z.name), text(z.description))
                       .arg(z.offset)
                       .arg(QLatin1Char(z.rule))
                       .arg(text(z.iana)));
    for (const char* g : kGenres)
        db.execute(QStringLiteral("Insert Into Genres (Genre_Name) VALUES(%1)").arg(text(g)));
    for (const char* t : kGameTypes)
        db.execute(QStringLiteral("Insert Into GameTypes (Type_Description) VALUES(%1)").arg(text(t)));
    for (const char* c : kConnections)
        db.execute(QStringLiteral("Insert Into ConnectionTypes (Connection_Name) VALUES(%1)").arg(text(c)));
    const QVariant gmt = db.scalar(QStringLiteral("Select TZ_ID From TimeZones Where TZ_Name = 'GMT'"));
    db.execute(
        QStringLiteral(
            "Insert Into Options (Options_ID, Options_Name, Options_Email, Options_TimeZone, Options_DST, "
            "Options_MaxResults, Options_BestTimesGranularity, Options_DisableConfirmations, "
            "Options_EnableICQStatus, Options_Time_Format, "
            "Options_Custom1_Text_Title, Options_Custom2_Text_Title, Options_Custom3_Text_Title, "
            "Options_Custom4_Text_Title, Options_Custom1_Text_Enabled, Options_Custom2_Text_Enabled, "
            "Options_Custom3_Text_Enabled, Options_Custom4_Text_Enabled, "
            "Options_Custom1_Drop_Title, Options_Custom2_Drop_Title, Options_Custom3_Drop_Title, "
            "Options_Custom4_Drop_Title, Options_Custom1_Drop_Enabled, Options_Custom2_Drop_Enabled, "
            "Options_Custom3_Drop_Enabled, Options_Custom4_Drop_Enabled, "
            "Options_EnableEmails, Options_SMTPServer, Options_SMTPPort, Options_ReplyToName, "
            "Options_ReplyAddress) "
            "VALUES(1, '', '', %1, 'N', 20, 30, 0, 0, 1, '', '', '', '', 0, 0, 0, 0, '', '', '', '', "
            "0, 0, 0, 0, 0, '', 25, '', '')")
            .arg(gmt.toInt()));
    transaction.commit();
}

void AssignStarterRealZones(DbConnection& db) {
    for (const StarterZone& z : kZones)
        db.execute(QStringLiteral(
                       "Update TimeZones Set TZ_IANA = %1 Where Trim(TZ_Name) = %2 And TZ_GMT_Offset = %3 "
                       "And Trim(Coalesce(TZ_IANA, '')) = ''")
                       .arg(text(z.iana), text(z.name))
                       .arg(z.offset));
}

QStringList StarterRealZones() {
    QStringList zones;
    for (const StarterZone& z : kZones)
        zones << QString::fromLatin1(z.iana);
    return zones;
}

bool CreateStarterDatabase(const QString& path, QString* error) {
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists; it was left untouched.").arg(path);
        return false;
    }
    DbConnection db;
    if (!db.open(path)) {
        if (error)
            *error = db.lastError();
        return false;
    }
    try {
        WriteStarterContents(db);
    } catch (const DbError& e) {
        db.close();
        QFile::remove(path);
        if (error)
            *error = e.description();
        return false;
    }
    db.close();
    return true;
}

} // namespace rm
