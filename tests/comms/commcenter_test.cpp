#include "comms/HtmlExport.h"
#include "comms/widgets/CommCenter.h"
#include "comms/widgets/CommCenterWindows.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "support/ModalDriver.h"
#include "support/RecordingSink.h"
#include "support/SchedulingFixtures.h"
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

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void selectText(QListWidget* list, const char* text) {
    const auto found = list->findItems(QString::fromUtf8(text), Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    found.first()->setSelected(true);
}

void click(QWidget* window, const char* name) {
    child<QToolButton>(window, QString::fromLatin1(name))->click();
}

QLineEdit* nameField(QDialog* d) {
    return child<QLineEdit>(d, QStringLiteral("txtTemplateName"));
}
QPlainTextEdit* contentField(QDialog* d) {
    return child<QPlainTextEdit>(d, QStringLiteral("txtTemplateContent"));
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

    QListWidget* lst(const char* name) { return child<QListWidget>(window.get(), QString::fromLatin1(name)); }
    void press(const char* name) { click(window.get(), name); }
    QGroupBox* frame(const char* name) { return child<QGroupBox>(window.get(), QString::fromLatin1(name)); }

    void addTemplate(const QString& name, const QString& content) {
        Db().execute(
            QStringLiteral("Insert Into Templates (Template_Name, Template_Content) Values('%1', '%2')")
                .arg(name, content));
    }

private Q_SLOTS:
    void init() {
        db = std::make_unique<test::TestDatabase>();
        sink = std::make_unique<test::RecordingSink>();
        const int gmt = db->zoneId(QStringLiteral("GMT"));
        anna = test::AddPlayer(QStringLiteral("Anna"), gmt);
        test::AddPlayer(QStringLiteral("Gone"), gmt, false);
        bob = test::AddPlayer(QStringLiteral("Bob"), gmt);
        red = test::AddDivision(QStringLiteral("Red"));
        test::AddDivision(QStringLiteral("Old"), false);
        test::AddDivision(QStringLiteral("Blue"));
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
        QCOMPARE(texts(lst("lstPlayers")), (QStringList{"Anna", "Bob"}));
        QCOMPARE(lst("lstPlayers")->item(0)->data(Qt::UserRole).toInt(), anna);
        QCOMPARE(texts(lst("lstDivisions")), (QStringList{"Blue", "Red"}));
        QCOMPARE(texts(lst("lstTemplates")), (QStringList{"Zulu"}));
        QVERIFY(window->playersListVisible() && lst("lstDivisions")->isHidden());
        QVERIFY(!frame("fmeEmails")->isHidden() && frame("fmeExport")->isHidden());

        const QStringList ticked{"chkPlayerName", "chkRealName", "chkDivision", "chkEMail", "chkIM",
                                 "chkTimeZone",   "chkSchedule", "chkStatus",   "chkCustom"};
        for (const QString& name : ticked)
            QVERIFY2(child<QCheckBox>(window.get(), name)->isChecked(), qPrintable(name));
        QVERIFY(!child<QCheckBox>(window.get(), QStringLiteral("chkNotes"))->isChecked());
        QVERIFY(child<QRadioButton>(window.get(), QStringLiteral("optScreen"))->isChecked());

        press("imgClickExport");
        QVERIFY(frame("fmeEmails")->isHidden() && !frame("fmeExport")->isHidden());
    }

    void switchingListsKeepsSelections() {
        selectText(lst("lstPlayers"), "Bob");
        press("imgClickDivision");
        QVERIFY(!window->playersListVisible() && lst("lstPlayers")->isHidden());
        selectText(lst("lstDivisions"), "Red");
        press("imgClickPlayer");
        QVERIFY(window->playersListVisible());
        QCOMPARE(window->selectedPlayers(), (QList<QPair<qint32, QString>>{{bob, QStringLiteral("Bob")}}));
        QCOMPARE(window->selectedDivisions(), QList<qint32>{red});
    }

    void useReportsBothProblems() {
        press("imgUseTemplate");
        QCOMPARE(sink->count(), 1);
        QCOMPARE(sink->last().text,
                 kProblems + QStringLiteral("You must first highlight at least one member!\n\n"
                                            "You must select a template to use!\n\n"));
        QCOMPARE(sink->last().title, QStringLiteral("Selection Error"));

        press("imgClickDivision");
        selectText(lst("lstPlayers"), "Anna"); // hidden list: does not count
        press("imgUseTemplate");
        QCOMPARE(sink->last().text,
                 kProblems + QStringLiteral("You must first highlight at least one division!\n\n"
                                            "You must select a template to use!\n\n"));
        selectText(lst("lstDivisions"), "Blue");
        press("imgUseTemplate");
        QCOMPARE(sink->last().text, kProblems + QStringLiteral("You must select a template to use!\n\n"));
    }

    // Blank lines around the content and apostrophes survive saving, editing and Use.
    void templateRoundTrip() {
        const QString content = QStringLiteral("\n\nDon't forget: it's Friday's match.\n  Be there.\n\n");
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            nameField(d)->setText(QStringLiteral("  O'Brien's news  "));
            contentField(d)->setPlainText(content);
            click(d, "imgButton1");
        });
        press("imgNewTemplate");
        QCOMPARE(sink->count(), 0);
        QCOMPARE(db->scalar(QStringLiteral("Select Template_Content From Templates Where Template_Name = "
                                           "'O''Brien''s news'")),
                 QVariant(content));
        QCOMPARE(texts(lst("lstTemplates")), (QStringList{"O'Brien's news", "Zulu"}));

        lst("lstTemplates")->item(0)->setSelected(true);
        driver.then([&](QDialog* d) {
            QCOMPARE(nameField(d)->text(), QStringLiteral("O'Brien's news"));
            QCOMPARE(contentField(d)->toPlainText(), content);
            nameField(d)->setText(QStringLiteral("Alpha's news"));
            click(d, "imgButton1");
        });
        press("imgEditTemplate");
        QCOMPARE(texts(lst("lstTemplates")), (QStringList{"Alpha's news", "Zulu"}));
        QCOMPARE(db->count(QStringLiteral("Templates")), 2);

        EmailRequest handed;
        QList<QPair<qint32, QString>> recipients;
        SetEmailWindowOpener([&](const EmailRequest& r, QWidget*) {
            handed = r;
            recipients = r.selection->selectedPlayers();
        });
        lst("lstTemplates")->item(0)->setSelected(true);
        selectText(lst("lstPlayers"), "Anna");
        press("imgUseTemplate");
        QCOMPARE(handed.sendMode, QStringLiteral("M"));
        QCOMPARE(handed.message, content);
        QVERIFY(handed.subject.isEmpty());
        QCOMPARE(recipients, (QList<QPair<qint32, QString>>{{anna, QStringLiteral("Anna")}}));
        QVERIFY(driver.unexpected.isEmpty());
    }

    void templateValidation() {
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            nameField(d)->setText(QStringLiteral("   "));
            contentField(d)->setPlainText(QStringLiteral("\n \n"));
            click(d, "imgButton1");
            QVERIFY(d->isVisible());
            QCOMPARE(sink->last().text,
                     QStringLiteral("The following problems were found:\n"
                                    "Must supply a template name.\n"
                                    "There must be at least some content for the template!\n"));
            click(d, "imgButton2");
        });
        press("imgNewTemplate");
        QCOMPARE(db->count(QStringLiteral("Templates")), 1);
    }

    void deleteAsksAndNoKeeps() {
        press("imgDeleteTemplate");
        press("imgEditTemplate");
        QCOMPARE(sink->count(), 2);
        for (const auto& m : sink->messages)
            QCOMPARE(m.text, QStringLiteral("You must first highlight a template!"));

        lst("lstTemplates")->item(0)->setSelected(true);
        sink->answer(vbNo);
        press("imgDeleteTemplate");
        QCOMPARE(sink->last().buttons, int(vbYesNo));
        QCOMPARE(db->count(QStringLiteral("Templates")), 1);
        sink->answer(vbYes);
        press("imgDeleteTemplate");
        QCOMPARE(db->count(QStringLiteral("Templates")), 0);
        QCOMPARE(lst("lstTemplates")->count(), 0);
    }

    // A template removed behind the list: Edit reports it and the dialog closes itself; Use shows
    // the error report and opens no e-mail window.
    void vanishedTemplate() {
        lst("lstTemplates")->item(0)->setSelected(true);
        Db().execute(QStringLiteral("Delete From Templates"));
        test::ModalDriver driver;
        driver.then([&](QDialog* d) { QVERIFY(!d->isVisible()); });
        press("imgEditTemplate");
        QCOMPARE(sink->messages.first().text, QStringLiteral("Selected template could not be found!!"));

        // The refill emptied the list; put the stale entry back.
        auto* stale = new QListWidgetItem(QStringLiteral("Zulu"), lst("lstTemplates"));
        stale->setData(Qt::UserRole, 1);
        stale->setSelected(true);
        selectText(lst("lstPlayers"), "Anna");
        bool opened = false;
        SetEmailWindowOpener([&](const EmailRequest&, QWidget*) { opened = true; });
        sink->clear();
        press("imgUseTemplate");
        QVERIFY(!opened);
        QVERIFY(sink->last().standardBox);
    }

    void createValidation() {
        press("imgClickExport");
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            box->setChecked(false);
        test::ModalDriver driver;
        press("imgCreateHTML");
        QCOMPARE(sink->last().text,
                 kProblems + QStringLiteral("You must first highlight at least one member!\n\n"
                                            "Nothing was selected to export to HTML!\n\n"));
        QVERIFY(driver.shown.isEmpty());
    }

    void createToScreenAndCopy() {
        selectText(lst("lstPlayers"), "Bob");
        selectText(lst("lstPlayers"), "Anna");
        const QString expected = CreateHTMLByPlayer(window->exportFields(), {anna, bob});
        QVERIFY(expected.contains(QStringLiteral("<TD COLSPAN=2>Anna&nbsp;</TD>")));
        test::ModalDriver driver;
        driver.then([&](QDialog* d) {
            auto* text = child<QTextEdit>(d, QStringLiteral("txtHTML"));
            QCOMPARE(text->toPlainText(),
                     QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            QGuiApplication::clipboard()->setText(QStringLiteral("old"));
            click(d, "imgCopy");
            QCOMPARE(QGuiApplication::clipboard()->text(), expected);
            QVERIFY(!text->textCursor().hasSelection());
            click(d, "imgClose");
            QVERIFY(!d->isVisible());
        });
        press("imgCreateHTML");
        QCOMPARE(driver.shown, QStringList{QStringLiteral("frmHTML")});
        QCOMPARE(sink->count(), 0);
    }

    void createByDivisionToFile() {
        test::AddMember(bob, red);
        press("imgClickDivision");
        selectText(lst("lstDivisions"), "Red");
        child<QRadioButton>(window.get(), QStringLiteral("optFile"))->setChecked(true);
        const QString exportFolder = db->folder() + QStringLiteral("/Export");
        QVERIFY(!QFileInfo::exists(exportFolder));

        QString answer = exportFolder + QStringLiteral("/roster.html");
        SaveFileRequest asked;
        SetSaveFileRunner([&](QWidget*, const SaveFileRequest& r) {
            asked = r;
            return answer;
        });
        press("imgCreateHTML");
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
        press("imgCreateHTML");
        QCOMPARE(sink->last().text, QStringLiteral("This HTML File Already Exists... Overwrite?"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep\r\nme\xc3\xa9"));
        file.close();

        // Leaving the dialog without a name writes nothing.
        answer.clear();
        sink->clear();
        press("imgCreateHTML");
        QCOMPARE(sink->count(), 0);
    }

    void failedExportShowsNothing() {
        Db().execute(
            QStringLiteral("Update Players Set Player_TimeZone = 9999 Where Player_ID = %1").arg(bob));
        selectText(lst("lstPlayers"), "Anna");
        selectText(lst("lstPlayers"), "Bob");
        test::ModalDriver driver;
        press("imgCreateHTML");
        QVERIFY(driver.shown.isEmpty());
        QVERIFY(sink->last().standardBox);
        QCOMPARE(sink->last().text, QStringLiteral("Rallymark encountered the following error:\n\n"
                                                   "Player information could not be retrieved!"));
    }
};

QTEST_MAIN(CommCenterTest)
#include "commcenter_test.moc"
