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
        QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtCustomEntry"))->text(), entry);
        child<QLineEdit>(d, QStringLiteral("txtCustomEntry"))->setText(text);
        test::ClickOK(d);
    });
}

void addEntry(test::TestDatabase& db, int field, const QString& text) {
    db.exec(QStringLiteral("Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) VALUES(%1, '%2')")
                .arg(field)
                .arg(text));
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
        addEntry(db, 1, QStringLiteral("Rifle"));
        addEntry(db, 2, QStringLiteral("Medic"));
        addEntry(db, 3, QStringLiteral("Night"));
        frmCustomDrops window;
        window.showField(1, QStringLiteral("Weapon"));
        window.show();
        QCOMPARE(shown(&window),
                 QStringLiteral("Maintain Custom Field - Weapon|Custom Entries for Weapon|Rifle"));
        test::ModalDriver driver;
        enter(driver, QStringLiteral("Add Weapon entry"), QStringLiteral(" Sniper's Rifle "));
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(shown(&window).section('|', 2), QStringLiteral("Rifle,Sniper's Rifle"));
        QCOMPARE(db.count(QStringLiteral("CustomFields"),
                          QStringLiteral("Custom_FieldNumber = 1 And Custom_FieldText = 'Sniper''s Rifle'")),
                 1);

        static_cast<CustomFieldWindow&>(window).showField(3, QStringLiteral("Shift"));
        QCOMPARE(shown(&window),
                 QStringLiteral("Maintain Custom Field - Shift|Custom Entries for Shift|Night"));
        enter(driver, QStringLiteral("Add Shift entry"), QStringLiteral("Day"));
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(db.count(QStringLiteral("CustomFields"), QStringLiteral("Custom_FieldNumber = 3 And "
                                                                         "Custom_FieldText = 'Day'")),
                 1);
        QCOMPARE(shown(&window).section('|', 2), QStringLiteral("Day,Night"));
        QVERIFY(child<QListWidget>(&window, QStringLiteral("lstCustom"))->selectedItems().isEmpty());

        // An ampersand in the caption reads the same on the frame (no shortcut mark); the list follows
        // a refresh of its own.
        window.showField(2, QStringLiteral("R&D"));
        addEntry(db, 2, QStringLiteral("Armour"));
        window.RefreshCustom();
        QCOMPARE(shown(&window),
                 QStringLiteral("Maintain Custom Field - R&D|Custom Entries for R&&D|Armour,Medic"));
        QCOMPARE(sink.count(), 0);
    }

    void editAndDeleteInUse() {
        test::TestDatabase db;
        test::RecordingSink sink;
        addEntry(db, 2, QStringLiteral("Medic"));
        const int key = db.scalar(QStringLiteral("Select Custom_ID From CustomFields")).toInt();
        db.exec(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                               "Player_CustomDrop2) VALUES(1, 'Doc', 1, %1)")
                    .arg(key));
        frmCustomDrops window;
        window.showField(2, QStringLiteral("Role"));
        auto* list = child<QListWidget>(&window, QStringLiteral("lstCustom"));
        test::ModalDriver driver;
        Click(&window, QStringLiteral("imgDelete")); // nothing selected: nothing happens
        QVERIFY(driver.shown.isEmpty());

        list->item(0)->setSelected(true);
        enter(driver, QStringLiteral("Edit Role entry"), QStringLiteral("Field Medic's Aide"),
              QStringLiteral("Medic"));
        emit list->doubleClicked(list->model()->index(0, 0));
        QCOMPARE(test::ItemTexts(list), QStringList{QStringLiteral("Field Medic's Aide")});

        // The entry goes; the player keeps the key it had.
        list->item(0)->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Delete Role entry"));
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtCustomEntry"))->isReadOnly());
            test::ClickOK(d);
        });
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(db.count(QStringLiteral("CustomFields")), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_CustomDrop2 From Players")).toInt(), key);
        QCOMPARE(sink.count(), 0);

        // An empty entry is refused and the dialog stays open.
        bool stayedOpen = false;
        driver.then([&](QDialog* d) {
            test::ClickOK(d);
            stayedOpen = d->isVisible();
        });
        Click(&window, QStringLiteral("imgAdd"));
        QVERIFY(stayedOpen);
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a description before continuing."));
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
    }

    // Opened from the registry, the window shows the first enabled field, or none with Add disabled.
    void openedWithoutField() {
        test::TestDatabase db;
        addEntry(db, 4, QStringLiteral("Tall"));
        RegisterAllWindows();
        for (const bool enabled : {false, true}) {
            if (enabled) {
                db.exec(QStringLiteral(
                    "Update Options Set Options_Custom4_Drop_Enabled = 1, Options_Custom4_Drop_Title "
                    "= 'Height', Options_Custom2_Drop_Title = 'Off'"));
                LoadOptions();
            }
            std::unique_ptr<QWidget> w(CreateTaskWindow(QStringLiteral("frmCustomDrops")));
            auto* window = qobject_cast<frmCustomDrops*>(w.get());
            QVERIFY(window);
            QCOMPARE(window->CustomKey, qint16(enabled ? 4 : 0));
            QCOMPARE(child<QToolButton>(window, QStringLiteral("imgAdd"))->isEnabled(), enabled);
            QCOMPARE(test::ItemTexts(child<QListWidget>(window, QStringLiteral("lstCustom"))),
                     enabled ? QStringList{QStringLiteral("Tall")} : QStringList());
            if (enabled)
                QCOMPARE(window->windowTitle(), QStringLiteral("Maintain Custom Field - Height"));
        }
    }
};

QTEST_MAIN(CustomFieldsTest)
#include "customfields_test.moc"
