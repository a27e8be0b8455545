#include "comms/HtmlExport.h"
#include "comms/widgets/CommCenter.h"
#include "comms/widgets/CommCenterWindows.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/TestDatabase.h"
#include "ui/EmailWindow.h"
#include "ui/FileDialogs.h"
#include "ui/WindowRegistry.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace rm;
using test::child;

namespace {

const QString kProblems = QStringLiteral("The following problems were found:\n\n");

qint32 insertPlayer(test::TestDatabase& db, const QString& name, bool active) {
    Db().execute(
        QStringLiteral("Insert Into Players (Player_TimeZone, Player_OnlineName, Player_Active, "
                       "Player_RealName, Player_EmailPrimary, Player_EmailSecondary, Player_ICQ, "
                       "Player_Connection, Player_Notes, Player_CustomDrop1, Player_CustomDrop2, "
                       "Player_CustomDrop3, Player_CustomDrop4) Values(%1, '%2', %3, '', '', '', 0, 1, "
                       "'', 0, 0, 0, 0)")
            .arg(db.zoneId(QStringLiteral("GMT")))
            .arg(name)
            .arg(active ? 1 : 0));
    return Db().scalar(QStringLiteral("Select MAX(Player_ID) From Players")).toInt();
}

qint32 insertDivision(const QString& name, bool active) {
    Db().execute(QStringLiteral("Insert Into Divisions (Division_Name, Division_Game, Division_Active, "
                                "Division_Notes) Values('%1', 1, %2, ' ')")
                     .arg(name)
                     .arg(active ? 1 : 0));
    return Db().scalar(QStringLiteral("Select MAX(Division_ID) From Divisions")).toInt();
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void selectText(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    found.first()->setSelected(true);
}

void click(QWidget* window, const QString& name) {
    child<QToolButton>(window, name)->click();
}

} // namespace

class CommCenterTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TestDatabase> db;
    std::unique_ptr<test::RecordingSink> sink;
    std::unique_ptr<frmCommCenter> window;
    qint32 anna = 0, bob = 0;
    qint32 red = 0;

    QListWidget* list(const QString& name) { return child<QListWidget>(window.get(), name); }

    void addTemplate(const QString& name, const QString& content) {
        Db().execute(
            QStringLiteral("Insert Into Templates (Template_Name, Template_Content) Values('%1', '%2')")
                .arg(name, content));
    }

private Q_SLOTS:
    void init() {
        db = std::make_unique<test::TestDatabase>();
        sink = std::make_unique<test::RecordingSink>();
        anna = insertPlayer(*db, QStringLiteral("Anna"), true);
        insertPlayer(*db, QStringLiteral("Gone"), false);
        bob = insertPlayer(*db, QStringLiteral("Bob"), true);
        red = insertDivision(QStringLiteral("Red"), true);
        insertDivision(QStringLiteral("Old"), false);
        insertDivision(QStringLiteral("Blue"), true);
        addTemplate(QStringLiteral("Zulu"), QStringLiteral("z"));
        window = std::make_unique<frmCommCenter>();
    }

    void cleanup() {
        window.reset();
        SetEmailWindowOpener({});
        SetSaveFileRunner({});
        sink.reset();
        db.reset();
    }

    void openingState() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Rallymark Communications Center"));
        QCOMPARE(texts(list(QStringLiteral("lstPlayers"))), (QStringList{"Anna", "Bob"}));
        QCOMPARE(list(QStringLiteral("lstPlayers"))->item(0)->data(Qt::UserRole).toInt(), anna);
        QCOMPARE(texts(list(QStringLiteral("lstDivisions"))), (QStringList{"Blue", "Red"}));
        QCOMPARE(texts(list(QStringLiteral("lstTemplates"))), (QStringList{"Zulu"}));
        QVERIFY(window->playersListVisible());
        QVERIFY(list(QStringLiteral("lstDivisions"))->isHidden());
        QVERIFY(!child<QGroupBox>(window.get(), QStringLiteral("fmeEmails"))->isHidden());
        QVERIFY(child<QGroupBox>(window.get(), QStringLiteral("fmeExport"))->isHidden());

        const QStringList ticked{"chkPlayerName", "chkRealName", "chkDivision", "chkEMail", "chkIM",
                                 "chkTimeZone",   "chkSchedule", "chkStatus",   "chkCustom"};
        for (const QString& name : ticked)
            QVERIFY2(child<QCheckBox>(window.get(), name)->isChecked(), qPrintable(name));
        QVERIFY(!child<QCheckBox>(window.get(), QStringLiteral("chkNotes"))->isChecked());
        QVERIFY(child<QRadioButton>(window.get(), QStringLiteral("optScreen"))->isChecked());

