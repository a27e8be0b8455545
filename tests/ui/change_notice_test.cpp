#include "comms/widgets/CommCenter.h"
#include "data/ChangeNotice.h"
#include "roster/PlayerStore.h"
#include "roster/widgets/DivisionWindows.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "ui/MemberPicker.h"

using namespace rm;
using namespace rm::test;

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

        QSignalSpy notices(&ChangeNotice::instance(), &ChangeNotice::dataChanged);
        AddActivePlayer("Cara", 1);
        DeletePlayer(bob);
        QCOMPARE(ItemTexts(scheduled).size(), 2); // not before the saving event is over
        QCoreApplication::processEvents();
        QCOMPARE(notices.count(), 1);
        Db().execute("Delete From SchedulingWork");
        QCoreApplication::processEvents();
        QCOMPARE(notices.count(), 1);

        for (QListWidget* list : {scheduled, mailed}) {
            QCOMPARE(ItemTexts(list), (QStringList{"Cara", "Dee"}));
            QCOMPARE(list->selectedItems().size(), 1);
            QCOMPARE(list->selectedItems().first()->text(), QStringLiteral("Dee"));
        }
        QCOMPARE(divisionList->topLevelItem(0)->text(3), QStringLiteral("1"));
        QVERIFY(divisionList->topLevelItem(0)->isSelected());
    }

    // In a member picker only the list in front counts, and a click on the tab already in front leaves
    // it there. Saved rows refill the lists, and the refill is announced even when nothing is selected:
    // the scheduling screen recounts its grid on it.
    void frontListAndRefills() {
        TestDatabase db;
        RecordingSink sink;
        InsertPlayerRow("Able");
        InsertDivision("Archers");
        QCoreApplication::processEvents(); // the notice of these rows
        MemberPicker picker({QStringLiteral("comms-tab")}, nullptr);
        auto* players = child<QListWidget>(&picker, "lstPlayers");
        SelectItem(players, "Able");
        for (int i = 0; i < 2; ++i)
            Click(&picker, "imgClickDivision");
        QVERIFY(!picker.playersListVisible() && !picker.anySelected());
        QVERIFY(child<QToolButton>(&picker, "imgClickDivision")->isChecked() &&
                !child<QToolButton>(&picker, "imgClickPlayer")->isChecked());
        QCOMPARE(picker.selectedPlayers().value(0).second, QStringLiteral("Able"));

        players->clearSelection();
        QSignalSpy changes(&picker, &MemberPicker::selectionChanged);
        InsertPlayerRow("Baker");
        QCoreApplication::processEvents();
        QCOMPARE(ItemTexts(players), (QStringList{"Able", "Baker"}));
        QVERIFY(!changes.isEmpty());
        QCOMPARE(sink.count(), 0);
    }
};

QTEST_MAIN(ChangeNoticeTest)
#include "change_notice_test.moc"
