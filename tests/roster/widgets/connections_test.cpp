#include "data/DbConnection.h"
#include "roster/widgets/frmConnections.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"

#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QtTest>

using namespace rm;
using test::child;

namespace {

QListWidgetItem* entry(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void click(QObject* parent, const char* name) {
    child<QToolButton>(parent, QString::fromLatin1(name))->click();
}

void enter(QDialog* d, const QString& text) {
    child<QLineEdit>(d, QStringLiteral("txtConnection"))->setText(text);
    click(d, "imgButton1");
}

} // namespace

class ConnectionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addEditDelete() {
        test::TestDatabase db;
        test::RecordingSink sink;
        frmConnections window;
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Connection Types"));
        auto* list = child<QListWidget>(&window, QStringLiteral("lstConnections"));
        QVERIFY(!window.findChild<QToolButton*>(QStringLiteral("imgEdit")));
        const int before = db.count(QStringLiteral("ConnectionTypes"));

        // Add with an entry selected names that entry in the caption and adds a separate row.
        entry(list, QStringLiteral("Cable"))->setSelected(true);
        test::ModalDriver driver;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Cable entry"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtConnection"))->text(), QString());
            enter(d, QStringLiteral(" Grandma's T1 "));
        });
        click(&window, "imgAdd");
        QCOMPARE(db.count(QStringLiteral("ConnectionTypes")), before + 1);
        QCOMPARE(
            db.count(QStringLiteral("ConnectionTypes"), QStringLiteral("Connection_Name = 'Grandma''s T1'")),
            1);
        QCOMPARE(db.count(QStringLiteral("ConnectionTypes"), QStringLiteral("Connection_Name = 'Cable'")), 1);
        QListWidgetItem* added = entry(list, QStringLiteral("Grandma's T1"));
        QVERIFY(added);
        QVERIFY(list->selectedItems().isEmpty());

        // Double-click edits.
        added->setSelected(true);
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Grandma's T1 entry"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtConnection"))->text(),
                     QStringLiteral("Grandma's T1"));
            enter(d, QStringLiteral("Grandpa's T3"));
        });
        emit list->doubleClicked(list->indexFromItem(added));
        QVERIFY(entry(list, QStringLiteral("Grandpa's T3")));
        QVERIFY(!entry(list, QStringLiteral("Grandma's T1")));

        // Delete of a type that a player uses goes ahead; the player keeps the stale key.
        const int key =
            db.scalar(QStringLiteral("Select Connection_ID From ConnectionTypes Where Connection_Name = "
                                     "'Grandpa''s T3'"))
                .toInt();
        db.exec(QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                               "Player_Connection) VALUES(1, 'Wire', 1, %1)")
                    .arg(key));
        entry(list, QStringLiteral("Grandpa's T3"))->setSelected(true);
        driver.then([](QDialog* d) {
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtConnection"))->isReadOnly());
            click(d, "imgButton1");
        });
        click(&window, "imgDelete");
        QCOMPARE(db.count(QStringLiteral("ConnectionTypes"), QStringLiteral("Connection_ID = %1").arg(key)),
                 0);
        QCOMPARE(db.scalar(QStringLiteral(
                               "Select Player_Connection From Players Where Player_OnlineName = 'Wire'"))
                     .toInt(),
                 key);
        QCOMPARE(db.count(QStringLiteral("ConnectionTypes")), before);
        QCOMPARE(sink.count(), 0);
        QVERIFY(driver.unexpected.isEmpty());
        QCOMPARE(driver.pending(), 0);
    }

    void nothingSelectedDoesNothing() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        frmConnections window;
        click(&window, "imgDelete");
        QVERIFY(driver.shown.isEmpty());
        QCOMPARE(sink.count(), 0);

        // Add with nothing selected: an empty entry is refused with a message, the dialog stays.
        bool stayedOpen = false;
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add  entry"));
            enter(d, QStringLiteral("   "));
            stayedOpen = d->isVisible();
        });
        click(&window, "imgAdd");
        QVERIFY(stayedOpen);
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text,
                 QStringLiteral("Please provide a Connection Description before continuing."));
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QCOMPARE(sink.last().icon, int(vbInformation));
    }

    void storeErrorKeepsDialogOpen() {
        test::TestDatabase db;
        test::RecordingSink sink;
        frmConnections window;
        db.exec(QStringLiteral("Alter Table ConnectionTypes Rename To Gone"));
        test::ModalDriver driver;
        bool stayedOpen = false;
        QString kept;
        driver.then([&](QDialog* d) {
            enter(d, QStringLiteral("Fibre 2"));
            stayedOpen = d->isVisible();
            kept = child<QLineEdit>(d, QStringLiteral("txtConnection"))->text();
        });
        click(&window, "imgAdd");
        QVERIFY(stayedOpen);
        QCOMPARE(kept, QStringLiteral("Fibre 2"));
        QVERIFY(sink.count() >= 1);
        QVERIFY(sink.messages.first().standardBox);
        QCOMPARE(sink.messages.first().title, QStringLiteral("Rallymark Error"));
        QVERIFY(sink.messages.first().text.startsWith(
            QStringLiteral("Rallymark encountered the following error:\n\n")));
    }
};

QTEST_MAIN(ConnectionsTest)
#include "connections_test.moc"
