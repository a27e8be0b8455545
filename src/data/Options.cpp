#include "data/Options.h"

#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "time/Daylight.h"

#include <QList>
#include <QPointer>

namespace rm {

namespace {

std::function<void(const OptionsRecord&)> g_menuUpdater;

struct OptionsListener {
    QPointer<QObject> owner;
    std::function<void()> listener;
};
QList<OptionsListener>& listeners() {
    static QList<OptionsListener> list;
    return list;
}

QString column(const char* pattern, int n) {
    return QString::fromLatin1(pattern).arg(n);
}

} // namespace

OptionsRecord& CurrentOptions() {
    static OptionsRecord record;
    return record;
}

void SetCustomFieldsMenuUpdater(std::function<void(const OptionsRecord&)> updater) {
    g_menuUpdater = std::move(updater);
}

void AddOptionsLoadedListener(QObject* owner, std::function<void()> listener) {
    listeners() << OptionsListener{owner, std::move(listener)};
}

bool LoadOptions() {
    const std::optional<QString> problem = ReadOptionsRecord();
    if (problem)
        ShowErrorReport(*problem);
    return !problem;
}

std::optional<QString> ReadOptionsRecord() {
    std::optional<QString> problem;
    OptionsRecord& o = CurrentOptions();
    o.TimeFormat = false;
    try {
        RowSet rows = Db().execute(QStringLiteral("Select * From Options Where Options_ID = 1"));
        if (!rows.eof()) {
            o.UserName = rows.text(QStringLiteral("Options_Name")).trimmed();
            if (o.UserName.isEmpty())
                o.UserName = kDefaultUserName;
            o.UserEmail = rows.text(QStringLiteral("Options_Email")).trimmed();
            if (o.UserEmail.isEmpty())
                o.UserEmail = kPlaceholderEmail;
            o.UserTimeZone = rows.integer(QStringLiteral("Options_TimeZone"));
            o.UserDaylightNow = IsRuleInEffect(rows.text(QStringLiteral("Options_DST")));
            const qint32 maxResults = rows.integer(QStringLiteral("Options_MaxResults"));
            o.MaxResults = static_cast<qint16>(maxResults >= 1 && maxResults <= 32767 ? maxResults : 20);
            const qint32 step = rows.integer(QStringLiteral("Options_BestTimesGranularity"));
            o.BestTimesGranularity = static_cast<qint16>(step == 15 || step == 30 || step == 60 ? step : 30);
            o.DisableConfirmations = rows.boolean(QStringLiteral("Options_DisableConfirmations"));
            o.EnableICQStatus = rows.boolean(QStringLiteral("Options_EnableICQStatus"));
            o.TimeFormat = rows.boolean(QStringLiteral("Options_Time_Format"));
            for (int n = 1; n <= kCustomFieldCount; ++n)
                o.CustomTextTitle[n - 1] = rows.text(column("Options_Custom%1_Text_Title", n)).trimmed();
            for (int n = 1; n <= kCustomFieldCount; ++n)
                o.CustomTextEnabled[n - 1] = rows.boolean(column("Options_Custom%1_Text_Enabled", n));
            for (int n = 1; n <= kCustomFieldCount; ++n)
                o.CustomDropTitle[n - 1] = rows.text(column("Options_Custom%1_Drop_Title", n)).trimmed();
            for (int n = 1; n <= kCustomFieldCount; ++n)
                o.CustomDropEnabled[n - 1] = rows.boolean(column("Options_Custom%1_Drop_Enabled", n));
            o.EnableEmails = rows.boolean(QStringLiteral("Options_EnableEmails"));
            o.SMTPServer = rows.text(QStringLiteral("Options_SMTPServer")).trimmed();
            o.SMTPPort = rows.integer(QStringLiteral("Options_SMTPPort"));
            o.ReplyToName = rows.text(QStringLiteral("Options_ReplyToName")).trimmed();
            o.ReplyAddress = rows.text(QStringLiteral("Options_ReplyAddress")).trimmed();
            const qint32 security = rows.integer(QStringLiteral("Options_SMTPSecurity"));
            o.SMTPSecurity = security >= 0 && security <= 2 ? security : 0;
            o.SMTPUserName = rows.text(QStringLiteral("Options_SMTPUserName")).trimmed();
            o.SMTPUseLogin = rows.boolean(QStringLiteral("Options_SMTPUseLogin"));
            o.SMTPAllowPlainLogin = rows.boolean(QStringLiteral("Options_SMTPAllowPlainLogin"));
            const qint32 length = rows.integer(QStringLiteral("Options_MatchLength"));
            o.MatchLength = length > 0 ? length : 120;
        }
        rows.close();
    } catch (const DbError& e) {
        problem = e.description();
    }
    if (g_menuUpdater)
        g_menuUpdater(o);
    listeners().removeIf([](const OptionsListener& l) { return l.owner.isNull(); });
    // A copy: a listener may add another.
    const QList<OptionsListener> current = listeners();
    for (const OptionsListener& l : current)
        if (l.owner)
            l.listener();
    return problem;
}

} // namespace rm
