#include "roster/widgets/GameWindows.h"
#include "roster/widgets/GenreWindows.h"
#include "roster/widgets/frmConnections.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"

using namespace rm;
using namespace rm::test;

namespace {

int genreId(const QString& name) {
    return Db()
        .scalar(QStringLiteral("Select Genre_ID From Genres Where Genre_Name = '%1'").arg(name))
        .toInt();
}

int typeId(const QString& name) {
    return Db()
        .scalar(QStringLiteral("Select Type_ID From GameTypes Where Type_Description = '%1'").arg(name))
        .toInt();
}

void enter(QDialog* d, const QString& text) {
    child<QLineEdit>(d, "txtConnection")->setText(text);
    ClickOK(d);
}

} // namespace

class CataloguesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blankNotesStoredAsOneBlankAndApostropheOnce() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmGames window;
        driver.then([](QDialog* d) {
            child<QLineEdit>(d, "txtGameName")->setText("  Rook's Gambit  ");
            auto* genre = child<QComboBox>(d, "cboGameGenre");
            genre->setCurrentIndex(genre->findText("Sports"));
            child<QPlainTextEdit>(d, "txtNotes")->setPlainText("   \n  ");
            ClickOK(d);
        });
        Click(&window, "imgAdd");
        QCOMPARE(sink.count(), 0);
        QCOMPARE(db.scalar("Select Game_Name || '|' || Game_Notes || '|' || Game_Genre "
                           "From Games")
                     .toString(),
                 QStringLiteral("Rook's Gambit| |%1").arg(genreId("Sports")));

        auto* list = child<QTreeWidget>(&window, "lsvGames");
        QVERIFY(RowTexts(list).first().startsWith(QStringLiteral("Rook's Gambit|Console|Sports||")));

        // Reopened, the notes are empty and the stored genre is chosen.
        SelectRow(list, "Rook's Gambit");
        driver.then([](QDialog* d) {
            QCOMPARE(child<QPlainTextEdit>(d, "txtNotes")->toPlainText(), QString());
            QCOMPARE(child<QComboBox>(d, "cboGameGenre")->currentText(), QStringLiteral("Sports"));
            child<QPlainTextEdit>(d, "txtNotes")->setPlainText(" chess it's not ");
            ClickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(db.scalar("Select Game_Notes From Games").toString(), QStringLiteral("chess it's not"));
        QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("Yes"));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void gamesWithMissingGenreOrTypeAreNotListed() {
        TestDatabase db;
        RecordingSink sink;
        const int pc = typeId("PC");
        const int fps = genreId("First-Person Shooter");
        InsertGame("Zulu", pc, fps);
        InsertGame("Alpha", pc, fps);
        InsertGame("Orphan Genre", pc, 9999);
        InsertGame("No Type", 0, fps);
        frmGames window;
        auto* list = child<QTreeWidget>(&window, "lsvGames");
        QCOMPARE(Column(list, 0) + Column(list, 1), (QStringList{"Alpha", "Zulu", "PC", "PC"}));
    }

    void savingWithoutGenresOrTypesAsksForThemFirst() {
        TestDatabase db;
        RecordingSink sink;
        db.exec("Delete From Genres");
        frmMaintainGame dialog;
        dialog.EditMode = "Add";
        dialog.prepare();
        dialog.pressOK(); // the name comes first
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a Game Name before continuing."));
        child<QLineEdit>(&dialog, "txtGameName")->setText("Drift");
        dialog.pressOK();
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QVERIFY(sink.last().text.contains(QStringLiteral("Please add a Genre under Genres & Types first.")));
        QCOMPARE(db.count("Games"), 0);
    }

    // Deleting an entry still in use is refused with the dialog left open; once freed, it goes.
    void inUseRefusedUntilFreed_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("freeing");
        QTest::newRow("game") << "lsvGames"
                              << "Bolt"
                              << "imgDelete"
                              << "That Game is currently in use with some Divisions.\nYou must first either "
                                 "delete the Divisions that use it, or change that Division's Game to delete!"
                              << "Delete From Divisions";
        QTest::newRow("genre") << "lstGenres"
                               << "Racing"
                               << "imgDeleteGenre"
                               << "That Genre is currently in use with some games.\n"
                               << "Delete From Games";
        QTest::newRow("type") << "lstTypes"
                              << "Mobile"
                              << "imgDeleteType"
                              << "or change that game's type to delete!"
                              << "Delete From Games";
    }
    void inUseRefusedUntilFreed() {
        QFETCH(QString, list);
        QFETCH(QString, entry);
        QFETCH(QString, button);
        QFETCH(QString, refusal);
        QFETCH(QString, freeing);
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        InsertDivision("Pit Crew", InsertGame("Bolt", typeId("Mobile"), genreId("Racing")));
        std::unique_ptr<QWidget> window;
        if (list == "lsvGames")
            window = std::make_unique<frmGames>();
        else
            window = std::make_unique<frmGenresTypes>();
        Click(window.get(), button); // nothing selected: no dialog
        QVERIFY(driver.shown.isEmpty());
        auto* view = child<QAbstractItemView>(window.get(), list);
        const auto found = [&] {
            return view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, entry, 1,
                                        Qt::MatchExactly);
        };
        const auto select = [&] {
            view->selectionModel()->setCurrentIndex(found().value(0), QItemSelectionModel::ClearAndSelect |
                                                                          QItemSelectionModel::Rows);
        };
        select();
        driver.then([&](QDialog* d) {
            ClickOK(d);
            QVERIFY(d->isVisible());
            QVERIFY2(sink.last().text.contains(refusal), qPrintable(sink.last().text));
            QVERIFY(sink.last().title.endsWith(QStringLiteral("Currently in Use")));
            Click(d, "imgButton2");
        });
        Click(window.get(), button);
        QVERIFY(!found().isEmpty());
        db.exec(freeing);
        select();
        driver.then(ClickOK);
        Click(window.get(), button);
        QVERIFY(found().isEmpty());
        QVERIFY(driver.unexpected.isEmpty());
    }

    void genreAndTypeDialogFieldsAndEdit() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmGenresTypes window;
        driver.then([](QDialog* d) {
            auto* entry = child<QLineEdit>(d, "txtEntry");
            entry->setText("   ");
            ClickOK(d);
            QVERIFY(d->isVisible());
            entry->setText(" Rhythm 'n' Blues ");
            ClickOK(d);
        });
        Click(&window, "imgAddGenre");
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a Genre Name before continuing."));
        QVERIFY(
            ItemTexts(child<QListWidget>(&window, "lstGenres")).contains(QStringLiteral("Rhythm 'n' Blues")));

        auto* types = child<QListWidget>(&window, "lstTypes");
        SelectItem(types, "PC");
        driver.then([](QDialog* d) {
            auto* entry = child<QLineEdit>(d, "txtEntry");
            QCOMPARE(entry->text(), QStringLiteral("PC"));
            entry->setText("Desktop PC");
            ClickOK(d);
        });
        types->itemDoubleClicked(types->currentItem());
        QVERIFY(ItemTexts(types).contains(QStringLiteral("Desktop PC")));
        QVERIFY(driver.unexpected.isEmpty());
    }

    // Connection types
    void connectionsAddEditDelete() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmConnections window;
        window.show();
        auto* list = child<QListWidget>(&window, "lstConnections");
        const QStringList before = ItemTexts(list);

        // Add with an entry selected adds a separate row; double-click edits.
        SelectItem(list, "Cable");
        driver.then([](QDialog* d) { enter(d, " Grandma's T1 "); });
        Click(&window, "imgAdd");
        QCOMPARE(db.count("ConnectionTypes", QStringLiteral("Connection_Name = 'Grandma''s T1'")), 1);
        QCOMPARE(ItemTexts(list).size(), before.size() + 1);
        SelectItem(list, "Grandma's T1");
        driver.then([](QDialog* d) {
            QCOMPARE(child<QLineEdit>(d, "txtConnection")->text(), QStringLiteral("Grandma's T1"));
            enter(d, "Grandpa's T3");
        });
        emit list->doubleClicked(list->currentIndex());
        QVERIFY(ItemTexts(list).contains(QStringLiteral("Grandpa's T3")));

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
        QVERIFY(driver.unexpected.isEmpty());
    }

    // Delete with nothing selected does nothing; an empty entry or a store error keeps the dialog.
    void connectionEntriesRefused() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmConnections window;
        Click(&window, "imgDelete");
        QVERIFY(driver.shown.isEmpty());
        QCOMPARE(sink.count(), 0);

        QStringList kept;
        driver.then([&](QDialog* d) {
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
        QVERIFY(sink.messages.at(1).text.startsWith(
            QStringLiteral("Rallymark encountered the following error:\n\n")));
    }
};

QTEST_MAIN(CataloguesTest)
#include "catalogues_test.moc"
