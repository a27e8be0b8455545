#include "comms/widgets/CommCenter.h"

#include "comms/Templates.h"
#include "comms/widgets/AvailabilityWindows.h"
#include "comms/widgets/CommCenterWindows.h"
#include "comms/widgets/DiscordPreview.h"
#include "comms/widgets/HtmlWindow.h"
#include "comms/widgets/TemplateDialog.h"
#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "ui/EmailWindow.h"
#include "ui/FileDialogs.h"
#include "ui/ListRefresh.h"
#include "ui/Maintenance.h"
#include "ui/MemberPicker.h"
#include "ui/StatusMessage.h"
#include "ui/TabStrip.h"
#include "ui/WindowRegistry.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

namespace rm {

namespace {

const QSize kTabSize(240, 28);

// Store errors, a player that cannot be read and a file that cannot be written all end the export
// with the standard error report.
bool runExportTrapped(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const DbError& e) {
        ShowErrorReport(e.description());
    } catch (const ExportError& e) {
        ShowErrorReport(e.description());
    }
    return false;
}

QCheckBox* makeBox(QWidget* parent, const QString& name, const QString& caption, bool ticked) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(ticked);
    return box;
}

} // namespace

frmCommCenter::frmCommCenter(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmCommCenter"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowTitle(tr("Rallymark Communications Center"));
    setWindowIcon(AppIcon(QStringLiteral("comms-center")));

    auto* layout = new QHBoxLayout(this);
    ctlMembers = new MemberPicker({QStringLiteral("comms-tab")}, this);
    ctlMembers->setMinimumWidth(kTabSize.width());
    layout->addWidget(ctlMembers);
    layout->addWidget(buildPageSide(), 1);

    showEmailPage();
    // A list that cannot be read stays empty; the window is still usable.
    RunTrapped([this] { FillTemplates(); });
    RefillOnChange(this, [this] { FillTemplates(); });
}

QWidget* frmCommCenter::buildPageSide() {
    auto* side = new QWidget(this);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    imgPageTab = new TabStrip(QStringLiteral("imgPageTab"),
                              {QStringLiteral("imgClickEmail"), QString(), tr("Send a template by e-mail"),
                               QStringLiteral("comms-tab-email")},
                              {QStringLiteral("imgClickExport"), QString(), tr("Export the roster as HTML"),
                               QStringLiteral("comms-tab-export")},
                              side);
    imgPageTab->setFixedSize(kTabSize);
    layout->addWidget(imgPageTab);

    auto* stack = new QGridLayout;
    fmeEmails = buildEmailPage();
    fmeExport = buildExportPage();
    stack->addWidget(fmeEmails, 0, 0);
    stack->addWidget(fmeExport, 0, 0);
    layout->addLayout(stack, 1);

    connect(imgPageTab, &TabStrip::tabClicked, this,
            [this](bool email) { email ? showEmailPage() : showExportPage(); });
    return side;
}

