#include "data/DbConnection.h"
#include "roster/widgets/GameWindows.h"
#include "roster/widgets/GenreWindows.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/WindowRegistry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace rm;
using test::child;

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

int addGame(const test::TestDatabase& db, const QString& name, int type, int genre) {
    db.exec(QStringLiteral(
                "Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) VALUES('%1', %2, %3, ' ')")
                .arg(name)
                .arg(type)
                .arg(genre));
    return Db().scalar(QStringLiteral("Select MAX(Game_ID) From Games")).toInt();
}

QStringList column(QTreeWidget* list, int col) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(col);
    return texts;
}

QStringList entries(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void selectRow(QTreeWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly, 0);
    QVERIFY(!found.isEmpty());
    list->setCurrentItem(found.first());
}

void selectEntry(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    list->setCurrentItem(found.first());
}

void clickOK(QDialog* d) {
    child<QToolButton>(d, QStringLiteral("imgButton1"))->click();
}

} // namespace

class GamesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blankNotesStoredAsOneBlankAndApostropheOnce() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        frmGames window;
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Game Entry"));
            child<QLineEdit>(d, QStringLiteral("txtGameName"))->setText(QStringLiteral("  Rook's Gambit  "));
            auto* genre = child<QComboBox>(d, QStringLiteral("cboGameGenre"));
            genre->setCurrentIndex(genre->findText(QStringLiteral("Sports")));
            child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))->setPlainText(QStringLiteral("   \n  "));
            clickOK(d);
            QVERIFY(!d->isVisible());
        });
        child<QToolButton>(&window, QStringLiteral("imgAdd"))->click();
        QCOMPARE(sink.count(), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Notes From Games")).toString(), QStringLiteral(" "));
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Name From Games")).toString(),
                 QStringLiteral("Rook's Gambit"));
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Genre From Games")).toInt(),
                 genreId(QStringLiteral("Sports")));

        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Rook's Gambit"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("Sports"));
        QCOMPARE(list->topLevelItem(0)->text(3), QString());
        QVERIFY(list->selectedItems().isEmpty());

        // Reopened, the notes are empty and the stored genre is chosen.
        selectRow(list, QStringLiteral("Rook's Gambit"));
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Game Entry"));
            QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))->toPlainText(), QString());
            QCOMPARE(child<QComboBox>(d, QStringLiteral("cboGameGenre"))->currentText(),
                     QStringLiteral("Sports"));
            child<QPlainTextEdit>(d, QStringLiteral("txtNotes"))
                ->setPlainText(QStringLiteral(" chess it's not "));
            clickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Notes From Games")).toString(),
                 QStringLiteral("chess it's not"));
        QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("Yes"));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void gamesWithMissingGenreOrTypeAreNotListed() {
        test::TestDatabase db;
        test::RecordingSink sink;
        const int pc = typeId(QStringLiteral("PC"));
        const int fps = genreId(QStringLiteral("First-Person Shooter"));
        addGame(db, QStringLiteral("Zulu"), pc, fps);
        addGame(db, QStringLiteral("Alpha"), pc, fps);
        addGame(db, QStringLiteral("Orphan Genre"), pc, 9999);
        addGame(db, QStringLiteral("No Type"), 0, fps);
        frmGames window;
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));
        QCOMPARE(column(list, 0), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Zulu")}));
        QCOMPARE(column(list, 1), (QStringList{QStringLiteral("PC"), QStringLiteral("PC")}));
        QVERIFY(list->isColumnHidden(4));
    }

    void gameInUseIsRefusedUntilTheDivisionIsGone() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        const int game = addGame(db, QStringLiteral("Bolt"), typeId(QStringLiteral("PC")),
                                 genreId(QStringLiteral("Racing")));
        db.exec(QStringLiteral(
                    "Insert Into Divisions (Division_Name, Division_Game, Division_Active, Division_Notes) "
                    "VALUES('Pit Crew', %1, 1, ' ')")
                    .arg(game));
        frmGames window;
        auto* list = child<QTreeWidget>(&window, QStringLiteral("lsvGames"));

        // Without a selection.
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
        QCOMPARE(sink.last().text,
                 QStringLiteral("Please select a Game from the list before selecting Delete"));
        QCOMPARE(sink.last().icon, int(vbExclamation));
        QVERIFY(driver.shown.isEmpty());

        selectRow(list, QStringLiteral("Bolt"));
        driver.then([&](QDialog* d) {
            QVERIFY(child<QLineEdit>(d, QStringLiteral("txtGameName"))->isReadOnly());
            QVERIFY(!child<QComboBox>(d, QStringLiteral("cboGameType"))->isEnabled());
            clickOK(d);
            QVERIFY(d->isVisible()); // the dialog stays open
            QCOMPARE(sink.last().title, QStringLiteral("Game Currently in Use"));
            QCOMPARE(sink.last().text,
                     QStringLiteral("That Game is currently in use with some Divisions.\nYou must "
                                    "first either delete the Divisions that use it, or change "
                                    "that Division's Game to delete!"));
            child<QToolButton>(d, QStringLiteral("imgButton2"))->click();
        });
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(db.count(QStringLiteral("Games")), 1);
        QCOMPARE(column(list, 0), QStringList{QStringLiteral("Bolt")});

        db.exec(QStringLiteral("Delete From Divisions"));
        selectRow(list, QStringLiteral("Bolt"));
        driver.then([](QDialog* d) {
            clickOK(d);
            QVERIFY(!d->isVisible());
        });
        child<QToolButton>(&window, QStringLiteral("imgDelete"))->click();
        QCOMPARE(db.count(QStringLiteral("Games")), 0);
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(driver.unexpected.isEmpty());
    }

    void savingWithoutGenresOrTypesAsksForThemFirst() {
        test::TestDatabase db;
        test::RecordingSink sink;
        db.exec(QStringLiteral("Delete From Genres"));
        frmMaintainGame dialog;
        dialog.EditMode = QStringLiteral("Add");
        dialog.prepare();
        QCOMPARE(child<QComboBox>(&dialog, QStringLiteral("cboGameGenre"))->count(), 0);
        QCOMPARE(child<QComboBox>(&dialog, QStringLiteral("cboGameType"))->currentText(),
                 QStringLiteral("Console"));

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
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        const int game = addGame(db, QStringLiteral("Bolt"), typeId(QStringLiteral("Mobile")),
                                 genreId(QStringLiteral("Racing")));
        frmGenresTypes window;
        auto* genres = child<QListWidget>(&window, QStringLiteral("lstGenres"));
        auto* types = child<QListWidget>(&window, QStringLiteral("lstTypes"));
        QCOMPARE(entries(types), (QStringList{QStringLiteral("Console"), QStringLiteral("Cross-platform"),
                                              QStringLiteral("Mobile"), QStringLiteral("PC")}));

        // Delete with nothing selected does nothing.
        child<QToolButton>(&window, QStringLiteral("imgDeleteGenre"))->click();
        QVERIFY(driver.shown.isEmpty());

        auto refuse = [&](const QString& caption, const QString& title) {
            driver.then([&sink, caption, title](QDialog* d) {
                QCOMPARE(d->windowTitle(), caption);
                QVERIFY(child<QLineEdit>(d, QStringLiteral("txtEntry"))->isReadOnly());
                clickOK(d);
                QVERIFY(d->isVisible());
                QCOMPARE(sink.last().title, title);
                child<QToolButton>(d, QStringLiteral("imgButton2"))->click();
            });
        };
        selectEntry(genres, QStringLiteral("Racing"));
        refuse(QStringLiteral("Delete Genre entry"), QStringLiteral("Genre Currently in Use"));
        child<QToolButton>(&window, QStringLiteral("imgDeleteGenre"))->click();
        QVERIFY(
            sink.last().text.startsWith(QStringLiteral("That Genre is currently in use with some games.\n")));
        selectEntry(types, QStringLiteral("Mobile"));
        refuse(QStringLiteral("Delete Game Type entry"), QStringLiteral("Game Type Currently in Use"));
        child<QToolButton>(&window, QStringLiteral("imgDeleteType"))->click();
        QVERIFY(sink.last().text.endsWith(QStringLiteral("or change that game's type to delete!")));
        QVERIFY(entries(genres).contains(QStringLiteral("Racing")));
        QVERIFY(entries(types).contains(QStringLiteral("Mobile")));

        db.exec(QStringLiteral("Delete From Games Where Game_ID = %1").arg(game));
        driver.then(clickOK);
        driver.then(clickOK);
        selectEntry(genres, QStringLiteral("Racing"));
        child<QToolButton>(&window, QStringLiteral("imgDeleteGenre"))->click();
        selectEntry(types, QStringLiteral("Mobile"));
        child<QToolButton>(&window, QStringLiteral("imgDeleteType"))->click();
        QVERIFY(!entries(genres).contains(QStringLiteral("Racing")));
        QVERIFY(!entries(types).contains(QStringLiteral("Mobile")));
        QCOMPARE(db.count(QStringLiteral("GameTypes")), 3);
        QVERIFY(driver.unexpected.isEmpty());
    }

    void genreAndTypeDialogFieldsAndEdit() {
        test::TestDatabase db;
        test::RecordingSink sink;
        test::ModalDriver driver;
        frmGenresTypes window;
        auto* genres = child<QListWidget>(&window, QStringLiteral("lstGenres"));
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Add Genre entry"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblEntry"))->text(), QStringLiteral("Name: "));
            auto* entry = child<QLineEdit>(d, QStringLiteral("txtEntry"));
            QCOMPARE(entry->maxLength(), 75);
            entry->setText(QStringLiteral("   "));
            clickOK(d);
            QVERIFY(d->isVisible());
            entry->setText(QStringLiteral(" Rhythm 'n' Blues "));
            clickOK(d);
        });
        child<QToolButton>(&window, QStringLiteral("imgAddGenre"))->click();
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.last().text, QStringLiteral("Please provide a Genre Name before continuing."));
        QVERIFY(entries(genres).contains(QStringLiteral("Rhythm 'n' Blues")));

        auto* types = child<QListWidget>(&window, QStringLiteral("lstTypes"));
        selectEntry(types, QStringLiteral("PC"));
        driver.then([](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit Game Type entry"));
            QCOMPARE(child<QLabel>(d, QStringLiteral("lblEntry"))->text(), QStringLiteral("Description:"));
            auto* entry = child<QLineEdit>(d, QStringLiteral("txtEntry"));
            QCOMPARE(entry->maxLength(), 50);
            QCOMPARE(entry->text(), QStringLiteral("PC"));
            entry->setText(QStringLiteral("Desktop PC"));
            clickOK(d);
        });
        types->itemDoubleClicked(types->currentItem());
        QVERIFY(entries(types).contains(QStringLiteral("Desktop PC")));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void windowsAreRegisteredByName() {
        test::TestDatabase db;
        RegisterAllWindows();
        for (const QString& name : {QStringLiteral("frmGames"), QStringLiteral("frmGenresTypes"),
                                    QStringLiteral("frmDivisions"), QStringLiteral("frmTitles")}) {
            QWidget* window = CreateTaskWindow(name);
            QVERIFY2(window, qPrintable(name));
            QCOMPARE(window->objectName(), name);
            delete window;
        }
    }

    void listFollowsTheWindowSize() {
        test::TestDatabase db;
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
        QVERIFY(exitRect.bottom() < window.height());
        QVERIFY(window.height() - exitRect.bottom() < band / 2);
        QVERIFY(exitRect.right() > window.width() - TwipsToPixels(1200, &window));
    }
};

QTEST_MAIN(GamesTest)
#include "games_test.moc"
