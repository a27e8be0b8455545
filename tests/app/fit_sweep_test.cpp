// Every window and dialog at the size it opens with, on a 1366 × 768 screen, shows its labels,
// buttons, frames and fields whole; the picture buttons of the main, task and About windows and the
// message box have their pictures and say what they do.
// The program runs itself a second time at 150 % scaling.

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
#include "ui/Maintenance.h"
#include "ui/MessageBox.h"
#include "ui/WindowRegistry.h"

using namespace rm;
using namespace rm::test;

namespace {

// What the widget would need to show its text whole, when it has less; 0 when it fits.
int shortOf(QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty() && label->pixmap().isNull())
        return label->wordWrap() ? label->heightForWidth(label->width()) - label->height()
                                 : label->sizeHint().width() - label->width();
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty())
        return button->sizeHint().width() - button->width();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return fm.horizontalAdvance(edit->displayText()) - (edit->contentsRect().width() - 4);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        return fm.horizontalAdvance(combo->currentText()) -
               combo->style()
                   ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                   .width();
    }
    if (auto* frame = qobject_cast<QGroupBox*>(w); frame && !frame->title().isEmpty())
        return frame->minimumSizeHint().width() - frame->width();
    if (w->objectName().endsWith(QLatin1String("Legend"))) // draws its counts within its size hint
        return w->sizeHint().width() - w->width();
    return 0;
}

// The window's cut texts, named; and the window itself when it does not fit the screen.
QStringList cutTexts(QWidget* window, const QString& name) {
    QCoreApplication::processEvents();
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window) && shortOf(w) > 0)
            cut << name + QLatin1Char(' ') +
                       (w->objectName().isEmpty() ? w->property("text").toString() : w->objectName());
    if (window->isWindow() &&
        !window->screen()->availableGeometry().contains(QRect(QPoint(), window->size())))
        cut << name + QStringLiteral(" does not fit the screen");
    return cut;
}

// Picture buttons without their picture (click areas lie over a tab picture and have none of their
// own), tip or accessible name, named.
QStringList withoutPictures(QWidget* window, const QString& name) {
    QStringList bare;
    for (QToolButton* b : window->findChildren<QToolButton*>(QRegularExpression("^(?!qt_).")))
        if ((b->icon().isNull() && !b->objectName().startsWith(QLatin1String("imgClick"))) ||
            b->toolTip().isEmpty() || b->accessibleName().isEmpty())
            bare << name + QLatin1Char(' ') + b->objectName() + QStringLiteral(" without picture or tip");
    return bare;
}

template <typename T> std::function<QWidget*()> dialog(const char* mode = "Add", qint32 key = 0) {
    return [=]() -> QWidget* {
        auto* d = new T;
        d->EditMode = QString::fromLatin1(mode);
        d->PrimaryKey = key;
        return d;
    };
}

} // namespace

class FitSweepTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyWindowShowsItsTexts() {
        TestDatabase db;
        RecordingSink sink;
        WriteDemoRoster(60);
        db.exec("Update Options Set Options_EnableEmails = 1, Options_Custom2_Drop_Enabled = 1, "
                "Options_Custom2_Drop_Title = 'Preferred Role'");
        LoadOptions();
        RegisterAllWindows();
        QStringList cut;
        // The task windows as the main window opens them; the scheduling screen with its longest date.
        for (const QString& name : RegisteredTaskWindows()) {
            frmMain main;
            main.show();
            QWidget* window = main.showTaskWindow(name);
            if (auto* date = window->findChild<QLineEdit*>(QStringLiteral("txtMatchDate")))
                date->setText(FormatMatchDate(QDate(2026, 12, 28)));
            if (auto* time = window->findChild<QLineEdit*>(QStringLiteral("txtMatchTime")))
                time->setText(FormatTimeOfDay(23 * 60 + 30, false));
            cut << cutTexts(window, name) << withoutPictures(&main, name);
        }
        const qint32 player = db.scalar("Select MIN(Player_ID) From Players").toInt();
        const QList<std::pair<const char*, std::function<QWidget*()>>> dialogs{
            {"frmMain", [] { return new frmMain; }},
            {"frmAbout", [] { return new frmAbout; }},
            {"frmOptions", dialog<frmOptions>("Edit")},
            {"frmMaintainPlayer", dialog<frmMaintainPlayer>("Edit", player)},
            {"frmMaintainSchedule", [] { return new frmMaintainSchedule; }},
            {"frmMaintainDivision", dialog<frmMaintainDivision>("Edit", 1)},
            {"frmMaintainGame", dialog<frmMaintainGame>()},
            {"frmMaintainGenresTypes", dialog<frmMaintainGenresTypes>()},
            {"frmMaintainTitle", dialog<frmMaintainTitle>()},
            {"frmMaintainConnection", dialog<frmMaintainConnection>()},
            {"frmMaintainCustom", dialog<frmMaintainCustom>()},
            {"frmMaintainTimeZone", dialog<frmMaintainTimeZone>()},
            {"frmTemplate", dialog<frmTemplate>()},
            {"frmSMTP", [] { return new frmSMTP; }},
            {"frmHTML", [] { return new frmHTML; }},
            {"frmImportPlayers", [] { return new frmImportPlayers; }},
            {"frmExportPlayers", [] { return new frmExportPlayers({}); }},
            {"frmCalendar", [] { return new frmCalendar(QDate(2026, 2, 8)); }}};
        for (const auto& [name, make] : dialogs) {
            std::unique_ptr<QWidget> window(make());
            window->show();
            cut << cutTexts(window.get(), QString::fromLatin1(name));
        }
        frmAbout about;
        frmMessageBox box; // its texts are laid out for each message: controls_test
        cut << withoutPictures(&about, "frmAbout") << withoutPictures(&box, "frmMessageBox");
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        // The pictures of the dialogs' delete mode, the message box types and the time bars.
        for (const char* name : {"ok-delete", "cancel-delete", "info", "question", "exclamation", "critical",
                                 "slot-free", "slot-busy", "slot-start", "slot-end"})
            QVERIFY2(!AppIcon(QString::fromLatin1(name)).isNull(), name);
        QCOMPARE(MissingPictures(), QStringList());
    }
};

int main(int argc, char** argv) {
    // A 1366 × 768 screen; a second run scales it by 150 %.
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    if (!WriteFile(config,
                   R"({"screens": [{"name": "wide", "width": 1366, "height": 768, "logicalDpi": 96}]})"))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    int status = 0;
    {
        QApplication app(argc, argv);
        FitSweepTest test;
        status = QTest::qExec(&test, argc, argv);
    }
    if (status != 0 || qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return status;
    qputenv("QT_SCALE_FACTOR", "1.5");
    return QProcess::execute(QString::fromLocal8Bit(argv[0]), {}) == 0 ? 0 : 1;
}

#include "fit_sweep_test.moc"
