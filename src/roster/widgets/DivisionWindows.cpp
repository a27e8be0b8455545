#include "roster/widgets/DivisionWindows.h"

#include "comms/DiscordWebhook.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/SecretStore.h"
#include "roster/DivisionStore.h"
#include "roster/widgets/CatalogueWidgets.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace rm {

namespace {

constexpr int kDivisionKeyColumn = 5;

} // namespace

frmDivisions::frmDivisions(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmDivisions"));
    setWindowTitle(QStringLiteral("Division List"));
    setWindowIcon(AppIcon(QStringLiteral("divisions")));

    lsvDivisions = makeReportList(QStringLiteral("lsvDivisions"));

    QWidget* buttonBar = makeButtonBar();

    m_resize = new ListResizeRule(this, lsvDivisions, buttonBar, 9270, 3540);
    refresh();
}

void frmDivisions::refresh() {
    RunTrapped([this] { FillDivisions(); });
}

void frmDivisions::FillDivisions() {
    SetupReportColumns(lsvDivisions, {{QStringLiteral("Name"), 3100},
                                      {QStringLiteral("Game"), 3100},
                                      {QStringLiteral("Active"), 700},
                                      {QStringLiteral("Members"), 1000, Qt::AlignHCenter},
                                      {QStringLiteral("Notes"), 700, Qt::AlignHCenter},
                                      {QStringLiteral("ID"), 0}});
    const QHash<qint32, int> members = ActiveMemberCounts();
    RowSet rows = Db().execute(DivisionListSql());
    for (; !rows.eof(); rows.moveNext()) {
        const qint32 key = rows.integer(QStringLiteral("Division_ID"));
        auto* item = new QTreeWidgetItem(lsvDivisions);
        item->setText(0, rows.text(QStringLiteral("Division_Name")).trimmed());
        item->setText(1, rows.text(QStringLiteral("Game_Name")).trimmed());
        item->setText(2, rows.boolean(QStringLiteral("Division_Active")) ? QStringLiteral("Yes")
                                                                         : QStringLiteral("No"));
        item->setText(3, QString::number(members.value(key, 0)));
        item->setTextAlignment(3, Qt::AlignCenter);
        item->setText(4, rows.text(QStringLiteral("Division_Notes")).trimmed().isEmpty()
                             ? QString()
                             : QStringLiteral("Yes"));
        item->setTextAlignment(4, Qt::AlignCenter);
        item->setText(kDivisionKeyColumn, QString::number(key));
    }
    rows.close();
    ClearSelection(lsvDivisions);
}

qint32 frmDivisions::selectedKey() const {
    return FirstSelectedKey(lsvDivisions, kDivisionKeyColumn);
}

MaintainDialog* frmDivisions::createDialog() {
    return new frmMaintainDivision(this);
}

QString frmDivisions::noSelectionText(const QString& button) const {
    return QStringLiteral("Please select a Division from the list before selecting ") + button;
}

frmMaintainDivision::frmMaintainDivision(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainDivision"));

    txtDivisionName = new QLineEdit(this);
    txtDivisionName->setObjectName(QStringLiteral("txtDivisionName"));
    txtDivisionName->setMaxLength(50);
    SelectAllOnFocus(txtDivisionName);
    cboGame = new QComboBox(this);
    cboGame->setObjectName(QStringLiteral("cboGame"));
    chkActive = new QCheckBox(QStringLiteral("Division Active?"), this);
    chkActive->setObjectName(QStringLiteral("chkActive"));
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    lblLastUpdate = new QLabel(this);
    lblLastUpdate->setObjectName(QStringLiteral("lblLastUpdate"));
    // The division's own Discord channel; kept in the secret store and never shown.
    txtDiscordWebhook = new QLineEdit(this);
    txtDiscordWebhook->setObjectName(QStringLiteral("txtDiscordWebhook"));
    txtDiscordWebhook->setEchoMode(QLineEdit::Password);
    txtDiscordWebhook->setMaxLength(512);
    txtDiscordWebhook->setPlaceholderText(
        QStringLiteral("empty: keep the stored one, or the clan's channel"));
    txtDiscordWebhook->setToolTip(QStringLiteral(
        "The webhook address of the division's channel (Integrations, Webhooks, Copy Webhook URL)"));

    auto* form = new QFormLayout;
    auto* lblName = new QLabel(QStringLiteral("Name:"), this);
    lblName->setObjectName(QStringLiteral("lblName"));
    auto* lblGame = new QLabel(QStringLiteral("Game:"), this);
    lblGame->setObjectName(QStringLiteral("lblGame"));
    form->addRow(lblName, txtDivisionName);
    form->addRow(lblGame, cboGame);
    form->addRow(QString(), chkActive);
    auto* lblDiscordWebhook = new QLabel(QStringLiteral("Discord Webhook:"), this);
    lblDiscordWebhook->setObjectName(QStringLiteral("lblDiscordWebhook"));
    form->addRow(lblDiscordWebhook, txtDiscordWebhook);

    auto* lblNotes = new QLabel(QStringLiteral("-- Notes --"), this);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setAlignment(Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblNotes);
    layout->addWidget(txtNotes, 1);
    layout->addWidget(lblLastUpdate);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
    resize(TwipsToPixels(6000, this), TwipsToPixels(5200, this));
}

void frmMaintainDivision::FillDropDowns() {
    FillKeyedDropDown(cboGame, DivisionGameChoicesSql(), QStringLiteral("Game_ID"),
                      QStringLiteral("Game_Name"));
}

void frmMaintainDivision::loadDialog() {
    lblLastUpdate->clear();
    setWindowTitle(EditMode + QStringLiteral(" Division Entry"));
    FillDropDowns();
    if (isAddMode()) {
        chkActive->setChecked(true);
        return;
    }
    RowSet row = Db().execute(DivisionSelectSql(PrimaryKey));
    if (!row.eof()) {
        txtDivisionName->setText(row.text(QStringLiteral("Division_Name")).trimmed());
        txtNotes->setPlainText(row.text(QStringLiteral("Division_Notes")).trimmed());
        ChooseKey(cboGame, row.integer(QStringLiteral("Division_Game")));
        chkActive->setChecked(row.boolean(QStringLiteral("Division_Active")));
        lblLastUpdate->setText(LastUpdatedNote(row.text(QStringLiteral("Division_Update"))));
    }
    row.close();
}

bool frmMaintainDivision::save() {
    DivisionEntry entry;
    entry.name = txtDivisionName->text();
    entry.gameKey = ChosenKey(cboGame);
    entry.active = chkActive->isChecked();
    entry.notes = txtNotes->toPlainText();
    const QString webhook = txtDiscordWebhook->text().trimmed();
    if (!isDeleteMode() && !webhook.isEmpty() && !ParseWebhookAddress(webhook)) {
        ShowMessage(kWebhookAddressProblem, AlignLeftText, vbOKOnly, vbExclamation,
                    QStringLiteral("Data Validation"));
        return false;
    }
    if (!SaveDivision(EditMode, PrimaryKey, entry))
        return false;
    if (!isDeleteMode() && !webhook.isEmpty())
        RunTrapped(
            [&] { KeepDiscordWebhookAddress(isAddMode() ? NewestDivisionKey() : PrimaryKey, webhook); });
    return true;
}

QList<QWidget*> frmMaintainDivision::editableFields() const {
    return {txtDivisionName, cboGame, chkActive, txtNotes, txtDiscordWebhook};
}

} // namespace rm
