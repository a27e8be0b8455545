#include "roster/widgets/GameWindows.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using namespace rm::test;

namespace {

// The key of the row of Genres, GameTypes or ConnectionTypes whose name is exactly `name`, or 0.
int keyOf(const QString& table, const QString& name) {
    for (RowSet rows = Db().execute("Select * From " + table); !rows.eof(); rows.moveNext())
        if (rows.valueAt(1).toString() == name)
            return rows.valueAt(0).toInt();
    return 0;
}

void row(const char* name, std::initializer_list<const char*> cells) {
    QTestData& data = QTest::newRow(name);
    for (const char* cell : cells)
        data << QString::fromLatin1(cell);
}

// The window that holds the named list, with the custom entries of the first field, "Weapon".
std::unique_ptr<QWidget> windowWith(const QString& list) {
    CurrentOptions().CustomDropEnabled = {true, false, false, false};
    CurrentOptions().CustomDropTitle[0] = "Weapon";
    const QHash<QString, QString> windows{{"lsvGames", "frmGames"},
                                          {"lsvTitles", "frmTitles"},
                                          {"lstConnections", "frmConnections"},
                                          {"lstCustom", "frmCustomDrops"}};
    return std::unique_ptr<QWidget>(CreateTaskWindow(windows.value(list, "frmGenresTypes")));
}

void enter(QDialog* d, const QString& field, const QString& text) {
    child<QLineEdit>(d, field)->setText(text);
    ClickOK(d);
}

} // namespace

class CataloguesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { RegisterAllWindows(); }

    // Each list window carries its names, title and captions (keys hidden), and Edit without a selected
    // row names what to select.
    void namesCaptionsAndWarning_data() {
        QTest::addColumn<QString>("expected"); // window name / title / captions / what to select
        for (const char* row :
             {"frmDivisions/Division List/Name|Game|Active|Members|Notes|-ID/Division",
              "frmGames/Games List/Name|Type|Genre|Notes|-ID/Game",
              "frmTitles/Divisional Titles/Division|Title|-TitleID|-DivisionID/Divisional Title",
              "frmTimeZones/Time Zones/Name|Description|Offset|DST|Real Zone|-ID/Time Zone"})
            QTest::newRow(row) << QString::fromLatin1(row);
    }
    void namesCaptionsAndWarning() {
        QFETCH(QString, expected);
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const QString name = expected.section('/', 0, 0);
        const std::unique_ptr<QWidget> window(CreateTaskWindow(name));
        QVERIFY(window);
        auto* list = child<QTreeWidget>(window.get(), "lsv" + name.mid(3));
        QStringList captions;
        for (int c = 0; c < list->columnCount(); ++c)
            captions << (list->isColumnHidden(c) ? "-" : "") + list->headerItem()->text(c);
        Click(window.get(), "imgEdit");
        QVERIFY(driver.shown.isEmpty());
        QCOMPARE(sink.last().title, "No Selection Made");
        QCOMPARE(sink.last().text,
                 "Please select a " + expected.section('/', 3) + " from the list before selecting Edit");
        QCOMPARE(QStringList({window->objectName(), window->windowTitle(), captions.join('|')}).join('/'),
                 expected.section('/', 0, 2));
    }

    // Games whose genre or type row is missing are not listed. Blank notes are stored as one blank, a name
    // with its apostrophe once; a game without a name or a genre is refused.
    void gamesStoredAndListed() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const int pc = keyOf("GameTypes", "PC");
        const int fps = keyOf("Genres", "First-Person Shooter");
        InsertGame("Zulu", pc, fps);
        InsertGame("Orphan Genre", pc, 9999);
        InsertGame("No Type", 0, fps);
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
        QCOMPARE(
            db.scalar("Select Game_Notes || '|' || Game_Genre From Games Where Game_Name = 'Rook''s Gambit'")
                .toString(),
            " |" + QString::number(keyOf("Genres", "Sports")));

        auto* list = child<QTreeWidget>(&window, "lsvGames");
        QCOMPARE(Column(list, 0), (QStringList{"Rook's Gambit", "Zulu"}));
        QVERIFY(RowTexts(list).first().startsWith("Rook's Gambit|Console|Sports||"));

        // Reopened, the notes are empty and the stored genre is chosen.
        SelectRow(list, "Rook's Gambit");
        driver.then([](QDialog* d) {
            QCOMPARE(child<QPlainTextEdit>(d, "txtNotes")->toPlainText(), QString());
            QCOMPARE(child<QComboBox>(d, "cboGameGenre")->currentText(), "Sports");
            child<QPlainTextEdit>(d, "txtNotes")->setPlainText(" chess it's not ");
            ClickOK(d);
        });
        list->itemDoubleClicked(list->currentItem(), 0);
        QCOMPARE(db.scalar("Select Game_Notes From Games Where Game_Name = 'Rook''s Gambit'").toString(),
                 "chess it's not");
        QCOMPARE(list->topLevelItem(0)->text(3), "Yes");

        // Saving asks for the name first, then for genres when there are none.
        db.exec("Delete From Genres");
        driver.then([&](QDialog* d) {
            ClickOK(d);
            QCOMPARE(sink.last().text, "Please provide a Game Name before continuing.");
            child<QLineEdit>(d, "txtGameName")->setText("Drift");
            ClickOK(d);
            QCOMPARE(sink.last().title, "Missing Information");
            QVERIFY(sink.last().text.contains("Please add a Genre under Genres & Types first."));
            Click(d, "imgButton2");
        });
        Click(&window, "imgAdd");
        QCOMPARE(db.count("Games"), 4);
        QVERIFY(driver.unexpected.isEmpty());
    }

    // Deleting an entry still in use is refused with the dialog left open; once freed, it goes.
    void inUseRefusedUntilFreed_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("freeing");
        row("game", {"lsvGames", "Bolt", "imgDelete",
                     "That Game is currently in use with some Divisions.\nYou must first either delete the "
                     "Divisions that use it, or change that Division's Game to delete!",
                     "Delete From Divisions"});
        row("genre", {"lstGenres", "Racing", "imgDeleteGenre",
                      "That Genre is currently in use with some games.\n", "Delete From Games"});
        row("type", {"lstTypes", "Mobile", "imgDeleteType", "or change that game's type to delete!",
                     "Delete From Games"});
        row("title", {"lsvTitles", "Captain", "imgDelete",
                      "That Divisional Title is currently in use with some Players.\n",
                      "Update Members Set Member_Title = 0"});
        row("connection", {"lstConnections", "Cable", "imgDelete",
                           "That Connection Type is currently in use with some Players.\nYou must first "
                           "either delete the Players that use it, or change that Player's Connection Type "
                           "to delete!",
                           "Update Players Set Player_Connection = 0"});
        row("custom entry",
            {"lstCustom", "Rifle", "imgDelete", "That Weapon is currently in use with some Players.\n",
             "Update Players Set Player_CustomDrop1 = 0"});
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
        const qint32 crew = InsertDivision(
            "Pit Crew", InsertGame("Bolt", keyOf("GameTypes", "Mobile"), keyOf("Genres", "Racing")));
        InsertMember(InsertPlayerRow("Ann"), crew, InsertTitle(crew, "Captain"));
        db.exec("Insert Into CustomFields (Custom_FieldNumber, Custom_FieldText) VALUES(1, 'Rifle')");
        db.exec(QStringLiteral("Update Players Set Player_Connection = %1, Player_CustomDrop1 = %2")
                    .arg(keyOf("ConnectionTypes", "Cable"))
                    .arg(db.scalar("Select Custom_ID From CustomFields").toInt()));
        const std::unique_ptr<QWidget> window = windowWith(list);
        Click(window.get(), button); // nothing selected: no dialog
        QVERIFY(driver.shown.isEmpty());
        auto* view = child<QAbstractItemView>(window.get(), list);
        const auto found = [&] {
            return view->model()->match(view->model()->index(0, list == "lsvTitles"), Qt::DisplayRole, entry,
                                        1, Qt::MatchExactly);
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
            QVERIFY(sink.last().title.endsWith(" Currently in Use"));
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

    // A blank entry is refused with the dialog kept; an entry is stored trimmed with its apostrophe once,
    // as a row of its own even with another one selected, and a double-click edits it. A store error
    // keeps the dialog with its entry.
    void entriesAddedAndRenamed_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("add");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("blank");
        row("genre",
            {"lstGenres", "imgAddGenre", "Genres", "Please provide a Genre Name before continuing."});
        row("type",
            {"lstTypes", "imgAddType", "GameTypes", "Please provide a Genre Name before continuing."});
        row("connection", {"lstConnections", "imgAdd", "ConnectionTypes",
                           "Please provide a Connection Description before continuing."});
    }
    void entriesAddedAndRenamed() {
        QFETCH(QString, list);
        QFETCH(QString, add);
        QFETCH(QString, table);
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const std::unique_ptr<QWidget> window = windowWith(list);
        const QString field = table == "ConnectionTypes" ? "txtConnection" : "txtEntry";
        auto* view = child<QListWidget>(window.get(), list);
        const QStringList before = ItemTexts(view);
        SelectItem(view, before.first());
        driver.then([&](QDialog* d) {
            enter(d, field, "   ");
            QVERIFY(d->isVisible());
            QTEST(sink.last().text, "blank");
            enter(d, field, " Grandma's T1 ");
        });
        Click(window.get(), add);
        QVERIFY(keyOf(table, "Grandma's T1") > 0);
        SelectItem(view, "Grandma's T1");
        driver.then([&](QDialog* d) {
            QCOMPARE(child<QLineEdit>(d, field)->text(), "Grandma's T1");
            enter(d, field, "Grandpa's T3");
        });
        emit view->doubleClicked(view->currentIndex());
        QStringList after = ItemTexts(view);
        QVERIFY(after.removeOne("Grandpa's T3"));
        QCOMPARE(after, before);
        sink.clear();
        driver.then([&](QDialog* d) {
            db.exec("Alter Table " + table + " Rename To Gone");
            enter(d, field, "Fibre 2");
            QVERIFY(d->isVisible());
            QCOMPARE(child<QLineEdit>(d, field)->text(), "Fibre 2");
        });
        Click(window.get(), add);
        QVERIFY(sink.messages.first().text.startsWith("Rallymark encountered the following error:\n\n"));
        QVERIFY(driver.unexpected.isEmpty());
    }
};

QTEST_MAIN(CataloguesTest)
#include "catalogues_test.moc"
