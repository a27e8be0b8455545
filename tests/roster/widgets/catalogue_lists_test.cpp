#include "roster/widgets/DivisionWindows.h"
#include "roster/widgets/GameWindows.h"
#include "roster/widgets/TitleWindows.h"
#include "support/TestKit.h"
#include "time/widgets/frmTimeZones.h"

using namespace rm;
using namespace rm::test;

namespace {

std::unique_ptr<QWidget> windowNamed(const QString& name) {
    if (name == "frmDivisions")
        return std::make_unique<frmDivisions>();
    if (name == "frmGames")
        return std::make_unique<frmGames>();
    if (name == "frmTitles")
        return std::make_unique<frmTitles>();
    return std::make_unique<frmTimeZones>();
}

} // namespace

class CatalogueListsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each list window carries its names, title and captions (keys hidden), and Edit without a selected
    // row names what to select.
    void namesCaptionsAndWarning_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("entry");
        QTest::newRow("divisions") << "frmDivisions"
                                   << "Division List"
                                   << "Name|Game|Active|Members|Notes|-ID"
                                   << "Division";
        QTest::newRow("games") << "frmGames"
                               << "Games List"
                               << "Name|Type|Genre|Notes|-ID"
                               << "Game";
        QTest::newRow("titles") << "frmTitles"
                                << "Divisional Titles"
                                << "Division|Title|-TitleID|-DivisionID"
                                << "Divisional Title";
        QTest::newRow("time zones") << "frmTimeZones"
                                    << "Time Zones"
                                    << "Name|Description|Offset|DST|Real Zone|-ID"
                                    << "Time Zone";
    }
    void namesCaptionsAndWarning() {
        QFETCH(QString, window);
        QFETCH(QString, entry);
        TestDatabase db;
        RecordingSink sink;
        ModalDriver driver;
        const std::unique_ptr<QWidget> shown = windowNamed(window);
        QCOMPARE(shown->objectName(), window);
        QTEST(shown->windowTitle(), "title");
        auto* list = child<QTreeWidget>(shown.get(), "lsv" + window.mid(3));
        QStringList captions;
        for (int c = 0; c < list->columnCount(); ++c)
            captions << (list->isColumnHidden(c) ? "-" : "") + list->headerItem()->text(c);
        QTEST(captions.join('|'), "captions");
        Click(shown.get(), "imgEdit");
        QCOMPARE(sink.last().title, QStringLiteral("No Selection Made"));
        QCOMPARE(sink.last().text, "Please select a " + entry + " from the list before selecting Edit");
        QVERIFY(driver.shown.isEmpty());
    }
};

QTEST_MAIN(CatalogueListsTest)
#include "catalogue_lists_test.moc"