        click(window.get(), QStringLiteral("imgClickExport"));
        QVERIFY(child<QGroupBox>(window.get(), QStringLiteral("fmeEmails"))->isHidden());
        QVERIFY(!child<QGroupBox>(window.get(), QStringLiteral("fmeExport"))->isHidden());

        RegisterCommCenterWindows();
        QVERIFY(HasTaskWindow(QStringLiteral("frmCommCenter")));
    }

    void switchingListsKeepsSelections() {
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Bob"));
        click(window.get(), QStringLiteral("imgClickDivision"));
        QVERIFY(!window->playersListVisible());
        QVERIFY(list(QStringLiteral("lstPlayers"))->isHidden());
        selectText(list(QStringLiteral("lstDivisions")), QStringLiteral("Red"));
        click(window.get(), QStringLiteral("imgClickPlayer"));
        QVERIFY(window->playersListVisible());
        QCOMPARE(window->selectedPlayers(), (QList<QPair<qint32, QString>>{{bob, QStringLiteral("Bob")}}));
        QCOMPARE(window->selectedDivisions(), QList<qint32>{red});
    }

    void useReportsBothProblems() {
        click(window.get(), QStringLiteral("imgUseTemplate"));
        QCOMPARE(sink->count(), 1);
        QCOMPARE(sink->last().text,
                 kProblems + QStringLiteral("You must first highlight at least one member!\n\n"
                                            "You must select a template to use!\n\n"));
        QCOMPARE(sink->last().title, QStringLiteral("Selection Error"));
        QCOMPARE(sink->last().icon, int(vbExclamation));
        QCOMPARE(sink->last().align, int(AlignCenterText));

        click(window.get(), QStringLiteral("imgClickDivision"));
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Anna")); // hidden list: does not count
        click(window.get(), QStringLiteral("imgUseTemplate"));
        QCOMPARE(sink->last().text,
                 kProblems + QStringLiteral("You must first highlight at least one division!\n\n"
                                            "You must select a template to use!\n\n"));
        selectText(list(QStringLiteral("lstDivisions")), QStringLiteral("Blue"));
        click(window.get(), QStringLiteral("imgUseTemplate"));
        QCOMPARE(sink->last().text, kProblems + QStringLiteral("You must select a template to use!\n\n"));
    }

    // Blank lines around the content and apostrophes survive saving, editing and Use.
    void templateRoundTrip() {
        const QString content = QStringLiteral("\n\nDon't forget: it's Friday's match.\n  Be there.\n\n");
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmTemplate"));
            QCOMPARE(d->windowTitle(), QStringLiteral("Adding a new E-Mail Template"));
            child<QLineEdit>(d, QStringLiteral("txtTemplateName"))
                ->setText(QStringLiteral("  O'Brien's news  "));
            child<QPlainTextEdit>(d, QStringLiteral("txtTemplateContent"))->setPlainText(content);
            click(d, QStringLiteral("imgButton1"));
        });
        click(window.get(), QStringLiteral("imgNewTemplate"));
        QCOMPARE(sink->count(), 0);
        QCOMPARE(db->scalar(QStringLiteral("Select Template_Content From Templates Where Template_Name = "
                                           "'O''Brien''s news'"))
                     .toString(),
                 content);
        QCOMPARE(texts(list(QStringLiteral("lstTemplates"))), (QStringList{"O'Brien's news", "Zulu"}));

        list(QStringLiteral("lstTemplates"))->item(0)->setSelected(true);
        driver.then([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Edit E-Mail Template"));
            QCOMPARE(child<QLineEdit>(d, QStringLiteral("txtTemplateName"))->text(),
                     QStringLiteral("O'Brien's news"));
            QCOMPARE(child<QPlainTextEdit>(d, QStringLiteral("txtTemplateContent"))->toPlainText(), content);
            child<QLineEdit>(d, QStringLiteral("txtTemplateName"))->setText(QStringLiteral("Alpha's news"));
            click(d, QStringLiteral("imgButton1"));
        });
        click(window.get(), QStringLiteral("imgEditTemplate"));
        QCOMPARE(texts(list(QStringLiteral("lstTemplates"))), (QStringList{"Alpha's news", "Zulu"}));
        QCOMPARE(db->count(QStringLiteral("Templates")), 2);

        EmailRequest handed;
        const RecipientSelection* selection = nullptr;
        QList<QPair<qint32, QString>> recipients;
        SetEmailWindowOpener([&](const EmailRequest& r, QWidget*) {
            handed = r;
            selection = r.selection;
            recipients = r.selection->selectedPlayers();
        });
        list(QStringLiteral("lstTemplates"))->item(0)->setSelected(true);
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Anna"));
        click(window.get(), QStringLiteral("imgUseTemplate"));
        QCOMPARE(handed.sendMode, QStringLiteral("M"));
        QCOMPARE(handed.message, content);
        QVERIFY(handed.subject.isEmpty());
        QCOMPARE(selection, static_cast<const RecipientSelection*>(window.get()));
        QCOMPARE(recipients, (QList<QPair<qint32, QString>>{{anna, QStringLiteral("Anna")}}));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void templateValidation() {
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            child<QLineEdit>(d, QStringLiteral("txtTemplateName"))->setText(QStringLiteral("   "));
            child<QPlainTextEdit>(d, QStringLiteral("txtTemplateContent"))
                ->setPlainText(QStringLiteral("\n \n"));
            click(d, QStringLiteral("imgButton1"));
            QVERIFY(d->isVisible());
            QCOMPARE(sink->last().text,
                     QStringLiteral("The following problems were found:\n"
                                    "Must supply a template name.\n"
                                    "There must be at least some content for the template!\n"));
            QCOMPARE(sink->last().title, QStringLiteral("Entry Error"));
            QCOMPARE(sink->last().align, int(AlignLeftText));
            click(d, QStringLiteral("imgButton2"));
        });
        click(window.get(), QStringLiteral("imgNewTemplate"));
        QCOMPARE(db->count(QStringLiteral("Templates")), 1);
    }

    void deleteAsksAndNoKeeps() {
        click(window.get(), QStringLiteral("imgDeleteTemplate"));
        QCOMPARE(sink->last().text, QStringLiteral("You must first highlight a template!"));
        click(window.get(), QStringLiteral("imgEditTemplate"));
        QCOMPARE(sink->last().text, QStringLiteral("You must first highlight a template!"));
        QCOMPARE(sink->last().title, QStringLiteral("Selection Error"));

        list(QStringLiteral("lstTemplates"))->item(0)->setSelected(true);
        sink->answer(vbNo);
        click(window.get(), QStringLiteral("imgDeleteTemplate"));
        QCOMPARE(sink->last().title, QStringLiteral("Delete Verification"));
        QCOMPARE(sink->last().buttons, int(vbYesNo));
        QCOMPARE(db->count(QStringLiteral("Templates")), 1);
        sink->answer(vbYes);
        click(window.get(), QStringLiteral("imgDeleteTemplate"));
        QCOMPARE(db->count(QStringLiteral("Templates")), 0);
        QCOMPARE(list(QStringLiteral("lstTemplates"))->count(), 0);
    }

    // A template removed behind the list: Edit reports it and the dialog closes itself; Use shows
    // the error report and opens no e-mail window.
    void vanishedTemplate() {
        list(QStringLiteral("lstTemplates"))->item(0)->setSelected(true);
        Db().execute(QStringLiteral("Delete From Templates"));
        test::ModalDriver driver;
        driver.then([&](QDialog* d) { QVERIFY(!d->isVisible()); });
        click(window.get(), QStringLiteral("imgEditTemplate"));
        QCOMPARE(sink->messages.first().text, QStringLiteral("Selected template could not be found!!"));
        QCOMPARE(sink->messages.first().title, QStringLiteral("Database Error"));
        QCOMPARE(sink->messages.first().icon, int(vbCritical));

        // The refill emptied the list; put the stale entry back.
        auto* stale = new QListWidgetItem(QStringLiteral("Zulu"), list(QStringLiteral("lstTemplates")));
        stale->setData(Qt::UserRole, 1);
        stale->setSelected(true);
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Anna"));
        bool opened = false;
        SetEmailWindowOpener([&](const EmailRequest&, QWidget*) { opened = true; });
        sink->clear();
        click(window.get(), QStringLiteral("imgUseTemplate"));
        QVERIFY(!opened);
        QVERIFY(sink->last().standardBox);
        QCOMPARE(sink->last().title, QStringLiteral("Rallymark Error"));
    }

    void createValidation() {
        click(window.get(), QStringLiteral("imgClickExport"));
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            box->setChecked(false);
        test::ModalDriver driver;
        click(window.get(), QStringLiteral("imgCreateHTML"));
        QCOMPARE(sink->last().text,
                 kProblems + QStringLiteral("You must first highlight at least one member!\n\n"
                                            "Nothing was selected to export to HTML!\n\n"));
        QCOMPARE(sink->last().title, QStringLiteral("Selection Error"));
        QVERIFY(driver.shown.isEmpty());
    }

    void createToScreenAndCopy() {
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Bob"));
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Anna"));
        const QString expected = CreateHTMLByPlayer(window->exportFields(), {anna, bob});
        QVERIFY(expected.contains(QStringLiteral("<TD COLSPAN=2>Anna&nbsp;</TD>")));
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            QCOMPARE(d->objectName(), QStringLiteral("frmHTML"));
            QCOMPARE(d->windowTitle(), QStringLiteral("Exported HTML"));
            auto* text = child<QTextEdit>(d, QStringLiteral("txtHTML"));
            QVERIFY(QFontInfo(text->font()).fixedPitch());
            QCOMPARE(text->toPlainText(),
                     QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            QGuiApplication::clipboard()->setText(QStringLiteral("old"));
            click(d, QStringLiteral("imgCopy"));
            QCOMPARE(QGuiApplication::clipboard()->text(), expected);
            QVERIFY(!text->textCursor().hasSelection());
            click(d, QStringLiteral("imgClose"));
            QVERIFY(!d->isVisible());
        });
        click(window.get(), QStringLiteral("imgCreateHTML"));
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmHTML")});
        QCOMPARE(sink->count(), 0);
    }

    void createByDivisionToFile() {
        Db().execute(
            QStringLiteral("Insert Into Members (Member_Player_ID, Member_Division_ID, Member_Title) "
                           "Values(%1, %2, 0)")
                .arg(bob)
                .arg(red));
        click(window.get(), QStringLiteral("imgClickDivision"));
        selectText(list(QStringLiteral("lstDivisions")), QStringLiteral("Red"));
        child<QRadioButton>(window.get(), QStringLiteral("optFile"))->setChecked(true);
        const QString exportFolder = db->folder() + QStringLiteral("/Export");
        QVERIFY(!QFileInfo::exists(exportFolder));

        QString answer = exportFolder + QStringLiteral("/roster.html");
        SaveFileRequest asked;
        SetSaveFileRunner([&](QWidget*, const SaveFileRequest& r) {
            asked = r;
            return answer;
        });
        click(window.get(), QStringLiteral("imgCreateHTML"));
        QCOMPARE(asked.title, QStringLiteral("Export HTML to file"));
        QCOMPARE(asked.filter, QStringLiteral("HTML Files (*.htm;*.html)|*.htm;*.html"));
        QCOMPARE(QFileInfo(asked.folder).absoluteFilePath(), QFileInfo(exportFolder).absoluteFilePath());
        QVERIFY(QFileInfo(exportFolder).isDir());
        QFile file(answer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        file.close();
        QCOMPARE(written,
                 (CreateHTMLByDivision(window->exportFields(), {red}) + QStringLiteral("\r\n")).toUtf8());
        QCOMPARE(sink->count(), 0);

        // No to the overwrite question leaves the file byte for byte as it was.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep\r\nme\xc3\xa9");
        file.close();
        sink->answer(vbNo);
        click(window.get(), QStringLiteral("imgCreateHTML"));
        QCOMPARE(sink->last().text, QStringLiteral("This HTML File Already Exists... Overwrite?"));
        QCOMPARE(sink->last().title, QStringLiteral("HTML Export Function"));
        QCOMPARE(sink->last().icon, int(vbQuestion));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep\r\nme\xc3\xa9"));
        file.close();

        // Leaving the dialog without a name writes nothing.
        answer.clear();
        sink->clear();
        click(window.get(), QStringLiteral("imgCreateHTML"));
        QCOMPARE(sink->count(), 0);
    }

    void failedExportShowsNothing() {
        Db().execute(
            QStringLiteral("Update Players Set Player_TimeZone = 9999 Where Player_ID = %1").arg(bob));
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Anna"));
        selectText(list(QStringLiteral("lstPlayers")), QStringLiteral("Bob"));
        test::ModalDriver driver;
        click(window.get(), QStringLiteral("imgCreateHTML"));
        QVERIFY(driver.shown.isEmpty());
        QVERIFY(sink->last().standardBox);
        QCOMPARE(sink->last().text, QStringLiteral("Rallymark encountered the following error:\n\n"
                                                   "Player information could not be retrieved!"));
    }
};

QTEST_MAIN(CommCenterTest)
#include "commcenter_test.moc"
