#include "data/CustomFields.h"
#include "data/widgets/frmCustomDrops.h"
#include "support/TestKit.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using test::child;
using test::Click;

namespace {

// The window's title, frame caption and entries.
QString shown(QWidget* window) {
    return window->windowTitle() + QLatin1Char('|') +
           child<QGroupBox>(window, QStringLiteral("fmeCustom"))->title() + QLatin1Char('|') +
           test::ItemTexts(child<QListWidget>(window, QStringLiteral("lstCustom"))).join(',');
}

// Answers the next entry dialog: checks its title and entry, types `text` and presses OK.
void enter(test::ModalDriver& driver, const QString& title, const QString& text, const QString& entry = {}) {
    driver.then([=](QDialog* d) {
        QCOMPARE(d->windowTitle(), title);
        auto* edit = child<QLineEdit>(d, QStringLiteral("txtCustomEntry"));
        QCOMPARE(edit->text(), entry);
        QCOMPARE(edit->isReadOnly(), title.startsWith(QStringLiteral("Delete")));
        edit->setText(text);
        test::ClickOK(d);
    });
}

void addEntries(test::TestDatabase& db, std::initializer_list<std::pair<int, const char*>> entries) {
    for (const auto& [field, text] : entries)
        db.exec(
            QStringLiteral("Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) VALUES(%1, '%2')")
                .arg(field)
                .arg(QLatin1String(text)));
}

} // namespace

class CustomFieldsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each field shows only its own entries; another field chosen while the window is open changes
    // the captions, the list and where new entries go.
    void entriesOfOneFieldAndSwitching() {
        test::TestDatabase db;
        test::RecordingSink sink;
        addEntries(db, {{1, "Rifle"}, {2, "Medic"}, {3, "Night"}});
        frmCustomDrops window;
        window.showField(1, QStringLiteral("Weapon"));
        window.show();
        test::ModalDriver driver;
        enter(driver, QStringLiteral("Add Weapon entry"), QStringLiteral(" Sniper's Rifle "));
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(
            shown(&window),
            QStringLiteral("Maintain Custom Field - Weapon|Custom Entries for Weapon|Rifle,Sniper's Rifle"));

        static_cast<CustomFieldWindow&>(window).showField(3, QStringLiteral("Shift"));
        enter(driver, QStringLiteral("Add Shift entry"), QStringLiteral("Day"));
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(shown(&window),
                 QStringLiteral("Maintain Custom Field - Shift|Custom Entries for Shift|Day,Night"));

        // An ampersand in the caption reads the same on the frame (no shortcut mark); the list follows
        // a refresh of its own.
        window.showField(2, QStringLiteral("R&D"));
        addEntries(db, {{2, "Armour"}});
        window.RefreshCustom();
        QCOMPARE(shown(&window),
                 QStringLiteral("Maintain Custom Field - R&D|Custom Entries for R&&D|Armour,Medic"));
        QCOMPARE(db.scalar(QStringLiteral(
                               "Select Group_Concat(Custom_FieldNumber || Custom_FieldText) From (Select * "
                               "From CustomFields Order By Custom_FieldNumber, Custom_FieldText)"))
                     .toString(),
                 QStringLiteral("1Rifle,1Sniper's Rifle,2Armour,2Medic,3Day,3Night"));
        QCOMPARE(sink.count(), 0);
    }

    // Editing renames; an entry no player uses any more is deleted; an empty entry is refused.
    void editAndDeleteInUse() {
        test::TestDatabase db;
        test::RecordingSink sink;
        addEntries(db, {{2, "Medic"}});
        const int key = db.scalar(QStringLiteral("Select Custom_ID From CustomFields")).toInt();
        db.exec(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                               "Player_CustomDrop2) VALUES(1, 'Doc', 1, %1)")
                    .arg(key));
        frmCustomDrops window;
        window.showField(2, QStringLiteral("Role"));
        auto* list = child<QListWidget>(&window, QStringLiteral("lstCustom"));
        test::ModalDriver driver;
        list->item(0)->setSelected(true);
        enter(driver, QStringLiteral("Edit Role entry"), QStringLiteral("Field Medic's Aide"),
              QStringLiteral("Medic"));
        emit list->doubleClicked(list->model()->index(0, 0));
        QCOMPARE(test::ItemTexts(list), QStringList{QStringLiteral("Field Medic's Aide")});

        db.exec(QStringLiteral("Update Players Set Player_CustomDrop2 = 0"));
        list->item(0)->setSelected(true);
        enter(driver, QStringLiteral("Delete Role entry"), QStringLiteral("Field Medic's Aide"),
              QStringLiteral("Field Medic's Aide"));
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(db.count(QStringLiteral("CustomFields")), 0);
        QCOMPARE(sink.count(), 0);

        QVERIFY(!SaveCustomEntry(QStringLiteral("Add"), 2, 0, QStringLiteral("  ")));
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a description before continuing."));
        QCOMPARE(db.count(QStringLiteral("CustomFields")), 0);
    }

    // Opened from the registry, the window shows the first enabled field, or none with Add disabled.
    void openedWithoutField() {
        test::TestDatabase db;
        RegisterAllWindows();
        std::unique_ptr<QWidget> w(CreateTaskWindow(QStringLiteral("frmCustomDrops")));
        QVERIFY(!child<QToolButton>(w.get(), QStringLiteral("imgAdd"))->isEnabled());
        db.exec(QStringLiteral(
            "Update Options Set Options_Custom4_Drop_Enabled = 1, Options_Custom3_Text_Enabled = 1, "
            "Options_Custom2_Drop_Title = 'Off'"));
        LoadOptions();
        QCOMPARE(FirstEnabledPickListField(), 4);
    }
};

QTEST_MAIN(CustomFieldsTest)
#include "customfields_test.moc"
