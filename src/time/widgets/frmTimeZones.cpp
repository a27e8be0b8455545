#include "time/widgets/frmTimeZones.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "time/TimeZoneCatalog.h"
#include "time/ZoneClock.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeZone>

namespace rm {

frmMaintainTimeZone::frmMaintainTimeZone(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainTimeZone"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    txtShortName = MakeTextField(this, QStringLiteral("txtShortName"), 10);
    txtDescription = MakeTextField(this, QStringLiteral("txtDescription"), 50);
    txtOffset = MakeTextField(this, QStringLiteral("txtOffset"), 12);
    txtOffset->setToolTip(tr("Minutes added to local time to reach GMT (-60 for Berlin), or the offset as "
                             "clocks show it: +13:00, -3:30, UTC+5:45"));
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(txtOffset);
    auto* lblMinutes = Named(new QLabel(tr("(in minutes)"), this), QStringLiteral("lblMinutes"));
    offsetRow->addWidget(lblMinutes);
    // What the typed offset means, as clocks show it.
    auto* lblOffsetShown = Named(new QLabel(this), QStringLiteral("lblOffsetShown"));
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
    // The real zone: its clocks on every date come from the system's tz data.
    cboRealZone = Named(new QComboBox(this), QStringLiteral("cboRealZone"));
    cboRealZone->setEditable(true);
    cboRealZone->setInsertPolicy(QComboBox::NoInsert);
    cboRealZone->setToolTip(tr("The place's zone in the time zone database, e.g. Europe/Berlin: its clock "
                               "changes are then always right"));
    cboRealZone->addItem(QString());
    const QDateTime now = Now().toUTC();
    for (const QString& id : RealZoneIds())
        cboRealZone->addItem(
            QStringLiteral("%1 (%2)").arg(id, UtcOffsetText(QTimeZone(id.toUtf8()).offsetFromUtc(now) / 60)),
            id);
    cboRealZone->completer()->setFilterMode(Qt::MatchContains);
    cboRealZone->completer()->setCompletionMode(QCompleter::PopupCompletion);
    lblRealZoneNow = Named(new QLabel(this), QStringLiteral("lblRealZoneNow"));
    auto* realRow = new QVBoxLayout;
    realRow->addWidget(cboRealZone);
    realRow->addWidget(lblRealZoneNow);
    form->addRow(tr("Real Zone:"), realRow);
    layout->addLayout(form);

    fmeDaylight =
        Named(new QGroupBox(tr("Daylight Savings / Summer Time?"), this), QStringLiteral("fmeDaylight"));
    auto* daylight = new QHBoxLayout(fmeDaylight);
    optDSTNone = Named(new QRadioButton(tr("Do Not Adjust"), fmeDaylight), QStringLiteral("optDSTNone"));
    optDSTUSA = Named(new QRadioButton(tr("USA DST"), fmeDaylight), QStringLiteral("optDSTUSA"));
    optDSTEU = Named(new QRadioButton(tr("EU DST"), fmeDaylight), QStringLiteral("optDSTEU"));
    daylight->addWidget(optDSTNone);
    daylight->addWidget(optDSTUSA);
    daylight->addWidget(optDSTEU);
    optDSTNone->setChecked(true);
    fmeDaylight->setToolTip(tr("Used only for an entry without a real zone"));
    layout->addWidget(fmeDaylight);
    connect(cboRealZone, &QComboBox::activated, this, &frmMaintainTimeZone::realZoneChosen);

    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
}

QList<QWidget*> frmMaintainTimeZone::editableFields() const {
    return {txtShortName, txtDescription, txtOffset, cboRealZone, fmeDaylight};
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

QString frmMaintainTimeZone::selectedRealZone() const {
    // A typed zone counts as well as a chosen one; the list's text carries the offset after the id.
    const QString text = cboRealZone->currentText().trimmed();
    const int chosen = cboRealZone->findText(text);
    if (chosen >= 0)
        return cboRealZone->itemData(chosen).toString();
    return text.section(QLatin1Char(' '), 0, 0);
}

void frmMaintainTimeZone::realZoneChosen() {
    const QString id = selectedRealZone();
    const QTimeZone zone(id.toUtf8());
    if (id.isEmpty() || !zone.isValid()) {
        lblRealZoneNow->setText(id.isEmpty() ? tr("no real zone: the offset and the rule below are used")
                                             : QString());
        return;
    }
    const QDateTime now = Now().toUTC();
    lblRealZoneNow->setText(tr("%1 now").arg(UtcOffsetText(zone.offsetFromUtc(now) / 60)));
    // The catalogue keeps minutes added to local standard time to reach GMT.
    txtOffset->setText(QString::number(-zone.standardTimeOffset(now) / 60));
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
        const QString real = rows.text(QStringLiteral("TZ_IANA")).trimmed();
        const int index = cboRealZone->findData(real);
        if (index >= 0)
            cboRealZone->setCurrentIndex(index);
        else
            cboRealZone->setEditText(real);
    }
    rows.close();
    const QString real = selectedRealZone();
    const QTimeZone zone(real.toUtf8());
    lblRealZoneNow->setText(real.isEmpty() ? tr("no real zone: the offset and the rule below are used")
                            : zone.isValid()
                                ? tr("%1 now").arg(UtcOffsetText(zone.offsetFromUtc(Now().toUTC()) / 60))
                                : tr("not a zone this computer knows"));
}

bool frmMaintainTimeZone::save() {
    return SaveTimeZone(EditMode, PrimaryKey, txtShortName->text(), txtDescription->text(), txtOffset->text(),
                        selectedDaylightCode(), selectedRealZone());
}

frmTimeZones::frmTimeZones(QWidget* parent)
    : CatalogueListWindow(
          {{"TimeZones", "Time Zones", "", "Time Zone", TimeZoneListSql()},
           {{"Name", 1800, TextCell("TZ_Name")},
            {"Description", 3500, TextCell("TZ_Description")},
            {"Offset", 700, TextCell("TZ_GMT_Offset"), Qt::AlignRight},
            {"DST", 700, TextCell("TZ_Daylight_Savings", DaylightColumnText), Qt::AlignHCenter},
            {"Real Zone", 2600, TextCell("TZ_IANA", RealZoneColumnText)},
            KeyColumn("ID", "TZ_ID")},
           {ListPlacement::Stretch},
           [](QWidget* window) { return new frmMaintainTimeZone(window); }},
          parent) {}

} // namespace rm
