#include "data/DbConnection.h"
#include "data/Options.h"
#include "data/widgets/frmCustomDrops.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/WindowRegistry.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace rm;
using test::child;

namespace {

QStringList texts(QListWidget* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

void click(QObject* parent, const char* name) {
    child<QToolButton>(parent, QString::fromLatin1(name))->click();
}

void enter(QDialog* d, const QString& text) {
    child<QLineEdit>(d, QStringLiteral("txtCustomEntry"))->setText(text);
    click(d, "imgButton1");
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
    void entriesOfOneFieldAndSwitching() {
        test::TestDatabase db;
        test::RecordingSink sink;
        addEntry(db, 1, QStringLiteral("Rifle"));
        addEntry(db, 2, QStringLiteral("Medic"));
        addEntry(db, 3, QStringLiteral("Night"));
        frmCustomDrops window;
        window.showField(1, QStringLiteral("Weapon"));
        window.show();
        auto* list = child<QListWidget>(&window, QStringLiteral("lstCustom"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Maintain Custom Field - Weapon"));
        QCOMPARE(child<QGroupBox>(&window, QStringLiteral("fmeCustom"))->title(),
                 QStringLiteral("Custom Entries for Weapon"));
        QCOMPARE(texts(list), QStringList{QStringLiteral("Rifle")});

        test::ModalDriver driver;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Weapon entry"));
            enter(d, QStringLiteral(" Sniper's Rifle "));
        });
        click(&window, "imgAdd");
        QCOMPARE(texts(list), QStringList({QStringLiteral("Rifle"), QStringLiteral("Sniper's Rifle")}));
        QCOMPARE(db.count(QStringLiteral("CustomFields"),
                          QStringLiteral("Custom_FieldNumber = 1 And Custom_FieldText = 'Sniper''s Rifle'")),
                 1);

        // Another field chosen while the window is open: captions, list and new entries follow it.
        CustomFieldWindow* asField = &window;
        asField->showField(3, QStringLiteral("Shift"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Maintain Custom Field - Shift"));
        QCOMPARE(child<QGroupBox>(&window, QStringLiteral("fmeCustom"))->title(),
                 QStringLiteral("Custom Entries for Shift"));
        QCOMPARE(texts(list), QStringList{QStringLiteral("Night")});
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Shift entry"));
            enter(d, QStringLiteral("Day"));
        });
        click(&window, "imgAdd");
        QCOMPARE(db.count(QStringLiteral("CustomFields"), QStringLiteral("Custom_FieldNumber = 3 And "
                                                                         "Custom_FieldText = 'Day'")),
                 1);
        QCOMPARE(texts(list), QStringList({QStringLiteral("Day"), QStringLiteral("Night")}));
        QVERIFY(list->selectedItems().isEmpty());

        // Field 2's entry never shows under field 1.
        window.showField(1, QStringLiteral("Weapon"));
        QVERIFY(!texts(list).contains(QStringLiteral("Medic")));

        // A caption with an ampersand reads the same on the frame (no shortcut mark), and the list
        // follows a refresh of its own.
        window.showField(2, QStringLiteral("R&D"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Maintain Custom Field - R&D"));
        QCOMPARE(child<QGroupBox>(&window, QStringLiteral("fmeCustom"))->title(),
                 QStringLiteral("Custom Entries for R&&D"));
        addEntry(db, 2, QStringLiteral("Armour"));
        window.RefreshCustom();
        QCOMPARE(texts(list), QStringList({QStringLiteral("Armour"), QStringLiteral("Medic")}));
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

        // Nothing selected: Delete does nothing.
        click(&window, "imgDelete");
        QVERIFY(driver.shown.isEmpty());

        list->item(0)->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Role entry"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtCustomEntry"))->text(), QStringLiteral("Medic"));
            enter(d, QStringLiteral("Field Medic's Aide"));
        });
        emit list->doubleClicked(list->model()->index(0, 0));
        QCOMPARE(texts(list), QStringList{QStringLiteral("Field Medic's Aide")});

        list->item(0)->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Delete Role entry"));
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtCustomEntry"))->isReadOnly());
            click(d, "imgButton1");
        });
        click(&window, "imgDelete");
        QCOMPARE(db.count(QStringLiteral("CustomFields")), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Player_CustomDrop2 From Players")).toInt(), key);
        QCOMPARE(sink.count(), 0);

        // An empty entry is refused.
        bool stayedOpen = false;
        driver.then([&](QDialog* d) {
            enter(d, QString());
            stayedOpen = d->isVisible();
        });
        click(&window, "imgAdd");
        QVERIFY(stayedOpen);
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a description before continuing."));
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
    }

    void openedWithoutField() {
        test::TestDatabase db;
        addEntry(db, 4, QStringLiteral("Tall"));
        // None enabled: no field, nothing to add to.
        {
            std::unique_ptr<QWidget> w(createFromRegistry());
            auto* window = qobject_cast<frmCustomDrops*>(w.get());
            QVERIFY(window);
            QCOMPARE(window->CustomKey, qint16(0));
            QVERIFY(!child<QToolButton>(window, QStringLiteral("imgAdd"))->isEnabled());
            QCOMPARE(child<QListWidget>(window, QStringLiteral("lstCustom"))->count(), 0);
        }
        db.exec(QStringLiteral(
            "Update Options Set Options_Custom4_Drop_Enabled = 1, Options_Custom4_Drop_Title = "
            "'Height', Options_Custom2_Drop_Title = 'Off'"));
        LoadOptions();
        std::unique_ptr<QWidget> w(createFromRegistry());
        auto* window = qobject_cast<frmCustomDrops*>(w.get());
        QCOMPARE(window->CustomKey, qint16(4));
        QCOMPARE(window->windowTitle(), QStringLiteral("Maintain Custom Field - Height"));
        QVERIFY(child<QToolButton>(window, QStringLiteral("imgAdd"))->isEnabled());
        QCOMPARE(texts(child<QListWidget>(window, QStringLiteral("lstCustom"))),
                 QStringList{QStringLiteral("Tall")});
    }

private:
    static QWidget* createFromRegistry() {
        if (!HasTaskWindow(QStringLiteral("frmCustomDrops")))
            RegisterAllWindows();
        return CreateTaskWindow(QStringLiteral("frmCustomDrops"));
    }
};

QTEST_MAIN(CustomFieldsTest)
#include "customfields_test.moc"
