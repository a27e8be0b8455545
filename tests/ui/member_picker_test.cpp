#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "ui/MemberPicker.h"

using namespace rm;
using namespace rm::test;

class MemberPickerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Only the list in front counts, and a click on the tab already in front leaves it there. Saved
    // rows refill the lists, and the refill is announced even when nothing is selected: the
    // scheduling screen recounts its grid on it.
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
        QVERIFY(!picker.playersListVisible());
        QVERIFY(child<QToolButton>(&picker, "imgClickDivision")->isChecked());
        QVERIFY(!child<QToolButton>(&picker, "imgClickPlayer")->isChecked());
        QVERIFY(!picker.anySelected());
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

QTEST_MAIN(MemberPickerTest)
#include "member_picker_test.moc"
