#include "ui/Maintenance.h"

#include "data/DbConnection.h"
#include "data/DesktopLayout.h"
#include "data/MessageSink.h"
#include "ui/ListRefresh.h"
#include "ui/NumericEntry.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace rm {

namespace {

ModalRunner g_modalRunner;

double logicalDpi(const QWidget* reference, Qt::Orientation axis) {
    const bool x = axis == Qt::Horizontal;
    double dpi = 0;
    if (reference)
        dpi = x ? reference->logicalDpiX() : reference->logicalDpiY();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = x ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

int TwipsToPixels(int twips, const QWidget* reference, Qt::Orientation axis) {
    return RoundHalfEven(double(twips) * logicalDpi(reference, axis) / 1440.0);
}

int PixelsToTwips(int pixels, const QWidget* reference, Qt::Orientation axis) {
    return RoundHalfEven(double(pixels) * 1440.0 / logicalDpi(reference, axis));
}

namespace {
QStringList g_missingPictures;
} // namespace

QIcon AppIcon(const QString& name) {
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    if (!QFile::exists(path)) {
        if (!g_missingPictures.contains(name))
            g_missingPictures << name;
        return QIcon();
    }
    return QIcon(path);
}

QStringList MissingPictures() {
    return g_missingPictures;
}

QToolButton* MakePictureButton(QWidget* parent, const QString& objectName, const QString& iconName,
                               const QString& caption, const QString& toolTip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(caption);
    button->setIcon(AppIcon(iconName));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAutoRaise(true);
    return button;
}

void SetPicture(QToolButton* button, const QString& iconName) {
    button->setIcon(AppIcon(iconName));
}

namespace {

class EnterPressesOK : public QObject {
public:
    EnterPressesOK(QDialog* dialog, QAbstractButton* ok) : QObject(dialog), m_ok(ok) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            // A field whose Return does a job of its own marks itself with "enterIsOwn".
            const QWidget* focus = QApplication::focusWidget();
            const bool own = focus && focus->property("enterIsOwn").toBool();
            if (enter && !own && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && m_ok &&
                m_ok->isEnabled()) {
                m_ok->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QAbstractButton> m_ok;
};

} // namespace

void WidenForText(QLineEdit* field, const QString& longest) {
    const QMargins margins = field->textMargins();
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(longest) + margins.left() +
                           margins.right() + 2 * field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) +
                           12);
}

namespace {

// A scroll area that asks for its whole contents, where the toolkit's asks for a modest part.
class WholeScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        return widget() ? widget()->sizeHint() + QSize(bar + 2, 2) : QScrollArea::sizeHint();
    }
};

} // namespace

void OpenAtPreferredSize(QWidget* window, QSize wanted) {
    // Fields filled just now count.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QScreen* screen = window->screen();
    // Room for the frame the window manager adds.
    const QSize room =
        screen ? screen->availableSize() - QSize(16, 48) : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize least = window->minimumSizeHint();
    if (window->layout() && (least.width() > room.width() || least.height() > room.height()) &&
        !window->findChild<WholeScrollArea*>(QString(), Qt::FindDirectChildrenOnly)) {
        auto* body = new QWidget;
        body->setObjectName(QStringLiteral("fmeBody"));
        body->setLayout(window->layout()); // takes the fields along
        auto* scroll = new WholeScrollArea(window);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(body);
        auto* outer = new QVBoxLayout(window);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(scroll);
        scroll->setVisible(true); // at once, also when the window is showing already
        window->setMinimumSize(0, 0);
        outer->activate();
    }
    const auto fit = [window, room, wanted] {
        const QSize size = wanted.isValid() ? wanted : window->sizeHint();
        window->resize(size.boundedTo(room).expandedTo(window->minimumSizeHint()));
    };
    fit();
    // A body moved into a scroll area tells its size once its layout has run.
    if (window->findChild<WholeScrollArea*>(QString(), Qt::FindDirectChildrenOnly))
        QTimer::singleShot(0, window, fit);
}

void ConfirmWithEnter(QDialog* dialog, QAbstractButton* ok) {
    dialog->installEventFilter(new EnterPressesOK(dialog, ok));
}

bool RunTrapped(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const DbError& e) {
        ShowErrorReport(e.description());
    }
    return false;
}

