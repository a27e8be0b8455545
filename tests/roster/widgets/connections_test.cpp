#include "data/DbConnection.h"
#include "roster/widgets/frmConnections.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/RosterRows.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"

#include <QtTest>
#include <QtWidgets>

using namespace rm;
using namespace rm::test;

namespace {

void enter(QDialog* d, const QString& text) {
    child<QLineEdit>(d, "txtConnection")->setText(text);
    ClickOK(d);
}

} // namespace

class ConnectionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addEditDelete() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmConnections window;
        window.show();
        auto* list = child<QListWidget>(&window, "lstConnections");
        const QStringList before = ItemTexts(list);

        // Add with an entry selected names that entry in the caption and adds a separate row.
        SelectItem(list, "Cable");
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Cable entry"));
            QCOMPARE(child<QLineEdit>(d, "txtConnection")->text(), QString());
            enter(d, " Grandma's T1 ");
        });
        Click(&window, "imgAdd");
        QCOMPARE(db.count("ConnectionTypes", QStringLiteral("Connection_Name = 'Grandma''s T1'")), 1);
        QCOMPARE(ItemTexts(list).size(), before.size() + 1);
        QVERIFY(ItemTexts(list).contains(QStringLiteral("Cable")));
        QVERIFY(list->selectedItems().isEmpty());

        // Double-click edits.
        SelectItem(list, "Grandma's T1");
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Grandma's T1 entry"));
            QCOMPARE(child<QLineEdit>(d, "txtConnection")->text(), QStringLiteral("Grandma's T1"));
            enter(d, "Grandpa's T3");
        });
        emit list->doubleClicked(list->currentIndex());
        QVERIFY(ItemTexts(list).contains(QStringLiteral("Grandpa's T3")));
        QVERIFY(!ItemTexts(list).contains(QStringLiteral("Grandma's T1")));

        // Delete of a type that a player uses goes ahead; the player keeps the stale key.
        const int key = db.scalar("Select Connection_ID From ConnectionTypes Where Connection_Name = "
                                  "'Grandpa''s T3'")
                            .toInt();
        db.exec(QStringLiteral("Update Players Set Player_Connection = %1 Where Player_ID = %2")
                    .arg(key)
                    .arg(InsertPlayerRow("Wire")));
        SelectItem(list, "Grandpa's T3");
        driver.then([](QDialog* d) { ClickOK(d); });
        Click(&window, "imgDelete");
        QCOMPARE(db.count("ConnectionTypes", QStringLiteral("Connection_ID = %1").arg(key)), 0);
        QCOMPARE(db.scalar("Select Player_Connection From Players").toInt(), key);
        QCOMPARE(ItemTexts(list), before);
        QCOMPARE(sink.count(), 0);
        QVERIFY(driver.unexpected.isEmpty() && driver.pending() == 0);
    }

    // Delete with nothing selected does nothing; an empty entry or a store error keeps the dialog.
    void refusedEntriesKeepTheDialog() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmConnections window;
        Click(&window, "imgDelete");
        QVERIFY(driver.shown.isEmpty());
        QCOMPARE(sink.count(), 0);

        QStringList kept;
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add  entry"));
            enter(d, "   ");
            QVERIFY(d->isVisible());
            QCOMPARE(sink.last().text,
                     QStringLiteral("Please provide a Connection Description before continuing."));
            db.exec("Alter Table ConnectionTypes Rename To Gone");
            enter(d, "Fibre 2");
            QVERIFY(d->isVisible());
            kept << child<QLineEdit>(d, "txtConnection")->text();
        });
        Click(&window, "imgAdd");
        QCOMPARE(kept, QStringList{"Fibre 2"});
        QVERIFY(sink.count() >= 2);
        QVERIFY(sink.messages.at(1).standardBox);
        QCOMPARE(sink.messages.at(1).title, QStringLiteral("Rallymark Error"));
        QVERIFY(sink.messages.at(1).text.startsWith(
            QStringLiteral("Rallymark encountered the following error:\n\n")));
    }
};

QTEST_MAIN(ConnectionsTest)
#include "connections_test.moc"
