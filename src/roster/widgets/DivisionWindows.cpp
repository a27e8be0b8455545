#include "roster/widgets/DivisionWindows.h"

#include "comms/DiscordWebhook.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/SecretStore.h"
#include "roster/DivisionStore.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace rm {

frmDivisions::frmDivisions(QWidget* parent)
    : CatalogueListWindow({{"Divisions", "Division List", "divisions", "Division", DivisionListSql()},
                           {{"Name", 3100, TextCell("Division_Name")},
                            {"Game", 3100, TextCell("Game_Name")},
                            {"Active", 700, YesNoCell("Division_Active")},
                            {"Members", 1000, NumberCell("MemberCount"), Qt::AlignHCenter},
                            NotesColumn("Division_Notes"),
                            KeyColumn("ID", "Division_ID")},
                           {ListPlacement::ResizeRule, 9270, 3540},
                           [](QWidget* window) { return new frmMaintainDivision(window); }},
                          parent) {}

frmMaintainDivision::frmMaintainDivision(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainDivision"));

    txtDivisionName = MakeTextField(this, QStringLiteral("txtDivisionName"), 50);
    cboGame = Named(new QComboBox(this), QStringLiteral("cboGame"));
    chkActive = Named(new QCheckBox(QStringLiteral("Division Active?"), this), QStringLiteral("chkActive"));
    txtNotes = Named(new QPlainTextEdit(this), QStringLiteral("txtNotes"));
    lblLastUpdate = Named(new QLabel(this), QStringLiteral("lblLastUpdate"));
    // The division's own Discord channel; kept in the secret store and never shown.
    txtDiscordWebhook = MakeTextField(this, QStringLiteral("txtDiscordWebhook"), 512);
    txtDiscordWebhook->setEchoMode(QLineEdit::Password);
    txtDiscordWebhook->setPlaceholderText(
        QStringLiteral("empty: keep the stored one, or the clan's channel"));
    txtDiscordWebhook->setToolTip(QStringLiteral(
        "The webhook address of the division's channel (Integrations, Webhooks, Copy Webhook URL)"));

    auto* form = new QFormLayout;
    AddNamedRow(form, QStringLiteral("lblName"), QStringLiteral("Name:"), txtDivisionName);
    AddNamedRow(form, QStringLiteral("lblGame"), QStringLiteral("Game:"), cboGame);
    form->addRow(QString(), chkActive);
    AddNamedRow(form, QStringLiteral("lblDiscordWebhook"), QStringLiteral("Discord Webhook:"),
                txtDiscordWebhook);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    AddNotes(layout, txtNotes);
    layout->addWidget(lblLastUpdate);
    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
    resize(TwipsToPixels(6000, this), TwipsToPixels(5200, this));
}

void frmMaintainDivision::loadDialog() {
    lblLastUpdate->clear();
    setWindowTitle(EditMode + QStringLiteral(" Division Entry"));
    FillKeyedDropDown(cboGame, DivisionGameChoicesSql(), QStringLiteral("Game_ID"),
                      QStringLiteral("Game_Name"));
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