QGroupBox* frmCommCenter::buildEmailPage() {
    auto* page = new QGroupBox(tr("E-Mail Templates"), this);
    page->setObjectName(QStringLiteral("fmeEmails"));
    auto* layout = new QVBoxLayout(page);
    lstTemplates = new QListWidget(page);
    lstTemplates->setObjectName(QStringLiteral("lstTemplates"));
    lstTemplates->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(lstTemplates, 1);

    auto* buttons = new QHBoxLayout;
    imgNewTemplate =
        MakePictureButton(page, QStringLiteral("imgNewTemplate"), QStringLiteral("comms-template-new"),
                          tr("New"), tr("Add a new template"));
    imgEditTemplate =
        MakePictureButton(page, QStringLiteral("imgEditTemplate"), QStringLiteral("comms-template-edit"),
                          tr("Edit"), tr("Edit the selected template"));
    imgDeleteTemplate =
        MakePictureButton(page, QStringLiteral("imgDeleteTemplate"), QStringLiteral("comms-template-delete"),
                          tr("Delete"), tr("Delete the selected template"));
    imgUseTemplate =
        MakePictureButton(page, QStringLiteral("imgUseTemplate"), QStringLiteral("comms-template-use"),
                          tr("Use"), tr("Send the selected template to the selection"));
    buttons->addWidget(imgNewTemplate);
    buttons->addWidget(imgEditTemplate);
    buttons->addWidget(imgDeleteTemplate);
    imgDiscordTemplate =
        MakePictureButton(page, QStringLiteral("imgDiscordTemplate"), QStringLiteral("discord-post"),
                          tr("Discord"), tr("Post the selected template to the Discord channels"));
    buttons->addStretch(1);
    imgAskAvailability =
        MakePictureButton(page, QStringLiteral("imgAskAvailability"), QStringLiteral("calendar"),
                          QStringLiteral("Ask for availability\u2026"),
                          tr("Send the selection (or every active player) their week to fill in"));
    buttons->addWidget(imgAskAvailability);
    buttons->addWidget(imgUseTemplate);
    buttons->addWidget(imgDiscordTemplate);
    layout->addLayout(buttons);

    connect(imgNewTemplate, &QToolButton::clicked, this, &frmCommCenter::newTemplate);
    connect(imgEditTemplate, &QToolButton::clicked, this, &frmCommCenter::editTemplate);
    connect(imgDeleteTemplate, &QToolButton::clicked, this, &frmCommCenter::deleteTemplate);
    connect(imgUseTemplate, &QToolButton::clicked, this, &frmCommCenter::useTemplate);
    connect(imgAskAvailability, &QToolButton::clicked, this, &frmCommCenter::askAvailability);
    connect(imgDiscordTemplate, &QToolButton::clicked, this, &frmCommCenter::postTemplate);
    return page;
}

QGroupBox* frmCommCenter::buildExportPage() {
    auto* page = new QGroupBox(tr("Select fields you wish to include in Web Page"), this);
    page->setObjectName(QStringLiteral("fmeExport"));
    auto* layout = new QVBoxLayout(page);

    auto* boxes = new QGridLayout;
    chkPlayerName = makeBox(page, QStringLiteral("chkPlayerName"), tr("Online Name"), true);
    chkRealName = makeBox(page, QStringLiteral("chkRealName"), tr("Real Name"), true);
    chkDivision = makeBox(page, QStringLiteral("chkDivision"), tr("Division Memberships"), true);
    chkEMail = makeBox(page, QStringLiteral("chkEMail"), tr("E-Mail Address"), true);
    chkIM = makeBox(page, QStringLiteral("chkIM"), tr("IM Information"), true);
    chkTimeZone = makeBox(page, QStringLiteral("chkTimeZone"), tr("Time Zone"), true);
    chkSchedule = makeBox(page, QStringLiteral("chkSchedule"), tr("Schedule"), true);
    chkNotes = makeBox(page, QStringLiteral("chkNotes"), tr("Member Notes"), false);
    chkStatus = makeBox(page, QStringLiteral("chkStatus"), tr("Active Status"), true);
    chkCustom = makeBox(page, QStringLiteral("chkCustom"), tr("Custom Fields"), true);
    const QList<QCheckBox*> all{chkPlayerName, chkRealName, chkDivision, chkEMail,  chkIM,
                                chkTimeZone,   chkSchedule, chkNotes,    chkStatus, chkCustom};
    for (int i = 0; i < all.size(); ++i)
        boxes->addWidget(all.at(i), i % 5, i / 5);
    layout->addLayout(boxes);

    auto* output = new QHBoxLayout;
    auto* label = new QLabel(tr("Export HTML to:"), page);
    label->setObjectName(QStringLiteral("lblExportTo"));
    optScreen = new QRadioButton(tr("Screen"), page);
    optScreen->setObjectName(QStringLiteral("optScreen"));
    optScreen->setChecked(true);
    optFile = new QRadioButton(tr("File"), page);
    optFile->setObjectName(QStringLiteral("optFile"));
    output->addWidget(label);
    output->addWidget(optScreen);
    output->addWidget(optFile);
    output->addStretch(1);
    imgCreateHTML =
        MakePictureButton(page, QStringLiteral("imgCreateHTML"), QStringLiteral("comms-create-html"),
                          tr("Create"), tr("Create the HTML roster"));
    output->addWidget(imgCreateHTML);
    layout->addStretch(1);
    layout->addLayout(output);

    connect(imgCreateHTML, &QToolButton::clicked, this, &frmCommCenter::createHTML);
    return page;
}

