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
    // A player added or deleted elsewhere shows up, or goes, in every open window once the saving
    // event is over (one notice for all its statements); the selection stays; member counts follow.
    // Searches writing their scratch table give no notice.
    void openWindowsFollowSaves() {
        TestDatabase db;
        RecordingSink sink;
        const qint32 division = InsertDivision("Alpha", InsertGame("Chess"));
        const qint32 bob = InsertPlayerRow("Bob");
        InsertMember(bob, division);
        InsertMember(InsertPlayerRow("Dee"), division);
        QCoreApplication::processEvents(); // the notice of these rows
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
        QSignalSpy notices(&ChangeNotice::instance(), &ChangeNotice::dataChanged);
        AddPlayer(cara);
        DeletePlayer(bob);
        QCOMPARE(ItemTexts(scheduled).size(), 2); // not before the saving event is over
        QCoreApplication::processEvents();
        QCOMPARE(notices.count(), 1);
        Db().execute("Delete From SchedulingWork");
        QCoreApplication::processEvents();
        QCOMPARE(notices.count(), 1);

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
