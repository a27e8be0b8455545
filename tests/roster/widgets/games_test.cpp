#include "data/DbConnection.h"
#include "roster/widgets/GameWindows.h"
#include "roster/widgets/GenreWindows.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/RosterRows.h"
#include "support/TestDatabase.h"
#include "support/WidgetQueries.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

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

} // namespace

class GamesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blankNotesStoredAsOneBlankAndApostropheOnce() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmGames window;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Game Entry"));
            child<QLineEdit>(d, QStringLiteral("txtGameName"))->setText(QStringLiteral("  Rook's Gambit  "));
            auto* genre = child<QComboBox>(d, QStringLiteral("cboGameGenre"));
            genre->setCurrentIndex(genre->findText(QStringLiteral("Sports")));
            child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))->setPlainText(QStringLiteral("   \n  "));
            ClickOK(d);
            QVERIFY(!d->isVisible());
        });
        Click(&window, QStringLiteral("imgAdd"));
        QCOMPARE(sink.count(), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Name || '|' || Game_Notes || '|' || Game_Genre "
                                          "From Games"))
                     .toString(),
                 QStringLiteral("Rook's Gambit| |%1").arg(genreId(QStringLiteral("Sports"))));

        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));
        QCOMPARE(RowTexts(list).size(), 1);
        QVERIFY(RowTexts(list).first().startsWith(QStringLiteral("Rook's Gambit|Console|Sports||")));
        QVERIFY(list->selectedItems().isEmpty());

        // Reopened, the notes are empty and the stored genre is chosen.
        SelectRow(list, QStringLiteral("Rook's Gambit"));
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Game Entry"));
            QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))->toPlainText(), QString());
            QCOMPARE(child<QComboBox>(d, QStringLiteral("cboGameGenre"))->currentText(),
                     QStringLiteral("Sports"));
            child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))
                ->setPlainText(QStringLiteral(" chess it's not "));
            ClickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Notes From Games")).toString(),
                 QStringLiteral("chess it's not"));
        QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("Yes"));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void gamesWithMissingGenreOrTypeAreNotListed() {
        TestDatabase db;
        RecordingSink sink;
        const int pc = typeId(QStringLiteral("PC"));
        const int fps = genreId(QStringLiteral("First-Person Shooter"));
        InsertGame(QStringLiteral("Zulu"), pc, fps);
        InsertGame(QStringLiteral("Alpha"), pc, fps);
        InsertGame(QStringLiteral("Orphan Genre"), pc, 9999);
        InsertGame(QStringLiteral("No Type"), 0, fps);
        frmGames window;
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));
        QCOMPARE(Column(list, 0) + Column(list, 1), (QStringList{"Alpha", "Zulu", "PC", "PC"}));
        QVERIFY(list->isColumnHidden(4));
    }

    void gameInUseIsRefusedUntilTheDivisionIsGone() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        InsertDivision(QStringLiteral("Pit Crew"),
                       InsertGame(QStringLiteral("Bolt"), typeId(QStringLiteral("PC")),
                                  genreId(QStringLiteral("Racing"))));
        frmGames window;
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));

        Click(&window, QStringLiteral("imgDelete")); // without a selection
        QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
        QCOMPARE(sink.last().text,
                 QStringLiteral("Please select a Game from the list before selecting Delete"));
        QVERIFY(driver.shown.isEmpty());

        SelectRow(list, QStringLiteral("Bolt"));
        driver.then([&](QDialog* d) {
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtGameName"))->isReadOnly());
            QVERIFY(!child<QComboBox>(d, QStringLiteral("cboGameType"))->isEnabled());
            ClickOK(d);
            QVERIFY(d->isVisible()); // the dialog stays open
            QCOMPARE(sink.last().title, QStringLiteral("Game Currently in Use"));
            QCOMPARE(sink.last().text,
                     QStringLiteral("That Game is currently in use with some Divisions.\nYou must "
                                    "first either delete the Divisions that use it, or change "
                                    "that Division's Game to delete!"));
            Click(d, QStringLiteral("imgButton2"));
        });
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(db.count(QStringLiteral("Games")), 1);
        QCOMPARE(Column(list, 0), QStringList{QStringLiteral("Bolt")});

        db.exec(QStringLiteral("Delete From Divisions"));
        SelectRow(list, QStringLiteral("Bolt"));
        driver.then(ClickOK);
        Click(&window, QStringLiteral("imgDelete"));
        QCOMPARE(db.count(QStringLiteral("Games")), 0);
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(driver.unexpected.isEmpty());
    }

    void savingWithoutGenresOrTypesAsksForThemFirst() {
        TestDatabase db;
        RecordingSink sink;
        db.exec(QStringLiteral("Delete From Genres"));
        frmMaintainGame dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        dialog.pressOK(); // the name comes first
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a Game Name before continuing."));
        child<QLineEdit>(&dialog, QStringLiteral("txtGameName"))->setText(QStringLiteral("Drift"));
        dialog.pressOK();
        QCOMPARE(sink.last().title, QStringLiteral("Missing Information"));
        QVERIFY(sink.last().text.contains(QStringLiteral("Please add a Genre under Genres & Types first.")));
        QVERIFY(!sink.last().standardBox);
        QCOMPARE(db.count(QStringLiteral("Games")), 0);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void genreAndTypeInUseRefusedUntilNoGameUsesThem() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const int game = InsertGame(QStringLiteral("Bolt"), typeId(QStringLiteral("Mobile")),
                                    genreId(QStringLiteral("Racing")));
        frmGenresTypes window;
        auto* genres = child<QListWidget>(&window, QStringLiteral("lstGenres"));
        auto* types = child<QListWidget>(&window, QStringLiteral("lstTypes"));
        QCOMPARE(ItemTexts(types), (QStringList{"Console", "Cross-platform", "Mobile", "PC"}));

        Click(&window, QStringLiteral("imgDeleteGenre")); // nothing selected: nothing happens
        QVERIFY(driver.shown.isEmpty());

        auto refuse = [&](const QString& caption, const QString& title) {
            driver.then([&sink, caption, title](QDialog* d) {
                QCOMPARE(d->windowTitle(), caption);
                QVERIFY(child<QLineEdit>(d, QStringLiteral("txtEntry"))->isReadOnly());
                ClickOK(d);
                QVERIFY(d->isVisible());
                QCOMPARE(sink.last().title, title);
                Click(d, QStringLiteral("imgButton2"));
            });
        };
        SelectItem(genres, QStringLiteral("Racing"));
        refuse(QStringLiteral("Delete Genre entry"), QStringLiteral("Genre Currently in Use"));
        Click(&window, QStringLiteral("imgDeleteGenre"));
        QVERIFY(
            sink.last().text.startsWith(QStringLiteral("That Genre is currently in use with some games.\n")));
        SelectItem(types, QStringLiteral("Mobile"));
        refuse(QStringLiteral("Delete Game Type entry"), QStringLiteral("Game Type Currently in Use"));
        Click(&window, QStringLiteral("imgDeleteType"));
        QVERIFY(sink.last().text.endsWith(QStringLiteral("or change that game's type to delete!")));
        QVERIFY(ItemTexts(genres).contains(QStringLiteral("Racing")));
        QVERIFY(ItemTexts(types).contains(QStringLiteral("Mobile")));

        db.exec(QStringLiteral("Delete From Games Where Game_ID = %1").arg(game));
        driver.then(ClickOK);
        driver.then(ClickOK);
        SelectItem(genres, QStringLiteral("Racing"));
        Click(&window, QStringLiteral("imgDeleteGenre"));
        SelectItem(types, QStringLiteral("Mobile"));
        Click(&window, QStringLiteral("imgDeleteType"));
        QVERIFY(!ItemTexts(genres).contains(QStringLiteral("Racing")));
        QCOMPARE(ItemTexts(types), (QStringList{"Console", "Cross-platform", "PC"}));
        QCOMPARE(db.count(QStringLiteral("GameTypes")), 3);
        QVERIFY(driver.unexpected.isEmpty());
    }

    void genreAndTypeDialogFieldsAndEdit() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        frmGenresTypes window;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Genre entry"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblEntry"))->text(), QStringLiteral("Name: "));
            auto* entry = child<QLineEdit>(d, QStringLiteral("txtEntry"));
            QCOMPARE(entry->maxLength(), 75);
            entry->setText(QStringLiteral("   "));
            ClickOK(d);
            QVERIFY(d->isVisible());
            entry->setText(QStringLiteral(" Rhythm 'n' Blues "));
            ClickOK(d);
        });
        Click(&window, QStringLiteral("imgAddGenre"));
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a Genre Name before continuing."));
        QVERIFY(ItemTexts(child<QListWidget>(&window, QStringLiteral("lstGenres")))
                    .contains(QStringLiteral("Rhythm 'n' Blues")));

        auto* types = child<QListWidget>(&window, QStringLiteral("lstTypes"));
        SelectItem(types, QStringLiteral("PC"));
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Game Type entry"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblEntry"))->text(), QStringLiteral("Description:"));
            auto* entry = child<QLineEdit>(d, QStringLiteral("txtEntry"));
            QCOMPARE(entry->maxLength(), 50);
            QCOMPARE(entry->text(), QStringLiteral("PC"));
            entry->setText(QStringLiteral("Desktop PC"));
            ClickOK(d);
        });
        types->itemDoubleClicked(types->currentItem());
        QVERIFY(ItemTexts(types).contains(QStringLiteral("Desktop PC")));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void listFollowsTheWindowSize() {
        TestDatabase db;
        frmGames window;
        window.show();
        const int band = TwipsToPixels(1245, &window);
        QCOMPARE(window.minimumSize(), QSize(TwipsToPixels(11145, &window), TwipsToPixels(3600, &window)));
        window.resize(window.minimumWidth() + 200, window.minimumHeight() + 150);
        QCoreApplication::processEvents();
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));
        QCOMPARE(list->height(), window.height() - band);
        auto* exit = child<QToolButton>(&window, QStringLiteral("imgExit"));
        const QRect exitRect(exit->mapTo(&window, QPoint(0, 0)), exit->size());
        QVERIFY(exitRect.top() >= list->geometry().bottom());
        QVERIFY(window.height() - exitRect.bottom() < band / 2);
        QVERIFY(exitRect.right() > window.width() - TwipsToPixels(1200, &window));
    }
};

QTEST_MAIN(GamesTest)
#include "games_test.moc"