void frmCommCenter::FillTemplates() {
    FillPlainList(lstTemplates, TemplatesListSql(), QStringLiteral("Template_ID"),
                  QStringLiteral("Template_Name"));
}

void frmCommCenter::showDivisionsList() {
    ctlMembers->showDivisions();
}

void frmCommCenter::showEmailPage() {
    imgPageTab->showTab(true);
    fmeExport->hide();
    fmeEmails->show();
}

void frmCommCenter::showExportPage() {
    imgPageTab->showTab(false);
    fmeEmails->hide();
    fmeExport->show();
}

bool frmCommCenter::playersListVisible() const {
    return ctlMembers->playersListVisible();
}

QList<QPair<qint32, QString>> frmCommCenter::selectedPlayers() const {
    return ctlMembers->selectedPlayers();
}

QList<qint32> frmCommCenter::selectedDivisions() const {
    return ctlMembers->selectedDivisions();
}

void frmCommCenter::askAvailability() {
    QList<qint32> keys;
    if (playersListVisible()) {
        for (const auto& player : selectedPlayers())
            keys << player.first;
    } else if (!RunTrapped([&] { keys = ActiveMembersOf(selectedDivisions()); })) {
        return;
    } else if (keys.isEmpty() && !selectedDivisions().isEmpty()) {
        ShowMessage(QStringLiteral("The selected divisions have no active members."), AlignCenterText,
                    vbOKOnly, vbExclamation, QStringLiteral("Ask for availability"));
        return;
    }
    AskForAvailability(keys, this);
}

ExportFields frmCommCenter::exportFields() const {
    ExportFields f;
    f.playerName = chkPlayerName->isChecked();
    f.realName = chkRealName->isChecked();
    f.division = chkDivision->isChecked();
    f.email = chkEMail->isChecked();
    f.im = chkIM->isChecked();
    f.timeZone = chkTimeZone->isChecked();
    f.schedule = chkSchedule->isChecked();
    f.notes = chkNotes->isChecked();
    f.status = chkStatus->isChecked();
    f.custom = chkCustom->isChecked();
    return f;
}

void frmCommCenter::runTemplateDialog(const QString& mode, qint32 key) {
    frmTemplate dialog(this);
    dialog.UpdateMode = mode;
    dialog.UpdatePK = key;
    RunModal(&dialog);
    RunTrapped([this] { FillTemplates(); });
}

void frmCommCenter::newTemplate() {
    runTemplateDialog(QStringLiteral("A"), 0);
}

void frmCommCenter::editTemplate() {
    if (lstTemplates->selectedItems().isEmpty()) {
        ShowMessage(QStringLiteral("You must first highlight a template!"), AlignCenterText, vbOKOnly,
                    vbExclamation, kSelectionErrorTitle);
        return;
    }
    runTemplateDialog(QStringLiteral("E"), FirstSelectedKey(lstTemplates));
}

void frmCommCenter::deleteTemplate() {
    if (lstTemplates->selectedItems().isEmpty()) {
        ShowMessage(QStringLiteral("You must first highlight a template!"), AlignCenterText, vbOKOnly,
                    vbExclamation, kSelectionErrorTitle);
        return;
    }
    const qint32 key = FirstSelectedKey(lstTemplates);
    if (ShowMessage(QStringLiteral("Are you sure you want to delete this template?"), AlignCenterText,
                    vbYesNo, vbQuestion, QStringLiteral("Delete Verification")) == vbNo)
        return;
    if (RunTrapped([key] { Db().execute(TemplateDeleteSql(key)); }))
        RunTrapped([this] { FillTemplates(); });
}