int RunModal(QDialog* dialog) {
    if (g_modalRunner)
        return g_modalRunner(dialog);
    return dialog->exec();
}

void SetModalRunner(ModalRunner runner) {
    g_modalRunner = std::move(runner);
}

void SetupReportColumns(QTreeWidget* list, const QList<ReportColumn>& columns) {
    list->clear();
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    QStringList captions;
    for (const ReportColumn& c : columns)
        captions << c.caption;
    list->setHeaderLabels(captions);
    for (int i = 0; i < columns.size(); ++i) {
        const ReportColumn& c = columns.at(i);
        list->headerItem()->setTextAlignment(i, c.alignment | Qt::AlignVCenter);
        if (c.widthTwips <= 0) {
            list->setColumnHidden(i, true);
        } else {
            list->setColumnHidden(i, false);
            list->setColumnWidth(i, TwipsToPixels(c.widthTwips, list));
        }
    }
}

qint32 FirstSelectedKey(const QTreeWidget* list, int keyColumn) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->isSelected())
            return item->text(keyColumn).toInt();
    }
    return 0;
}

qint32 FirstSelectedKey(const QListWidget* list) {
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        if (item->isSelected())
            return item->data(Qt::UserRole).toInt();
    }
    return 0;
}

QList<QPair<qint32, QString>> SelectedEntries(const QListWidget* list) {
    QList<QPair<qint32, QString>> selected;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        if (item->isSelected())
            selected.append({item->data(Qt::UserRole).toInt(), item->text()});
    }
    return selected;
}

QList<qint32> SelectedKeys(const QListWidget* list) {
    QList<qint32> keys;
    for (const auto& entry : SelectedEntries(list))
        keys << entry.first;
    return keys;
}

void ClearSelection(QTreeWidget* list) {
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

void FillPlainList(QListWidget* list, const QString& sql, const QString& keyColumn,
                   const QString& textColumn) {
    list->clear();
    RowSet rows = Db().execute(sql);
    for (; !rows.eof(); rows.moveNext()) {
        auto* item = new QListWidgetItem(rows.text(textColumn).trimmed(), list);
        item->setData(Qt::UserRole, rows.integer(keyColumn));
    }
    rows.close();
    list->setCurrentItem(nullptr);
    list->clearSelection();
}

MaintainDialog::MaintainDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void MaintainDialog::addDialogButtons(QBoxLayout* layout) {
    m_ok = MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), tr("OK"),
                             tr("Save and close"));
    m_cancel = MakePictureButton(this, QStringLiteral("imgButton2"), QStringLiteral("cancel"), tr("Cancel"),
                                 tr("Close without saving"));
    layout->addStretch(1);
    layout->addWidget(m_ok);
    layout->addWidget(m_cancel);
    connect(m_ok, &QToolButton::clicked, this, &MaintainDialog::pressOK);
    ConfirmWithEnter(this, m_ok);
    connect(m_cancel, &QToolButton::clicked, this, &MaintainDialog::pressCancel);
}

void MaintainDialog::prepare() {
    if (m_prepared)
        return;
    m_prepared = true;
    // Every text field of a dialog selects its whole text when it receives the focus.
    for (QLineEdit* line : findChildren<QLineEdit*>())
        SelectAllOnFocus(line);
    RunTrapped([this] { loadDialog(); });
    if (isDeleteMode())
        applyDeleteMode();
}

void MaintainDialog::showEvent(QShowEvent* event) {
    const bool first = !m_prepared;
    prepare();
    if (first)
        OpenAtPreferredSize(this);
    QDialog::showEvent(event);
}

void MaintainDialog::applyDeleteMode() {
    for (QWidget* w : editableFields()) {
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->setReadOnly(true);
        else if (auto* text = qobject_cast<QPlainTextEdit*>(w))
            text->setReadOnly(true);
        else if (auto* rich = qobject_cast<QTextEdit*>(w))
            rich->setReadOnly(true);
        else
            w->setEnabled(false);
    }
    if (m_ok) {
        SetPicture(m_ok, QStringLiteral("ok-delete"));
        m_ok->setToolTip(tr("Delete and close"));
        m_ok->setAccessibleName(m_ok->toolTip());
    }
    if (m_cancel) {
        SetPicture(m_cancel, QStringLiteral("cancel-delete"));
        m_cancel->setToolTip(tr("Close without deleting"));
        m_cancel->setAccessibleName(m_cancel->toolTip());
    }
}

