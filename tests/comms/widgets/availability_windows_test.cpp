// Asking for availability and pasting the replies from the players window.

#include "comms/widgets/AvailabilityWindows.h"
#include "comms/widgets/CommCenter.h"
#include "roster/PlayerStore.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/PlayerListWindow.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;
using test::child;

namespace {

qint32 addPlayer(test::TestDatabase& db, const QString& name, const QString& email,
                 const WeekLists& week = {}) {
    return test::AddActivePlayer(name, db.zoneId("Eastern"), email, {}, week);
}

void selectPlayers(frmPlayers& window, const QStringList& names) {
    auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvPlayers"));
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setSelected(names.contains(list->topLevelItem(i)->text(0)));
}

} // namespace

class AvailabilityWindowsTest : public QObject {
    Q_OBJECT

private:
    FixedClock m_clock{QDateTime(QDate(2026, 6, 1), QTime(18, 0), Qt::UTC)};

private Q_SLOTS:
    void init() { SetClock(&m_clock); }
    void cleanup() { SetClock(nullptr); }

    // The pages of the selected players go into a folder; the player without an address is listed.
    void pagesIntoFolder() {
        test::TestDatabase db;
        test::RecordingSink sink;
        addPlayer(db, QStringLiteral("Amy"), QStringLiteral("amy@example.org"));
        addPlayer(db, QStringLiteral("Bo"), QString());
        addPlayer(db, QStringLiteral("Cy"), QStringLiteral("cy@example.org"));
        frmPlayers window;
        selectPlayers(window, {QStringLiteral("Amy"), QStringLiteral("Bo")});
        QTemporaryDir out;
        test::ModalDriver driver;
        QStringList listed;
        driver.then([&](QDialog* d) {
            listed = test::ItemTexts(child<QListWidget>(d, QStringLiteral("lstPlayers")));
            child<QRadioButton>(d, QStringLiteral("optFolder"))->setChecked(true);
            child<QLineEdit>(d, QStringLiteral("txtFolder"))->setText(out.path() + QStringLiteral("/pages"));
            test::ClickOK(d);
        });
        test::Click(&window, QStringLiteral("imgAskAvailability"));
        QCOMPARE(listed, QStringList({"Amy <amy@example.org>", "Bo (no e-mail address)"}));
        QCOMPARE(QDir(out.path() + QStringLiteral("/pages")).entryList(QDir::Files),
                 QStringList({"availability-Amy.html", "availability-Bo.html"}));
        QVERIFY(sink.last().text.contains(QStringLiteral("Bo: availability-Bo.html")));
    }

    // From the communications centre's divisions: their active members, each once.
    void divisionsInCommCenter() {
        test::TestDatabase db;
        const qint32 red = test::InsertDivision(QStringLiteral("Red"));
        const qint32 blue = test::InsertDivision(QStringLiteral("Blue"));
        const qint32 amy = test::InsertPlayerRow(QStringLiteral("Amy"));
        const qint32 bo = test::InsertPlayerRow(QStringLiteral("Bo"), false);
        const qint32 cy = test::InsertPlayerRow(QStringLiteral("Cy"));
        test::InsertPlayerRow(QStringLiteral("Dee"));
        for (const auto& [player, division] : {std::pair{amy, red}, {amy, blue}, {bo, red}, {cy, blue}})
            test::InsertMember(player, division);
        frmCommCenter centre;
        centre.showDivisionsList();
        child<QListWidget>(&centre, QStringLiteral("lstDivisions"))->selectAll();
        test::ModalDriver driver;
        int listed = 0;
        driver.then(
            [&](QDialog* d) { listed = child<QListWidget>(d, QStringLiteral("lstPlayers"))->count(); });
        test::Click(&centre, QStringLiteral("imgAskAvailability"));
        QCOMPARE(driver.shown, QStringList{"frmAskAvailability"});
        QCOMPARE(listed, 2); // Amy and Cy
    }

    // A quoted mail with a reply → preview with both weeks → Confirm → the player dialog shows the
    // painted week.
    void pasteAndConfirm() {
        test::TestDatabase db;
        test::RecordingSink sink;
        WeekLists old;
        old[2] = QStringList{QStringLiteral("19:00|21:00")};
        const qint32 amy = addPlayer(db, QStringLiteral("Amy"), QString(), old);
        WeekCells painted;
        for (int c = 40; c < 46; ++c)
            painted.set(5 * kDayCells + c); // Friday 20:00-23:00
        painted.set(0);                     // Sunday 00:00-00:30
        const QString reply =
            EncodeReply({static_cast<quint32>(amy), DatabaseReplyToken(), 100, 200, painted});
        const QString mail = QStringLiteral("Amy wrote:\n> here you go\n> ") + reply.left(40) +
                             QStringLiteral("\n> ") + reply.mid(40) + QStringLiteral("\n> ") +
                             EncodeReply({4242, DatabaseReplyToken(), 100, 200, painted});

        frmPlayers window;
        test::ModalDriver driver;
        QStringList rows;
        driver.then([&](QDialog* d) {
            child<QPlainTextEdit>(d, QStringLiteral("txtReplies"))->setPlainText(mail);
            for (const auto* item : child<QTreeWidget>(d, "lsvReplies")->findItems("*", Qt::MatchWildcard))
                rows << QStringList{item->text(0), item->toolTip(1), item->toolTip(2), item->text(3)}.join(
                    '|');
            test::ClickOK(d);
        });
        test::Click(&window, QStringLiteral("imgPasteReplies"));
        QCOMPARE(rows, QStringList({"Amy|Tue 19:00-21:00|Sun 00:00-00:30\nFri 20:00-23:00|Will be saved",
                                    "(key 4242)||Sun 00:00-00:30\nFri 20:00-23:00|" +
                                        kReplyUnknownPlayer.arg(4242)}));
        QCOMPARE(sink.last().text, QStringLiteral("1 week was saved."));

        frmMaintainPlayer dialog;
        dialog.EditMode = QStringLiteral("Edit");
        dialog.PrimaryKey = amy;
        dialog.show();
        QCOMPARE(dialog.days(), ListsFromCells(painted));
    }
};

QTEST_MAIN(AvailabilityWindowsTest)
#include "availability_windows_test.moc"
