#include "data/StarterDatabase.h"

#include "data/DbConnection.h"
#include "data/Schema.h"
#include "data/SqlText.h"

#include <QFileInfo>
#include <QRandomGenerator>

namespace rm {

namespace {

struct StarterZone {
    const char* name;
    const char* description;
    int offset; // minutes added to local time to reach GMT
    char rule;
};

// Standard offsets; zones of the southern hemisphere have no rule of their own here.
const StarterZone kZones[] = {
    {"GMT", "Greenwich Mean Time (Reykjavik, Accra)", 0, 'N'},
    {"London", "London, Dublin, Lisbon", 0, 'E'},
    {"Azores", "Azores", 60, 'E'},
    {"CapeVerde", "Cape Verde Islands", 60, 'N'},
    {"S Georgia", "South Georgia", 120, 'N'},
    {"Sao Paulo", "Sao Paulo, Rio de Janeiro", 180, 'N'},
    {"BuenosAire", "Buenos Aires, Montevideo", 180, 'N'},
    {"St Johns", "Newfoundland (St John's)", 210, 'U'},
    {"Atlantic", "Atlantic Time (Halifax)", 240, 'U'},
    {"Caracas", "Caracas, La Paz, Santiago", 240, 'N'},
    {"Eastern", "US & Canada Eastern (New York, Toronto)", 300, 'U'},
    {"Bogota", "Bogota, Lima, Quito", 300, 'N'},
    {"Central", "US & Canada Central (Chicago, Winnipeg)", 360, 'U'},
    {"Mexico", "Mexico City, Guatemala", 360, 'N'},
    {"Mountain", "US & Canada Mountain (Denver, Calgary)", 420, 'U'},
    {"Arizona", "Arizona (Phoenix)", 420, 'N'},
    {"Pacific", "US & Canada Pacific (Los Angeles, Vancouver)", 480, 'U'},
    {"Alaska", "Alaska (Anchorage)", 540, 'U'},
    {"Hawaii", "Hawaii (Honolulu)", 600, 'N'},
    {"Samoa", "Midway Island, American Samoa", 660, 'N'},
    {"Berlin", "Berlin, Paris, Rome, Madrid, Amsterdam", -60, 'E'},
    {"Warsaw", "Warsaw, Prague, Budapest, Vienna", -60, 'E'},
    {"Lagos", "West Africa (Lagos, Kinshasa)", -60, 'N'},
    {"Athens", "Athens, Helsinki, Kyiv, Bucharest", -120, 'E'},
    {"Cairo", "Cairo", -120, 'N'},
    {"Johannesbg", "Johannesburg, Harare", -120, 'N'},
    {"Istanbul", "Istanbul", -180, 'N'},
    {"Moscow", "Moscow, St Petersburg", -180, 'N'},
    {"Nairobi", "Nairobi, Addis Ababa", -180, 'N'},
    {"Riyadh", "Riyadh, Kuwait, Baghdad", -180, 'N'},
    {"Tehran", "Tehran", -210, 'N'},
    {"Dubai", "Dubai, Muscat, Baku", -240, 'N'},
    {"Kabul", "Kabul", -270, 'N'},
    {"Karachi", "Karachi, Tashkent", -300, 'N'},
    {"India", "India (Mumbai, New Delhi, Kolkata)", -330, 'N'},
    {"Kathmandu", "Kathmandu", -345, 'N'},
    {"Dhaka", "Dhaka, Almaty", -360, 'N'},
    {"Yangon", "Yangon", -390, 'N'},
    {"Bangkok", "Bangkok, Hanoi, Jakarta", -420, 'N'},
    {"China", "Beijing, Shanghai, Hong Kong, Taipei", -480, 'N'},
    {"Singapore", "Singapore, Kuala Lumpur, Manila", -480, 'N'},
    {"Perth", "Perth", -480, 'N'},
    {"Tokyo", "Tokyo, Osaka", -540, 'N'},
    {"Seoul", "Seoul", -540, 'N'},
    {"Adelaide", "Adelaide, Darwin", -570, 'N'},
    {"Brisbane", "Brisbane, Guam", -600, 'N'},
    {"Sydney", "Sydney, Melbourne, Canberra", -600, 'N'},
    {"Noumea", "Noumea, Solomon Islands", -660, 'N'},
    {"Auckland", "Auckland, Wellington", -720, 'N'},
    {"Fiji", "Fiji, Marshall Islands", -720, 'N'},
    {"Tonga", "Nuku'alofa", -780, 'N'},
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
                                  "TZ_Daylight_Savings) VALUES(%1, %2, %3, '%4') ")
                       .arg(text(z.name), text(z.description))
                       .arg(z.offset)
                       .arg(QLatin1Char(z.rule)));
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
    // Availability replies carry this token, so a reply meant for another file is recognised.
    db.execute(QStringLiteral("Update Options Set Options_ReplyToken = %1")
                   .arg(QRandomGenerator::system()->bounded(1U, 0xFFFFFFFFU)));
    transaction.commit();
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