void MaintainDialog::pressOK() {
    prepare();
    bool close = false;
    RunTrapped([&] { close = save(); });
    if (close)
        accept();
}

void MaintainDialog::pressCancel() {
    reject();
}

MaintenanceWindow::MaintenanceWindow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    // A save anywhere else refills the list; the selected row stays selected.
    RefillOnChange(this, [this] { refresh(); });
}

QBoxLayout* MaintenanceWindow::makeButtonRow() {
    return makeButtonRow(AllButtons);
}

QBoxLayout* MaintenanceWindow::makeButtonRow(int buttons) {
    auto* row = new QHBoxLayout;
    if (buttons & AddButton) {
        imgAdd = MakePictureButton(this, QStringLiteral("imgAdd"), QStringLiteral("add"), tr("Add"),
                                   tr("Add a new entry"));
        row->addWidget(imgAdd);
        connect(imgAdd, &QToolButton::clicked, this, &MaintenanceWindow::addEntry);
    }
    if (buttons & EditButton) {
        imgEdit = MakePictureButton(this, QStringLiteral("imgEdit"), QStringLiteral("edit"), tr("Edit"),
                                    tr("Edit the selected entry"));
        row->addWidget(imgEdit);
        connect(imgEdit, &QToolButton::clicked, this, &MaintenanceWindow::editEntry);
    }
    if (buttons & DeleteButton) {
        imgDelete = MakePictureButton(this, QStringLiteral("imgDelete"), QStringLiteral("delete"),
                                      tr("Delete"), tr("Delete the selected entry"));
        row->addWidget(imgDelete);
        connect(imgDelete, &QToolButton::clicked, this, &MaintenanceWindow::deleteEntry);
    }
    row->addStretch(1);
    if (buttons & ExitButton) {
        imgExit = MakePictureButton(this, QStringLiteral("imgExit"), QStringLiteral("exit"), tr("Exit"),
                                    tr("Close this window"));
        row->addWidget(imgExit);
        connect(imgExit, &QToolButton::clicked, this, [this] {
            // Inside the main window the frame around this widget is what closes.
            if (QWidget* frame = parentWidget(); frame && frame->inherits("QMdiSubWindow"))
                frame->close();
            else
                close();
        });
    }
    return row;
}

void MaintenanceWindow::editOnDoubleClick(QAbstractItemView* list) {
    connect(list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { editEntry(); });
}

QTreeWidget* MaintenanceWindow::makeReportList(const QString& objectName) {
    auto* list = new QTreeWidget(this);
    list->setObjectName(objectName);
    list->setToolTip(tr("Double Click an entry to Edit"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { editEntry(); });
    return list;
}

QWidget* MaintenanceWindow::makeButtonBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("fmeButtons"));
    QBoxLayout* row = makeButtonRow();
    row->setContentsMargins(0, 0, 0, 0);
    bar->setLayout(row);
    return bar;
}

void MaintenanceWindow::refill() {
    RunTrapped([this] { refresh(); });
}

void MaintenanceWindow::reportNoSelection(const QString& button) {
    ShowMessage(noSelectionText(button), AlignCenterText, vbOKOnly, vbExclamation,
                QStringLiteral("No Selection Made"));
}

void MaintenanceWindow::runDialog(const QString& mode, qint32 key) {
    MaintainDialog* dialog = createDialog();
    dialog->EditMode = mode;
    dialog->DialogText = dialogText();
    dialog->PrimaryKey = key;
    RunModal(dialog);
    delete dialog;
    refill();
}

void MaintenanceWindow::addEntry() {
    runDialog(QStringLiteral("Add"), 0);
}

void MaintenanceWindow::editEntry() {
    const qint32 key = selectedKey();
    if (key == 0) {
        reportNoSelection(QStringLiteral("Edit"));
        return;
    }
    runDialog(QStringLiteral("Edit"), key);
}

void MaintenanceWindow::deleteEntry() {
    const qint32 key = selectedKey();
    if (key == 0) {
        reportNoSelection(QStringLiteral("Delete"));
        return;
    }
    runDialog(QStringLiteral("Delete"), key);
}

} // namespace rm
