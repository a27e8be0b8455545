// Every window and dialog at the size it opens with, on a 1366 × 768 screen, shows its labels,
// buttons, frames and fields whole. The program runs itself a second time at 150 % scaling.

#include "app/About.h"
#include "app/MainWindow.h"
#include "comms/widgets/HtmlWindow.h"
#include "comms/widgets/TemplateDialog.h"
#include "comms/widgets/frmSMTP.h"
#include "data/widgets/frmCustomDrops.h"
#include "data/widgets/frmOptions.h"
#include "roster/DemoRoster.h"
#include "roster/widgets/DivisionWindows.h"
#include "roster/widgets/GameWindows.h"
#include "roster/widgets/GenreWindows.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/RosterCsvWindows.h"
#include "roster/widgets/ScheduleWindow.h"
#include "roster/widgets/TitleWindows.h"
#include "roster/widgets/frmConnections.h"
#include "scheduling/MatchText.h"
#include "scheduling/widgets/frmScheduling.h"
#include "support/TestKit.h"
#include "time/TimeText.h"
#include "time/widgets/frmTimeZones.h"
#include "ui/WindowRegistry.h"

#include <QProcess>

using namespace rm;
using namespace rm::test;

using Maker = std::function<QWidget*()>;
Q_DECLARE_METATYPE(Maker)

namespace {

QString who(const QWidget* w) {
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()),
                                       w->objectName().isEmpty()
                                           ? QStringLiteral("\"%1\"").arg(w->property("text").toString())
                                           : w->objectName());
}

// The visible texts of the window that do not fit their widget, each with what is cut.
QStringList cutTexts(QWidget* window) {
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->width() <= 0)
            continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->text().isEmpty() || !label->pixmap().isNull())
                continue;
            const bool fits = label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                                : label->sizeHint().width() <= label->width();
            if (!fits)
                cut << who(w) + QStringLiteral(" (%1 px for %2)")
                                    .arg(label->width())
                                    .arg(label->sizeHint().width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty() && button->sizeHint().width() > button->width())
                cut << who(w) + QStringLiteral(" (%1 px for %2)")
                                    .arg(button->width())
                                    .arg(button->sizeHint().width());
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const int room =
                edit->contentsRect().width() - edit->textMargins().left() - edit->textMargins().right() - 4;
            if (!edit->text().isEmpty() && fm.horizontalAdvance(edit->displayText()) > room)
                cut << who(w) + QStringLiteral(" \"%1\"").arg(edit->displayText());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = combo->isEditable();
            option.currentText = combo->currentText();
            const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                               QStyle::SC_ComboBoxEditField, combo);
            if (fm.horizontalAdvance(combo->currentText()) > field.width())
                cut << who(w) + QStringLiteral(" \"%1\"").arg(combo->currentText());
        } else if (w->objectName().endsWith(QLatin1String("Legend"))) {
            // The legend draws its texts within its size hint.
            if (w->sizeHint().width() > w->width())
                cut << who(w) + QStringLiteral(" (%1 px for %2)").arg(w->width()).arg(w->sizeHint().width());
        } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
            if (!frame->title().isEmpty() && frame->minimumSizeHint().width() > frame->width())
                cut << who(w) + QStringLiteral(" \"%1\"").arg(frame->title());
        }
    }
    return cut;
}

template <typename T> Maker dialog(const char* mode = "Add", qint32 key = 0) {
    return [=]() -> QWidget* {
        auto* d = new T;
        if constexpr (std::is_base_of_v<MaintainDialog, T>) {
            d->EditMode = QString::fromLatin1(mode);
            d->PrimaryKey = key;
        }
        return d;
    };
}

} // namespace

class FitSweepTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    RecordingSink sink;

