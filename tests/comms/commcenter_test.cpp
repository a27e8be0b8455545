#include "comms/HtmlExport.h"
#include "comms/widgets/CommCenter.h"
#include "support/RosterRows.h"
#include "support/TestKit.h"
#include "ui/EmailWindow.h"
#include "ui/FileDialogs.h"

using namespace rm;
using namespace rm::test;

namespace {

const QString kProblems = QStringLiteral("The following problems were found:\n\n");

// Fills the template dialog and presses OK.
void fillTemplate(QDialog* d, const QString& name, const QString& content) {
    child<QLineEdit>(d, "txtTemplateName")->setText(name);
    child<QPlainTextEdit>(d, "txtTemplateContent")->setPlainText(content);
    ClickOK(d);
}

} // namespace

class CommCenterTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<RecordingSink> sink;
    std::unique_ptr<frmCommCenter> window;
    qint32 anna = 0, bob = 0, red = 0;

    QListWidget* lst(const char* name) { return child<QListWidget>(window.get(), name); }
    void press(const char* name) { Click(window.get(), name); }
    bool shown(const char* frame) { return !child<QGroupBox>(window.get(), frame)->isHidden(); }

private Q_SLOTS:
    void init() {
        db = std::make_unique<TestDatabase>();
        sink = std::make_unique<RecordingSink>();
        const int gmt = db->zoneId("GMT");
        anna = InsertPlayerRow("Anna", true, gmt);
        bob = InsertPlayerRow("Bob", true, gmt);
        red = InsertDivision("Rød");
        InsertDivision("Blue");
        Db().execute("Insert Into Templates (Template_Name, Template_Content) Values('Zulu', 'z')");
        window = std::make_unique<frmCommCenter>();
    }

    void cleanup() {
        window.reset();
        SetEmailWindowOpener({});
        SetSaveFileRunner({});
        sink.reset();
        db.reset();
    }

    // Every problem is listed in one message; only the visible list counts.
    void problemsAreListedTogether() {
        press("imgUseTemplate");
        QCOMPARE(sink->last().text, kProblems + "You must first highlight at least one member!\n\n"
                                                "You must select a template to use!\n\n");
        QCOMPARE(sink->last().title, QStringLiteral("Selection Error"));
        press("imgClickDivision");
        SelectItem(lst("lstPlayers"), QStringLiteral("Anna")); // hidden list: does not count
        SelectItem(lst("lstDivisions"), QStringLiteral("Blue"));
        press("imgUseTemplate");
        QCOMPARE(sink->last().text, kProblems + "You must select a template to use!\n\n");

        press("imgClickPlayer");
        press("imgClickExport");
        QVERIFY(!shown("fmeEmails") && shown("fmeExport"));
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            box->setChecked(false);
        ModalDriver driver;
        lst("lstPlayers")->clearSelection();
        press("imgCreateHTML");
        QCOMPARE(sink->last().text, kProblems + "You must first highlight at least one member!\n\n"
                                                "Nothing was selected to export to HTML!\n\n");
        QVERIFY(driver.shown.isEmpty());
    }

    // Blank lines around the content and apostrophes survive saving, editing and Use.
    void templateRoundTrip() {
        const QString content = QStringLiteral("\n\nDon't forget: it's Friday's match.\n  Be there.\n\n");
        ModalDriver driver;
        driver.then([&](QDialog* d) {
            fillTemplate(d, "   ", "\n \n");
            QVERIFY(d->isVisible());
            QCOMPARE(sink->last().text,
                     QStringLiteral("The following problems were found:\n"
                                    "Must supply a template name.\n"
                                    "There must be at least some content for the template!\n"));
            fillTemplate(d, "  O'Brien's news  ", content);
        });
        press("imgNewTemplate");
        QCOMPARE(
            db->scalar("Select Template_Content From Templates Where Template_Name = 'O''Brien''s news'"),
            QVariant(content));
        QCOMPARE(ItemTexts(lst("lstTemplates")), (QStringList{"O'Brien's news", "Zulu"}));

        lst("lstTemplates")->item(0)->setSelected(true);
        driver.then([&](QDialog* d) {
            QCOMPARE(child<QLineEdit>(d, "txtTemplateName")->text(), QStringLiteral("O'Brien's news"));
            QCOMPARE(child<QPlainTextEdit>(d, "txtTemplateContent")->toPlainText(), content);
            fillTemplate(d, "Alpha's news", content);
        });
        press("imgEditTemplate");
        QCOMPARE(ItemTexts(lst("lstTemplates")), (QStringList{"Alpha's news", "Zulu"}));

        EmailRequest handed;
        QList<QPair<qint32, QString>> recipients;
        SetEmailWindowOpener([&](const EmailRequest& r, QWidget*) {
            handed = r;
            recipients = r.selection->selectedPlayers();
        });
        lst("lstTemplates")->item(0)->setSelected(true);
        SelectItem(lst("lstPlayers"), QStringLiteral("Anna"));
        press("imgUseTemplate");
        QCOMPARE(handed.sendMode, QStringLiteral("M"));
        QCOMPARE(handed.message, content);
        QCOMPARE(recipients, (QList<QPair<qint32, QString>>{{anna, QStringLiteral("Anna")}}));
    }

    void deleteAsksAndNoKeeps() {
        press("imgDeleteTemplate");
        press("imgEditTemplate");
        QCOMPARE(sink->count(), 2);
        QCOMPARE(sink->last().text, QStringLiteral("You must first highlight a template!"));
        lst("lstTemplates")->item(0)->setSelected(true);
        sink->answer(vbNo);
        press("imgDeleteTemplate");
        QCOMPARE(sink->last().buttons, int(vbYesNo));
        QCOMPARE(db->count("Templates"), 1);
        sink->answer(vbYes);
        press("imgDeleteTemplate");
        QCOMPARE(db->count("Templates") + lst("lstTemplates")->count(), 0);
    }

    // A template removed behind the list: Edit reports it and the dialog closes itself; Use shows
    // the error report and opens no e-mail window.
    void vanishedTemplate() {
        lst("lstTemplates")->item(0)->setSelected(true);
        Db().execute("Delete From Templates");
        ModalDriver driver;
        driver.then([&](QDialog* d) { QVERIFY(!d->isVisible()); });
        press("imgEditTemplate");
        QCOMPARE(sink->messages.first().text, QStringLiteral("Selected template could not be found!!"));

        // The refill emptied the list; put the stale entry back.
        auto* stale = new QListWidgetItem("Zulu", lst("lstTemplates"));
        stale->setData(Qt::UserRole, 1);
        stale->setSelected(true);
        SelectItem(lst("lstPlayers"), QStringLiteral("Anna"));
        bool opened = false;
        SetEmailWindowOpener([&](const EmailRequest&, QWidget*) { opened = true; });
        press("imgUseTemplate");
        QVERIFY(!opened);
        QVERIFY(sink->last().standardBox);
    }

    // The boxes ticked at opening give the default fields; the text shown is the one copied. A player
    // that cannot be read: the error report and no window.
    void createToScreenAndCopy() {
        lst("lstPlayers")->selectAll();
        const QString expected = CreateHTMLByPlayer(ExportFields{}, {anna, bob});
        ModalDriver driver;
        driver.then([&](QDialog* d) {
            auto* text = child<QTextEdit>(d, "txtHTML");
            QCOMPARE(text->toPlainText(),
                     QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            QGuiApplication::clipboard()->setText("old");
            Click(d, "imgCopy");
            QCOMPARE(QGuiApplication::clipboard()->text(), expected);
            Click(d, "imgClose");
            QVERIFY(!d->isVisible());
        });
        press("imgCreateHTML");
        QCOMPARE(sink->count(), 0);
        Db().execute(
            QStringLiteral("Update Players Set Player_TimeZone = 9999 Where Player_ID = %1").arg(bob));
        press("imgCreateHTML");
        QCOMPARE(driver.shown, QStringList{"frmHTML"});
        QVERIFY(sink->last().standardBox);
        QCOMPARE(sink->last().text, QStringLiteral("Rallymark encountered the following error:\n\n"
                                                   "Player information could not be retrieved!"));
    }

    void createByDivisionToFile() {
        InsertMember(bob, red);
        press("imgClickDivision");
        SelectItem(lst("lstDivisions"), QStringLiteral("Rød"));
        child<QRadioButton>(window.get(), "optFile")->setChecked(true);
        const QString exportFolder = db->folder() + QStringLiteral("/Export");
        QVERIFY(!QFileInfo::exists(exportFolder));
        QString answer = exportFolder + QStringLiteral("/roster"); // ".html" is added
        QMainWindow main;
        QString askedFolder;
        SetSaveFileRunner([&](QWidget*, const SaveFileRequest& r) {
            askedFolder = r.folder;
            return answer;
        });
        press("imgCreateHTML");
        QCOMPARE(QFileInfo(askedFolder).absoluteFilePath(), QFileInfo(exportFolder).absoluteFilePath());
        QFile file(answer + QStringLiteral(".html"));
        const auto bytes = [&file] { return file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable"; };
        // UTF-8 (the division's name is not ASCII) and a final line break.
        QCOMPARE(bytes(),
                 (RosterPage(ClanName(), Now().date(), CreateHTMLByDivision(ExportFields{}, {red})) + "\r\n")
                     .toUtf8());
        QCOMPARE(sink->count(), 0);
        QCOMPARE(main.statusBar()->currentMessage(), "HTML roster written to " + file.fileName());

        // No to the overwrite question leaves the file byte for byte as it was.
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep\r\nme") > 0);
        file.close();
        sink->answer(vbNo);
        press("imgCreateHTML");
        QCOMPARE(sink->last().text, QStringLiteral("This HTML File Already Exists... Overwrite?"));
        QCOMPARE(bytes(), QByteArray("keep\r\nme"));

        // Leaving the dialog without a name writes nothing.
        answer.clear();
        sink->clear();
        press("imgCreateHTML");
        QCOMPARE(sink->count(), 0);
    }
};

QTEST_MAIN(CommCenterTest)
#include "commcenter_test.moc"
