#include "roster/widgets/CatalogueWidgets.h"

#include "data/DbConnection.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QWidget>

namespace rm {

QLineEdit* MakeTextField(QWidget* parent, const QString& objectName, int maxLength) {
    auto* field = Named(new QLineEdit(parent), objectName);
    field->setMaxLength(maxLength);
    SelectAllOnFocus(field);
    return field;
}

void AddNamedRow(QFormLayout* form, const QString& labelName, const QString& caption, QWidget* field) {
    form->addRow(Named(new QLabel(caption, field->parentWidget()), labelName), field);
}

void AddNotes(QVBoxLayout* layout, QPlainTextEdit* notes) {
    auto* lblNotes =
        Named(new QLabel(QStringLiteral("-- Notes --"), notes->parentWidget()), QStringLiteral("lblNotes"));
    lblNotes->setAlignment(Qt::AlignHCenter);
    layout->addWidget(lblNotes);
    layout->addWidget(notes, 1);
}

CatalogueCell TextCell(const QString& column, QString (*shown)(const QString&)) {
    return [column, shown](const RowSet& row) {
        return shown ? shown(row.text(column)) : row.text(column).trimmed();
    };
}

CatalogueCell NumberCell(const QString& column) {
    return [column](const RowSet& row) { return QString::number(row.integer(column)); };
}

CatalogueCell YesNoCell(const QString& column) {
    return [column](const RowSet& row) {
        return row.boolean(column) ? QStringLiteral("Yes") : QStringLiteral("No");
    };
}

CatalogueColumn NotesColumn(const QString& column) {
    const auto notes = [column](const RowSet& row) {
        return row.text(column).trimmed().isEmpty() ? QString() : QStringLiteral("Yes");
    };
    return {"Notes", 700, notes, Qt::AlignHCenter};
}

CatalogueColumn KeyColumn(const char* caption, const QString& column) {
    return {caption, 0, NumberCell(column)};
}

CatalogueListWindow::CatalogueListWindow(CatalogueList catalogue, QWidget* parent)
    : MaintenanceWindow(parent), m_catalogue(std::move(catalogue)) {
    const CatalogueSource& source = m_catalogue.source;
    setObjectName(QStringLiteral("frm") + QLatin1String(source.name));
    setWindowTitle(QString::fromUtf8(source.title));
    if (*source.iconName)
        setWindowIcon(AppIcon(QString::fromUtf8(source.iconName)));
    for (int i = 0; i < m_catalogue.columns.size() && m_keyColumn < 0; ++i)
        if (m_catalogue.columns.at(i).widthTwips <= 0)
            m_keyColumn = i;

    m_list = makeReportList(QStringLiteral("lsv") + QLatin1String(source.name));
    const ListArrangement& a = m_catalogue.arrangement;
    if (a.placement == ListPlacement::ResizeRule) {
        new ListResizeRule(this, m_list, makeButtonBar(), a.widthTwips, a.heightTwips);
    } else {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_list, 1);
        layout->addLayout(makeButtonRow());
        if (a.placement == ListPlacement::FixedSize) {
            m_list->setMinimumSize(TwipsToPixels(a.widthTwips, this), TwipsToPixels(a.heightTwips, this));
            // The window keeps its designed size.
            layout->setSizeConstraint(QLayout::SetFixedSize);
        }
    }
    refresh();
}

void CatalogueListWindow::refresh() {
    RunTrapped([this] { fill(); });
}

void CatalogueListWindow::fill() {
    QList<ReportColumn> columns;
    for (const CatalogueColumn& column : m_catalogue.columns)
        columns.append({QString::fromUtf8(column.caption), column.widthTwips, column.alignment});
    SetupReportColumns(m_list, columns);
    RowSet rows = Db().execute(m_catalogue.source.listSql);
    for (; !rows.eof(); rows.moveNext()) {
        auto* item = new QTreeWidgetItem(m_list);
        for (int i = 0; i < m_catalogue.columns.size(); ++i) {
            const CatalogueColumn& column = m_catalogue.columns.at(i);
            item->setText(i, column.cell(rows));
            if (column.alignment != Qt::AlignLeft)
                item->setTextAlignment(i, column.alignment | Qt::AlignVCenter);
        }
    }
    rows.close();
    ClearSelection(m_list);
}

qint32 CatalogueListWindow::selectedKey() const {
    return FirstSelectedKey(m_list, m_keyColumn);
}

MaintainDialog* CatalogueListWindow::createDialog() {
    return m_catalogue.dialog(this);
}

QString CatalogueListWindow::noSelectionText(const QString& button) const {
    return QStringLiteral("Please select a %1 from the list before selecting %2")
        .arg(QString::fromUtf8(m_catalogue.source.entryName), button);
}

void FillKeyedDropDown(QComboBox* list, const QString& sql, const QString& keyColumn,
                       const QString& textColumn) {
    list->clear();
    RowSet rows = Db().execute(sql);
    for (; !rows.eof(); rows.moveNext())
        list->addItem(rows.text(textColumn).trimmed(), rows.integer(keyColumn));
    rows.close();
    if (list->count() > 0)
        list->setCurrentIndex(0);
}

void ChooseKey(QComboBox* list, qint32 key) {
    const int index = list->findData(key);
    if (index >= 0)
        list->setCurrentIndex(index);
}

qint32 ChosenKey(const QComboBox* list) {
    if (list->currentIndex() < 0)
        return 0;
    return list->currentData().toInt();
}

ListResizeRule::ListResizeRule(QWidget* window, QWidget* list, QWidget* buttonBar, int minWidthTwips,
                               int minHeightTwips, int bandTwips)
    : QObject(window), m_window(window), m_list(list), m_buttonBar(buttonBar), m_bandTwips(bandTwips) {
    const QSize minimum(TwipsToPixels(minWidthTwips, window), TwipsToPixels(minHeightTwips, window));
    window->setMinimumSize(minimum);
    window->resize(minimum);
    window->installEventFilter(this);
    apply();
}

void ListResizeRule::apply() {
    const int width = m_window->width();
    const int height = m_window->height();
    const int margin = TwipsToPixels(120, m_window);
    // The band holds the button bar: the list never runs under the buttons, whatever their size.
    const int band =
        qMax(TwipsToPixels(m_bandTwips, m_window), m_buttonBar->sizeHint().height() + 2 * margin);
    m_list->setGeometry(margin, margin, qMax(0, width - 2 * margin), qMax(0, height - band));
    // The bar sits in the band below the list, centred in what is left of it.
    const int listBottom = margin + qMax(0, height - band);
    const int barHeight = qMin(m_buttonBar->sizeHint().height(), qMax(0, height - listBottom));
    const int barTop = listBottom + qMax(0, (height - listBottom - barHeight) / 2);
    m_buttonBar->setGeometry(margin, barTop, qMax(0, width - 2 * margin), barHeight);
}

bool ListResizeRule::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

} // namespace rm