private Q_SLOTS:
    void initTestCase() {
        db = std::make_unique<TestDatabase>();
        WriteDemoRoster(60);
        db->exec("Update Options Set Options_EnableEmails = 1, Options_Custom1_Text_Enabled = 1, "
                 "Options_Custom1_Text_Title = 'Favourite Map', Options_Custom2_Drop_Enabled = 1, "
                 "Options_Custom2_Drop_Title = 'Preferred Role'");
        LoadOptions();
        RegisterAllWindows();
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(qAbs(screen->size().width() * screen->devicePixelRatio() - 1366) < 2);
    }
    void cleanupTestCase() { db.reset(); }

    // The task windows as the main window opens them, at its own default size.
    void taskWindows_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : RegisteredTaskWindows())
            QTest::newRow(qPrintable(name)) << name;
    }
    void taskWindows() {
        QFETCH(QString, name);
        frmMain main;
        main.show();
        QWidget* window = main.showTaskWindow(name);
        QVERIFY(window);
        // The longest date and time the scheduling screen writes.
        if (auto* date = window->findChild<QLineEdit*>(QStringLiteral("txtMatchDate")))
            date->setText(FormatMatchDate(QDate(2026, 12, 28)));
        if (auto* time = window->findChild<QLineEdit*>(QStringLiteral("txtMatchTime")))
            time->setText(FormatTimeOfDay(23 * 60 + 30, false));
        QCoreApplication::processEvents();
        const QStringList cut = cutTexts(window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    void dialogs_data() {
        QTest::addColumn<Maker>("make");
        const qint32 player = db->scalar("Select MIN(Player_ID) From Players").toInt();
        const qint32 division = db->scalar("Select MIN(Division_ID) From Divisions").toInt();
        QTest::newRow("frmMain") << Maker([] { return new frmMain; });
        QTest::newRow("frmOptions") << dialog<frmOptions>("Edit");
        QTest::newRow("frmAbout") << Maker([] { return new frmAbout; });
        QTest::newRow("frmMaintainPlayer") << dialog<frmMaintainPlayer>("Edit", player);
        QTest::newRow("frmMaintainSchedule") << dialog<frmMaintainSchedule>();
        QTest::newRow("frmMaintainDivision") << dialog<frmMaintainDivision>("Edit", division);
        QTest::newRow("frmMaintainGame") << dialog<frmMaintainGame>();
        QTest::newRow("frmMaintainGenresTypes") << dialog<frmMaintainGenresTypes>();
        QTest::newRow("frmMaintainTitle") << dialog<frmMaintainTitle>();
        QTest::newRow("frmMaintainConnection") << dialog<frmMaintainConnection>();
        QTest::newRow("frmMaintainCustom") << dialog<frmMaintainCustom>();
        QTest::newRow("frmMaintainTimeZone") << dialog<frmMaintainTimeZone>();
        QTest::newRow("frmTemplate") << dialog<frmTemplate>();
        QTest::newRow("frmSMTP") << dialog<frmSMTP>();
        QTest::newRow("frmHTML") << dialog<frmHTML>();
        QTest::newRow("frmImportPlayers") << dialog<frmImportPlayers>();
        QTest::newRow("frmExportPlayers") << Maker([] { return new frmExportPlayers({}); });
        QTest::newRow("frmCalendar") << Maker([] { return new frmCalendar(QDate(2026, 2, 8)); });
    }
    void dialogs() {
        QFETCH(Maker, make);
        std::unique_ptr<QWidget> window(make());
        window->show();
        QCoreApplication::processEvents();
        const QStringList cut = cutTexts(window.get());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        const QRect screen = window->screen()->availableGeometry();
        QVERIFY2(window->width() <= screen.width() && window->height() <= screen.height(),
                 qPrintable(QStringLiteral("%1×%2").arg(window->width()).arg(window->height())));
    }
};

int main(int argc, char** argv) {
    // A 1366 × 768 screen; the second run scales it by 150 %.
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1366, "height": 768,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    file.close();
    const bool scaled = qEnvironmentVariableIsSet("RALLYMARK_FIT_SCALED");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    int status = 0;
    {
        QApplication app(argc, argv);
        FitSweepTest test;
        status = QTest::qExec(&test, argc, argv);
    }
    if (scaled || status != 0)
        return status;
    QProcess again;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1.5"));
    env.insert(QStringLiteral("RALLYMARK_FIT_SCALED"), QStringLiteral("1"));
    again.setProcessEnvironment(env);
    again.setProcessChannelMode(QProcess::ForwardedChannels);
    again.start(QString::fromLocal8Bit(argv[0]), {});
    again.waitForFinished(-1);
    return again.exitStatus() == QProcess::NormalExit ? again.exitCode() : 1;
}

#include "fit_sweep_test.moc"
