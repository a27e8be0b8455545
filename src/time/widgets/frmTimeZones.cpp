#include "time/widgets/frmTimeZones.h"

#include "data/DbConnection.h"
#include "time/TimeZoneCatalog.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

namespace rm {

namespace {

constexpr int kKeyColumn = 4;

} // namespace

frmMaintainTimeZone::frmMaintainTimeZone(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainTimeZone"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    txtShortName = new QLineEdit(this);
    txtShortName->setObjectName(QStringLiteral("txtShortName"));
    txtShortName->setMaxLength(10);
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setMaxLength(50);
    txtOffset = new QLineEdit(this);
    txtOffset->setObjectName(QStringLiteral("txtOffset"));
    txtOffset->setMaxLength(12);
    txtOffset->setToolTip(tr("Minutes added to local time to reach GMT (-60 for Berlin), or the offset as "
                             "clocks show it: +13:00, -3:30, UTC+5:45"));
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(txtOffset);
    auto* lblMinutes = new QLabel(tr("(in minutes)"), this);
    lblMinutes->setObjectName(QStringLiteral("lblMinutes"));
    offsetRow->addWidget(lblMinutes);
    // What the typed offset means, as clocks show it.
    auto* lblOffsetShown = new QLabel(this);
    lblOffsetShown->setObjectName(QStringLiteral("lblOffsetShown"));
    lblOffsetShown->setMinimumWidth(lblOffsetShown->fontMetrics().horizontalAdvance(tr("not an offset")) + 8);
    offsetRow->addWidget(lblOffsetShown);
    connect(txtOffset, &QLineEdit::textChanged, lblOffsetShown, [lblOffsetShown](const QString& text) {
        const std::optional<qint32> offset = ParseZoneOffset(text);
        lblOffsetShown->setText(offset                     ? FormatZoneOffset(*offset)
                                : text.trimmed().isEmpty() ? QString()
                                                           : tr("not an offset"));
    });
    form->addRow(tr("Short Name:"), txtShortName);
    form->addRow(tr("Description:"), txtDescription);
    form->addRow(tr("GMT Offset:"), offsetRow);
    layout->addLayout(form);

    fmeDaylight = new QGroupBox(tr("Daylight Savings / Summer Time?"), this);
    fmeDaylight->setObjectName(QStringLiteral("fmeDaylight"));
    auto* daylight = new QHBoxLayout(fmeDaylight);
    optDSTNone = new QRadioButton(tr("Do Not Adjust"), fmeDaylight);
    optDSTNone->setObjectName(QStringLiteral("optDSTNone"));
    optDSTUSA = new QRadioButton(tr("USA DST"), fmeDaylight);
    optDSTUSA->setObjectName(QStringLiteral("optDSTUSA"));
    optDSTEU = new QRadioButton(tr("EU DST"), fmeDaylight);
    optDSTEU->setObjectName(QStringLiteral("optDSTEU"));
    daylight->addWidget(optDSTNone);
    daylight->addWidget(optDSTUSA);
    daylight->addWidget(optDSTEU);
    optDSTNone->setChecked(true);
    layout->addWidget(fmeDaylight);

    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
}

QList<QWidget*> frmMaintainTimeZone::editableFields() const {
    return {txtShortName, txtDescription, txtOffset, fmeDaylight};
}

QString frmMaintainTimeZone::selectedDaylightCode() const {
    if (optDSTUSA->isChecked())
        return QStringLiteral("U");
    if (optDSTEU->isChecked())
        return QStringLiteral("E");
    return QStringLiteral("N");
}

void frmMaintainTimeZone::selectDaylightCode(const QString& code) {
    const QString c = NormalizedDaylightCode(code);
    (c == QLatin1String("U") ? optDSTUSA : c == QLatin1String("E") ? optDSTEU : optDSTNone)->setChecked(true);
}

void frmMaintainTimeZone::loadDialog() {
    setWindowTitle(EditMode + QStringLiteral(" Time Zone"));
    if (!isEditMode() && !isDeleteMode())
        return;
    RowSet rows = Db().execute(TimeZoneSelectSql(PrimaryKey));
    if (!rows.eof()) {
        txtShortName->setText(rows.text(QStringLiteral("TZ_Name")).trimmed());
        txtDescription->setText(rows.text(QStringLiteral("TZ_Description")).trimmed());
        txtOffset->setText(rows.text(QStringLiteral("TZ_GMT_Offset")).trimmed());
        selectDaylightCode(rows.text(QStringLiteral("TZ_Daylight_Savings")));
    }
    rows.close();
}

bool frmMaintainTimeZone::save() {
    return SaveTimeZone(EditMode, PrimaryKey, txtShortName->text(), txtDescription->text(), txtOffset->text(),
                        selectedDaylightCode());
}

frmTimeZones::frmTimeZones(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmTimeZones"));
    setWindowTitle(tr("Time Zones"));
    auto* layout = new QVBoxLayout(this);
    lsvTimeZones = new QTreeWidget(this);
    lsvTimeZones->setObjectName(QStringLiteral("lsvTimeZones"));
    lsvTimeZones->setSelectionMode(QAbstractItemView::SingleSelection);
    lsvTimeZones->setToolTip(tr("Double Click an entry to Edit"));
    layout->addWidget(lsvTimeZones);
    layout->addLayout(makeButtonRow());
    editOnDoubleClick(lsvTimeZones);
    refill();
}

void frmTimeZones::refresh() {
    SetupReportColumns(lsvTimeZones, {{tr("Name"), 1800, Qt::AlignLeft},
                                      {tr("Description"), 3500, Qt::AlignLeft},
                                      {tr("Offset"), 700, Qt::AlignRight},
                                      {tr("DST"), 700, Qt::AlignHCenter},
                                      {tr("ID"), 0, Qt::AlignLeft}});
    RowSet rows = Db().execute(TimeZoneListSql());
    QList<QTreeWidgetItem*> items;
    for (; !rows.eof(); rows.moveNext()) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, rows.text(QStringLiteral("TZ_Name")).trimmed());
        item->setText(1, rows.text(QStringLiteral("TZ_Description")).trimmed());
        item->setText(2, rows.text(QStringLiteral("TZ_GMT_Offset")).trimmed());
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(3, DaylightColumnText(rows.text(QStringLiteral("TZ_Daylight_Savings"))));
        item->setTextAlignment(3, Qt::AlignHCenter | Qt::AlignVCenter);
        item->setText(kKeyColumn, QString::number(rows.integer(QStringLiteral("TZ_ID"))));
        items << item;
    }
    rows.close();
    lsvTimeZones->addTopLevelItems(items);
    ClearSelection(lsvTimeZones);
}

qint32 frmTimeZones::selectedKey() const {
    return FirstSelectedKey(lsvTimeZones, kKeyColumn);
}

MaintainDialog* frmTimeZones::createDialog() {
    return new frmMaintainTimeZone(this);
}

QString frmTimeZones::noSelectionText(const QString& button) const {
    return QStringLiteral("Please select a Time Zone from the list before selecting ") + button;
}

} // namespace rm
