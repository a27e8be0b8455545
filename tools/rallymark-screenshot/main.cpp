// Draws the scheduling screen with a demo roster and saves it as a PNG picture, for the README:
//
//   QT_QPA_PLATFORM=offscreen build/default/tools/rallymark-screenshot docs/scheduling.png
//
// With --discord, the preview of a match posted to Discord instead; with --clock-changes, the clock
// changes ahead of a Tuesday practice called from Berlin:
//
//   QT_QPA_PLATFORM=offscreen build/default/tools/rallymark-screenshot --discord docs/discord-preview.png
//   QT_QPA_PLATFORM=offscreen build/default/tools/rallymark-screenshot --clock-changes docs/clock-changes.png

#include "comms/CalendarEvent.h"
#include "comms/widgets/DiscordPreview.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/StarterDatabase.h"
#include "roster/DemoRoster.h"
#include "scheduling/ClockChanges.h"
#include "scheduling/widgets/frmScheduling.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>

using namespace rm;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool discord = argc == 3 && qstrcmp(argv[1], "--discord") == 0;
    const bool clockChanges = argc == 3 && qstrcmp(argv[1], "--clock-changes") == 0;
    if (argc != 2 && !discord && !clockChanges) {
        std::fprintf(stderr, "usage: rallymark-screenshot [--discord | --clock-changes] FILE.png\n");
        return 2;
    }
    const QString target = QString::fromLocal8Bit(argv[argc - 1]);
    QTemporaryDir folder;
    SetApplicationFolder(folder.path());
    SetSettingsFile(QDir(folder.path()).filePath(QStringLiteral("settings.ini")));
    if (!Db().open(DatabasePath())) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(DatabasePath()));
        return 1;
    }
    // A fixed day, so that the pictures show the same week every time.
    FixedClock today(QDateTime(QDate(2026, 3, 24), QTime(18, 0)));
    SetClock(&today);
    WriteStarterContents(Db());
    WriteDemoRoster(40);
    LoadOptions();
    CurrentOptions().TimeFormat = true;
    CurrentOptions().BestTimesGranularity = 60;

    if (discord) {
        // Some members gave their Discord user id, the others are named as text.
        Db().execute(QStringLiteral("Update Players Set Player_Discord = CAST(234567890123456000 + Player_ID "
                                    "AS TEXT) Where Player_ID % 3 <> 0"));
        QList<qint32> players;
        for (RowSet r = Db().execute(QStringLiteral("Select Player_ID From Players Where Player_Active = 1 "
                                                    "Order By Player_OnlineName Limit 7"));
             !r.eof(); r.moveNext())
            players << r.integer(QStringLiteral("Player_ID"));
        const qint32 division = Db().scalar(QStringLiteral("Select MIN(Division_ID) From Divisions")).toInt();
        const DiscordPost post = MatchPost({DivisionsAndGames({division}).value(0),
                                            QDateTime(QDate(2026, 12, 11), QTime(19, 0), Qt::UTC),
                                            CurrentOptions().MatchLength, ReadDiscordMembers(players)});
        frmDiscordPreview preview(
            post, {{QStringLiteral("the clan's channel"),
                    QStringLiteral("https://discord.com/api/webhooks/100000000000000000/example-token-for-a-"
                                   "picture-only")}});
        preview.resize(720, 300);
        preview.show();
        QApplication::processEvents();
        const bool saved = preview.grab().save(target);
        Db().close();
        return saved ? 0 : 1;
    }

    if (clockChanges) {
        CurrentOptions().UserTimeZone =
            Db().scalar(QStringLiteral("Select TZ_ID From TimeZones Where TZ_Name = 'Berlin'")).toInt();
        SearchSelection everybody;
        for (RowSet r = Db().execute(QStringLiteral(
                 "Select Player_ID From Players Where Player_Active = 1 Order By Player_OnlineName"));
             !r.eof(); r.moveNext())
            everybody.players << r.integer(QStringLiteral("Player_ID"));
        const QStringList lines = ClockChangeLines(
            ClockChangesAhead(everybody, CurrentOptions().UserTimeZone, QDate(2026, 3, 3), 20 * 60), true);
        frmClockChanges dialog(QStringLiteral("Tuesday 20:00"), lines);
        dialog.resize(640, 480);
        dialog.show();
        QApplication::processEvents();
        const bool saved = dialog.grab().save(target);
        Db().close();
        return saved ? 0 : 1;
    }

    frmScheduling window;
    window.resize(1500, 820);
    window.findChild<QToolButton*>(QStringLiteral("imgClickDivision"))->click();
    auto* divisions = window.findChild<QListWidget*>(QStringLiteral("lstDivisions"));
    for (int i = 0; i < divisions->count() && i < 2; ++i)
        divisions->item(i)->setSelected(true);
    window.findChild<QToolButton*>(QStringLiteral("imgShowbestTimes"))->click();
    auto* best = window.findChild<QListWidget*>(QStringLiteral("lstBestTimes"));
    if (best->count() > 0)
        window.showAvailableFor(best->item(0));
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(target);
    Db().close();
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
