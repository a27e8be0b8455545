#include "roster/widgets/PlayerListWindow.h"
#include "roster/widgets/RosterCsvWindows.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "ui/FileDialogs.h"

using namespace rm;
using namespace rm::test;

class ImportDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importThenExportFromThePlayersWindow() {
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        InsertDivision("Alpha", InsertGame("Quake"));
        const QString source = QDir(db.folder()).filePath("clan.csv");
        const QString target = QDir(db.folder()).filePath("out.csv");
        QVERIFY(
            WriteFile(source, "\xEF\xBB\xBFNick;Zone;Divisions;Shoe\r\nAnn;GMT;Alpha;42\r\nBob;Mars;;\r\n"));
        SetOpenFileRunner([&](QWidget*, const SaveFileRequest&) { return source; });
        SetSaveFileRunner([&](QWidget*, const SaveFileRequest&) { return target; });

        frmPlayers window;
        driver.then([&](QDialog* d) {
            Click(d, "imgBrowse");
            const QStringList rows = RowTexts(child<QTreeWidget>(d, "lsvPreview"));
            QCOMPARE(rows.size(), 2);
            QVERIFY(rows.at(0).startsWith("2|Ann|New"));
            QVERIFY(rows.at(1).contains("the time zone \"Mars\""));
            QCOMPARE(db.count("Players"), 0);
            sink.answer(vbYes);
            ClickOK(d);
        });
        Click(&window, "imgImport");
        QVERIFY(sink.contains("1 rows with problems will be left out"));
        QVERIFY(sink.contains("1 player added, 0 updated, 1 row left out."));
        auto* list = child<QTreeWidget>(&window, "lsvPlayers");
        QCOMPARE(Column(list, 0), QStringList{"Ann"});

        SelectRow(list, 0);
        driver.then(ClickOK);
        Click(&window, "imgExport");
        const QByteArray csv = FileBytes(target);
        QVERIFY(csv.startsWith("\xEF\xBB\xBFOnline Name,Real Name,"));
        QVERIFY(csv.contains("\r\nAnn,,,,,,,,,,GMT,,Yes,"));
        SetOpenFileRunner({});
        SetSaveFileRunner({});
    }

    // Into a database without games: the file's name is typed, and the divisions named in it are
    // created once the game they play is named; that game is created with them.
    void typedFileAndGameOfNewDivisions() {
        TestDatabase db;
        RecordingSink sink;
        const QString source = QDir(db.folder()).filePath("clan.csv");
        QVERIFY(WriteFile(source, "Nick,Zone,Divisions\r\nAnn,GMT,Bravo\r\n"));
        frmImportPlayers dialog;
        dialog.show();
        auto* field = child<QLineEdit>(&dialog, "txtFile");
        field->setFocus();
        field->setText(source);
        QTest::keyClick(field, Qt::Key_Return); // reads the file, does not import
        QVERIFY(dialog.isVisible());
        child<QCheckBox>(&dialog, "chkCreateMissing")->setChecked(true);
        auto* game = child<QComboBox>(&dialog, "cboDivisionGame");
        QVERIFY(game->isVisible() && game->count() == 0);
        QVERIFY(RowTexts(child<QTreeWidget>(&dialog, "lsvPreview"))
                    .first()
                    .contains("cannot be created before a game exists"));
        game->setEditText("Chess");
        QVERIFY(child<QLabel>(&dialog, "lblCreate")
                    ->text()
                    .contains("the game Chess; divisions: Bravo (playing Chess)"));
        sink.answer(vbYes);
        ClickOK(&dialog);
        QCOMPARE(db.scalar(QStringLiteral("Select Game_Name From Games, Divisions Where Division_Game = "
                                          "Game_ID And Division_Name = 'Bravo'"))
                     .toString(),
                 "Chess");
        QCOMPARE(db.count("Members"), 1);
    }
};

QTEST_MAIN(ImportDialogTest)
#include "import_dialog_test.moc"