void frmCommCenter::useTemplate() {
    const bool templateSelected = !lstTemplates->selectedItems().isEmpty();
    const QString problems = UseProblems(playersListVisible(), ctlMembers->anySelected(), templateSelected);
    if (!problems.isEmpty()) {
        ShowMessage(kProblemsFoundText + QStringLiteral("\n\n") + problems, AlignCenterText, vbOKOnly,
                    vbExclamation, kSelectionErrorTitle);
        return;
    }
    QString content;
    const qint32 key = FirstSelectedKey(lstTemplates);
    if (!RunTrapped([&] { content = TemplateContentForUse(key); }))
        return;
    OpenEmailWindow({QStringLiteral("M"), QString(), QString(), content, this}, this);
}

void frmCommCenter::postTemplate() {
    const bool templateSelected = !lstTemplates->selectedItems().isEmpty();
    const QString problems = UseProblems(playersListVisible(), ctlMembers->anySelected(), templateSelected);
    if (!problems.isEmpty()) {
        ShowMessage(kProblemsFoundText + QStringLiteral("\n\n") + problems, AlignCenterText, vbOKOnly,
                    vbExclamation, kSelectionErrorTitle);
        return;
    }
    // Divisions: each to its own channel or the clan's. Players: the clan's channel, mentioning them.
    DiscordPost post;
    QList<DiscordTarget> targets;
    const qint32 key = FirstSelectedKey(lstTemplates);
    if (!RunTrapped([&] {
            const std::optional<TemplateRecord> chosen = LoadTemplate(key);
            if (!chosen)
                throw DbError(QStringLiteral("The template could not be read."));
            QList<DiscordMember> members;
            if (playersListVisible()) {
                QList<qint32> keys;
                for (const auto& player : selectedPlayers())
                    keys << player.first;
                members = ReadDiscordMembers(keys);
                targets << ClanDiscordTarget();
            } else {
                targets = DivisionDiscordTargets(selectedDivisions());
            }
            post = TemplatePost(chosen->name, chosen->content, members);
        }))
        return;
    OpenDiscordPreview(post, targets, this);
}

void frmCommCenter::createHTML() {
    const ExportFields fields = exportFields();
    const QString problems = ExportProblems(playersListVisible(), ctlMembers->anySelected(), fields.any());
    if (!problems.isEmpty()) {
        ShowMessage(kProblemsFoundText + QStringLiteral("\n\n") + problems, AlignCenterText, vbOKOnly,
                    vbExclamation, kSelectionErrorTitle);
        return;
    }
    QString html;
    const bool built = runExportTrapped([&] {
        if (playersListVisible()) {
            QList<qint32> keys;
            for (const auto& player : selectedPlayers())
                keys << player.first;
            html = CreateHTMLByPlayer(fields, keys);
        } else {
            html = CreateHTMLByDivision(fields, selectedDivisions());
        }
    });
    if (!built)
        return;
    if (optScreen->isChecked()) {
        frmHTML window(this);
        window.setHtmlText(html);
        RunModal(&window);
    } else {
        exportToFile(html);
    }
}

void frmCommCenter::exportToFile(const QString& html) {
    QString path = AskSaveFileName(this, {kExportDialogTitle, ExportFolder(), kExportFilter});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".html");
    if (QFile::exists(path) &&
        ShowMessage(QStringLiteral("This HTML File Already Exists... Overwrite?"), AlignCenterText, vbYesNo,
                    vbQuestion, QStringLiteral("HTML Export Function")) == vbNo)
        return;
    if (runExportTrapped([&] { WriteExportFile(path, RosterPage(ClanName(), Now().date(), html)); }))
        ShowStatus(tr("HTML roster written to %1").arg(QDir::toNativeSeparators(path)));
}

void RegisterCommCenterWindows() {
    RegisterTaskWindow(QStringLiteral("frmCommCenter"), [] { return new frmCommCenter; });
}

} // namespace rm
