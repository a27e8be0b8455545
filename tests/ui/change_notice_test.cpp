#include "comms/widgets/CommCenter.h"
#include "data/ChangeNotice.h"
#include "roster/PlayerStore.h"
#include "roster/widgets/DivisionWindows.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

namespace {

QStringList selected(QListWidget* list) {
    QStringList texts;
    for (const QListWidgetItem* item : list->selectedItems())
        texts << item->text();
    return texts;
}

} // namespace

class ChangeNoticeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Only writes to the roster's tables give a notice, and many statements of one event give one.
    void writesGiveOneNotice() {
        TestDatabase db;
        QCoreApplication::processEvents(); // the starter database's own writes
        QSignalSpy spy(&ChangeNotice::instance(), &ChangeNotice::dataChanged);
        db.scalar("Select COUNT(*) From Players");
        Db().execute("Delete From SchedulingWork");
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        InsertPlayerRow("Ann");
        InsertPlayerRow("Bob");
        QCOMPARE(spy.count(), 0); // not before the event that saved is over
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }

    // A player added or deleted elsewhere shows up, or goes, in every open window at once; what the
    // user selected stays selected; the division's member count follows.
    void openWindowsFollowSaves() {
        TestDatabase db;
        RecordingSink sink;
        const qint32 division = InsertDivision("Alpha", InsertGame("Chess"));
        const qint32 bob = InsertPlayerRow("Bob");
        InsertMember(bob, division);
        InsertMember(InsertPlayerRow("Dee"), division);
        QCoreApplication::processEvents();
        frmScheduling scheduling;
        frmCommCenter comms;
        frmDivisions divisions;
        auto* scheduled = child<QListWidget>(&scheduling, "lstPlayers");
        auto* mailed = child<QListWidget>(&comms, "lstPlayers");
        auto* divisionList = child<QTreeWidget>(&divisions, "lsvDivisions");
        SelectItem(scheduled, "Dee");
        SelectItem(mailed, "Dee");
        SelectRow(divisionList, "Alpha");
        QCOMPARE(divisionList->topLevelItem(0)->text(3), QStringLiteral("2"));

        PlayerSave cara;
        cara.player.onlineName = "Cara";
        cara.player.active = true;
        cara.player.timeZone = 1;
        AddPlayer(cara);
        DeletePlayer(bob);
        QCoreApplication::processEvents();

        for (QListWidget* list : {scheduled, mailed}) {
            QCOMPARE(ItemTexts(list), (QStringList{"Cara", "Dee"}));
            QCOMPARE(selected(list), QStringList{"Dee"});
        }
        QCOMPARE(divisionList->topLevelItem(0)->text(3), QStringLiteral("1"));
        QVERIFY(divisionList->topLevelItem(0)->isSelected());
    }
};

QTEST_MAIN(ChangeNoticeTest)
#include "change_notice_test.moc"
