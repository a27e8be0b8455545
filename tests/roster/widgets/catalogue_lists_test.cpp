#include "support/TestKit.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using namespace rm::test;

class CatalogueListsTest : public QObject {
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
        QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
        const QString prefix("Please select a "), suffix(" from the list before selecting Edit");
        QVERIFY(sink.last().text.startsWith(prefix) && sink.last().text.endsWith(suffix));
        const QString entry = sink.last().text.mid(prefix.size()).chopped(suffix.size());
        QCOMPARE(
            QStringList({window->objectName(), window->windowTitle(), captions.join('|'), entry}).join('/'),
            expected);
    }
};

QTEST_MAIN(CatalogueListsTest)
#include "catalogue_lists_test.moc"
