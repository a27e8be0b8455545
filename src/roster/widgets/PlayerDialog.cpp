#include "roster/widgets/PlayerDialog.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "roster/MembershipStore.h"
#include "roster/PlayerRules.h"
#include "roster/widgets/MembershipDialog.h"
#include "roster/widgets/ScheduleWindow.h"
#include "time/ZoneClock.h"
#include "ui/NumericEntry.h"
#include "ui/PopupMenu.h"
#include "ui/StatusMessage.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>

namespace rm {

namespace {

QLineEdit* makeEdit(QWidget* parent, const QString& name, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    SelectAllOnFocus(edit);
    return edit;
}

QComboBox* makeCombo(QWidget* parent, const QString& name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(20);
    return combo;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

void selectData(QComboBox* combo, qint32 key) {
    const int at = combo->findData(key);
    if (at >= 0)
        combo->setCurrentIndex(at);
}

// A stored key whose entry is gone (deleted while deletes were still allowed) shows as "(none)" and
// is written back unchanged unless the user picks another entry.
void selectStored(QComboBox* combo, qint32 key) {
    if (key != 0 && combo->findData(key) < 0)
        combo->insertItem(0, QStringLiteral("(none)"), key);
    selectData(combo, key);
}

qint32 selectedKey(const QComboBox* combo) {
    return combo->currentIndex() >= 0 ? combo->currentData().toInt() : 0;
}

} // namespace

frmMaintainPlayer::frmMaintainPlayer(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmMaintainPlayer"));
    setWindowTitle(tr("Player Entry"));

    txtOnlineName = makeEdit(this, QStringLiteral("txtOnlineName"), 40);
    txtRealName = makeEdit(this, QStringLiteral("txtRealName"), 75);
    txtEmailPrimary = makeEdit(this, QStringLiteral("txtEmailPrimary"), 50);
    txtEmailSecondary = makeEdit(this, QStringLiteral("txtEmailSecondary"), 50);
    cboTimeZone = makeCombo(this, QStringLiteral("cboTimeZone"));
    cboConnection = makeCombo(this, QStringLiteral("cboConnection"));
    // Zone descriptions are long: the list is as wide as its longest entry.
    cboTimeZone->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (QLineEdit* mail : {txtEmailPrimary, txtEmailSecondary})
        WidenForText(mail, QStringLiteral("firstname.lastname@example.com"));
    chkActive = new QCheckBox(tr("Active"), this);
    chkActive->setObjectName(QStringLiteral("chkActive"));

    auto* top = new QGridLayout;
    top->addWidget(makeLabel(this, QStringLiteral("lblOnlineName"), tr("Online Name:"), txtOnlineName), 0, 0);
    top->addWidget(txtOnlineName, 0, 1);
    top->addWidget(makeLabel(this, QStringLiteral("lblTimeZone"), tr("Time Zone:"), cboTimeZone), 0, 2);
    top->addWidget(cboTimeZone, 0, 3);
    top->addWidget(makeLabel(this, QStringLiteral("lblEmailPrimary"), tr("Email:"), txtEmailPrimary), 1, 0);
    top->addWidget(txtEmailPrimary, 1, 1);
    top->addWidget(
        makeLabel(this, QStringLiteral("lblEmailSecondary"), tr("Backup Email:"), txtEmailSecondary), 1, 2);
    top->addWidget(txtEmailSecondary, 1, 3);
    top->addWidget(makeLabel(this, QStringLiteral("lblRealName"), tr("Real Name:"), txtRealName), 2, 0);
    top->addWidget(txtRealName, 2, 1);
    top->addWidget(makeLabel(this, QStringLiteral("lblConnection"), tr("Connection:"), cboConnection), 2, 2);
    top->addWidget(cboConnection, 2, 3);
    top->addWidget(chkActive, 3, 1);
    // The chosen zone's clock now and its next change, so that a wrong zone shows at once.
    lblZoneClock = new QLabel(this);
    lblZoneClock->setObjectName(QStringLiteral("lblZoneClock"));
    lblZoneClock->setWordWrap(true);
    top->addWidget(lblZoneClock, 3, 2, 1, 2);
    connect(cboTimeZone, &QComboBox::currentIndexChanged, this, [this] {
        RunTrapped([this] {
            const std::optional<ZoneClock> clock = LoadZoneClock(selectedKey(cboTimeZone));
            lblZoneClock->setText(clock ? ZoneNowText(*clock, Now().toUTC(), CurrentOptions().TimeFormat)
                                        : QString());
        });
    });

    // Instant messengers.
    auto* fmeInstantMessaging = new QGroupBox(tr("-Instant Messenging-"), this);
    fmeInstantMessaging->setObjectName(QStringLiteral("fmeInstantMessaging"));
    txtICQ = makeEdit(fmeInstantMessaging, QStringLiteral("txtICQ"), 50);
    AttachNumericFilter(txtICQ, false, false, 0);
    txtAIM = makeEdit(fmeInstantMessaging, QStringLiteral("txtAIM"), 50);
    txtMSN = makeEdit(fmeInstantMessaging, QStringLiteral("txtMSN"), 50);
    txtYahoo = makeEdit(fmeInstantMessaging, QStringLiteral("txtYahoo"), 50);
    txtDiscord = makeEdit(fmeInstantMessaging, QStringLiteral("txtDiscord"), 50);
    txtDiscord->setToolTip(tr("The Discord user id (Developer Mode: right-click the member, Copy User ID) "
                              "for mentions in posts; a Discord name is shown as text"));
    auto* im = new QGridLayout(fmeInstantMessaging);
    im->addWidget(makeLabel(fmeInstantMessaging, QStringLiteral("lblICQ"), tr("ICQ:"), txtICQ), 0, 0);
    im->addWidget(txtICQ, 0, 1);
    im->addWidget(makeLabel(fmeInstantMessaging, QStringLiteral("lblAIM"), tr("AIM:"), txtAIM), 0, 2);
    im->addWidget(txtAIM, 0, 3);
    im->addWidget(makeLabel(fmeInstantMessaging, QStringLiteral("lblMSN"), tr("MSNIM:"), txtMSN), 1, 0);
    im->addWidget(txtMSN, 1, 1);
    im->addWidget(makeLabel(fmeInstantMessaging, QStringLiteral("lblYahoo"), tr("Yahoo!:"), txtYahoo), 1, 2);
    im->addWidget(txtYahoo, 1, 3);
    im->addWidget(makeLabel(fmeInstantMessaging, QStringLiteral("lblDiscord"), tr("Discord:"), txtDiscord), 2,
                  0);
    im->addWidget(txtDiscord, 2, 1);

    // The custom fields, each frame shown only when a field of its kind is switched on.
    fmeCustomText = new QGroupBox(this);
    fmeCustomText->setObjectName(QStringLiteral("fmeCustomText"));
    fmeCustomDrop = new QGroupBox(this);
    fmeCustomDrop->setObjectName(QStringLiteral("fmeCustomDrop"));
    auto* customText = new QGridLayout(fmeCustomText);
    auto* customDrop = new QGridLayout(fmeCustomDrop);
    for (int n = 0; n < kCustomFieldCount; ++n) {
        txtCustom[n] = makeEdit(fmeCustomText, QStringLiteral("txtCustom%1").arg(n), 50);
        lblCustom[n] =
            makeLabel(fmeCustomText, QStringLiteral("lblCustom%1").arg(n), QString(), txtCustom[n]);
        customText->addWidget(lblCustom[n], n / 2, (n % 2) * 2);
        customText->addWidget(txtCustom[n], n / 2, (n % 2) * 2 + 1);
        cboCustomDrop[n] = makeCombo(fmeCustomDrop, QStringLiteral("cboCustomDrop%1").arg(n));
        lblCustomDrop[n] =
            makeLabel(fmeCustomDrop, QStringLiteral("lblCustomDrop%1").arg(n), QString(), cboCustomDrop[n]);
        customDrop->addWidget(lblCustomDrop[n], n / 2, (n % 2) * 2);
        customDrop->addWidget(cboCustomDrop[n], n / 2, (n % 2) * 2 + 1);
        txtCustom[n]->hide();
        lblCustom[n]->hide();
        cboCustomDrop[n]->hide();
        lblCustomDrop[n]->hide();
    }
    fmeCustomText->hide();
    fmeCustomDrop->hide();

    // Memberships.
    auto* lblMemberships = new QLabel(tr("-- Divisions Played In --"), this);
    lblMemberships->setObjectName(QStringLiteral("lblMemberships"));
    lsvMemberships = new QTreeWidget(this);
    lsvMemberships->setObjectName(QStringLiteral("lsvMemberships"));
    lsvMemberships->setToolTip(tr("Right Click for Editing Options"));
    lsvMemberships->setContextMenuPolicy(Qt::CustomContextMenu);
    lsvMemberships->setSelectionMode(QAbstractItemView::SingleSelection);
    lsvMemberships->setMinimumHeight(90);
    SetupMembershipColumns(lsvMemberships);
    mnuMemberships = new QMenu(this);
    mnuMemberships->setObjectName(QStringLiteral("mnuMemberships"));
    mnuAddDivision = mnuMemberships->addAction(tr("Add Division"));
    mnuAddDivision->setObjectName(QStringLiteral("mnuAddDivision"));
    mnuEditDivision = mnuMemberships->addAction(tr("Edit Division"));
    mnuEditDivision->setObjectName(QStringLiteral("mnuEditDivision"));
    mnuDeleteDivision = mnuMemberships->addAction(tr("Delete From Division"));
    mnuDeleteDivision->setObjectName(QStringLiteral("mnuDeleteDivision"));
    connect(lsvMemberships, &QWidget::customContextMenuRequested, this,
            &frmMaintainPlayer::showMembershipMenu);

    // Notes.
    auto* lblNotes = new QLabel(tr("-- Notes --"), this);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setMinimumHeight(70);

    auto* buttons = new QHBoxLayout;
    imgSchedule = MakePictureButton(this, QStringLiteral("imgSchedule"), QStringLiteral("calendar"),
                                    tr("Schedule"), tr("The player's weekly schedule"));
    connect(imgSchedule, &QToolButton::clicked, this, &frmMaintainPlayer::openSchedule);
    buttons->addWidget(imgSchedule);
    addDialogButtons(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(fmeInstantMessaging);
    layout->addWidget(fmeCustomText);
    layout->addWidget(fmeCustomDrop);
    layout->addWidget(lblMemberships, 0, Qt::AlignHCenter);
    layout->addWidget(lsvMemberships);
    layout->addWidget(lblNotes, 0, Qt::AlignHCenter);
    layout->addWidget(txtNotes);
    layout->addLayout(buttons);
}

void frmMaintainPlayer::setDay(int day, const QStringList& list) {
    m_days[day] = list;
    m_daysSet = true;
}

void frmMaintainPlayer::setDays(const WeekLists& days) {
    m_days = days;
    m_daysSet = true;
}

void frmMaintainPlayer::loadDialog() {
    const OptionsRecord& options = CurrentOptions();
    for (int n = 0; n < kCustomFieldCount; ++n) {
        if (options.CustomTextEnabled[n]) {
            lblCustom[n]->setText(options.CustomTextTitle[n] + QLatin1Char(':'));
            lblCustom[n]->show();
            txtCustom[n]->show();
            fmeCustomText->show();
        }
        if (options.CustomDropEnabled[n]) {
            lblCustomDrop[n]->setText(options.CustomDropTitle[n] + QLatin1Char(':'));
            lblCustomDrop[n]->show();
            cboCustomDrop[n]->show();
            fmeCustomDrop->show();
            cboCustomDrop[n]->clear();
            cboCustomDrop[n]->addItem(QString(), 0);
            RowSet rows = Db().execute(QStringLiteral("Select Custom_ID, Custom_FieldText ") +
                                       QStringLiteral("From CustomFields ") +
                                       QStringLiteral("Where Custom_FieldNumber = %1 ").arg(n + 1) +
                                       QStringLiteral("Order By Custom_FieldText"));
            for (; !rows.eof(); rows.moveNext())
                cboCustomDrop[n]->addItem(rows.text(QStringLiteral("Custom_FieldText")).trimmed(),
                                          rows.integer(QStringLiteral("Custom_ID")));
            cboCustomDrop[n]->setCurrentIndex(0);
        }
    }

    {
        RowSet zones = Db().execute(QStringLiteral("Select TZ_ID, TZ_Name, TZ_Description ") +
                                    QStringLiteral("From TimeZones ") + QStringLiteral("Order By TZ_Name"));
        for (; !zones.eof(); zones.moveNext())
            cboTimeZone->addItem(zones.text(QStringLiteral("TZ_Name")).trimmed() + QStringLiteral(" - ") +
                                     zones.text(QStringLiteral("TZ_Description")).trimmed(),
                                 zones.integer(QStringLiteral("TZ_ID")));
        if (cboTimeZone->count() > 0)
            cboTimeZone->setCurrentIndex(0);
    }
    {
        RowSet connections = Db().execute(QStringLiteral("Select Connection_ID, Connection_Name ") +
                                          QStringLiteral("From ConnectionTypes ") +
                                          QStringLiteral("Order By Connection_Name"));
        for (; !connections.eof(); connections.moveNext())
            cboConnection->addItem(connections.text(QStringLiteral("Connection_Name")).trimmed(),
                                   connections.integer(QStringLiteral("Connection_ID")));
        // "(none)" stands for a player without a connection type, so that saving keeps the 0.
        cboConnection->insertItem(0, tr("(none)"), 0);
        cboConnection->setCurrentIndex(cboConnection->count() > 1 ? 1 : 0);
    }
    SetupMembershipColumns(lsvMemberships);

    if (isAddMode()) {
        // A new player most likely lives where the user does, and plays.
        selectData(cboTimeZone, options.UserTimeZone);
        chkActive->setChecked(true);
        return;
    }
    if (const std::optional<PlayerRecord> p = LoadPlayer(PrimaryKey)) {
        txtOnlineName->setText(p->onlineName);
        txtRealName->setText(p->realName);
        txtEmailPrimary->setText(p->emailPrimary);
        txtEmailSecondary->setText(p->emailSecondary);
        txtAIM->setText(p->aim);
        txtMSN->setText(p->msn);
        txtYahoo->setText(p->yahoo);
        txtDiscord->setText(p->discord);
        txtNotes->setPlainText(p->notes);
        selectData(cboTimeZone, p->timeZone);
        selectStored(cboConnection, p->connection);
        chkActive->setChecked(p->active);
        txtICQ->setText(p->icq);
        for (int n = 0; n < kCustomFieldCount; ++n) {
            txtCustom[n]->setText(p->customText[n]);
            m_loadedCustomDrop[n] = p->customDrop[n];
            if (options.CustomDropEnabled[n])
                selectStored(cboCustomDrop[n], p->customDrop[n]);
        }
        m_loadedZone = p->timeZone;
        m_loadedName = p->onlineName;
        m_loadedRow = StoredPlayerRow(PrimaryKey);
    }
    fillMemberships();
    if (isEditMode()) {
        m_loadedDays = LoadPlayerSchedule(PrimaryKey, m_loadedZone);
        m_days = m_loadedDays;
        m_scheduleLoaded = true;
    } else {
        imgSchedule->setEnabled(false);
    }
}

void frmMaintainPlayer::fillMemberships() {
    SetupMembershipColumns(lsvMemberships);
    for (const MembershipRow& row : ReadMemberships(PrimaryKey))
        AddMembershipRow(lsvMemberships, row.division, row.title, row.divisionId, row.titleId);
    ClearSelection(lsvMemberships);
}

QList<QWidget*> frmMaintainPlayer::editableFields() const {
    QList<QWidget*> fields{txtOnlineName, txtRealName,   txtEmailPrimary, txtEmailSecondary, txtICQ,
                           txtAIM,        txtYahoo,      txtMSN,          txtDiscord,        txtNotes,
                           cboTimeZone,   cboConnection, chkActive,       lsvMemberships,    imgSchedule};
    for (int n = 0; n < kCustomFieldCount; ++n)
        fields << txtCustom[n] << cboCustomDrop[n];
    return fields;
}

PlayerRecord frmMaintainPlayer::record() const {
    PlayerRecord p;
    p.timeZone = selectedKey(cboTimeZone);
    p.onlineName = txtOnlineName->text();
    p.active = chkActive->isChecked();
    p.realName = txtRealName->text();
    p.emailPrimary = txtEmailPrimary->text();
    p.emailSecondary = txtEmailSecondary->text();
    p.icq = txtICQ->text();
    p.aim = txtAIM->text();
    p.yahoo = txtYahoo->text();
    p.msn = txtMSN->text();
    p.discord = txtDiscord->text();
    p.connection = selectedKey(cboConnection);
    p.notes = txtNotes->toPlainText();
    for (int n = 0; n < kCustomFieldCount; ++n) {
        p.customText[n] = txtCustom[n]->text();
        if (CurrentOptions().CustomDropEnabled[n])
            p.customDrop[n] = cboCustomDrop[n]->currentText().isEmpty() ? 0 : selectedKey(cboCustomDrop[n]);
        else
            p.customDrop[n] = m_loadedCustomDrop[n]; // a switched-off field keeps its stored choice
    }
    return p;
}

QList<MembershipEntry> frmMaintainPlayer::memberships() const {
    QList<MembershipEntry> list;
    for (int i = 0; i < lsvMemberships->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lsvMemberships->topLevelItem(i);
        list << MembershipEntry{row->text(colDivisionID).toInt(), row->text(colTitleID).toInt()};
    }
    return list;
}

std::optional<WeekLists> frmMaintainPlayer::scheduleToWrite() const {
    if (isAddMode())
        return m_daysSet ? std::optional<WeekLists>(m_days) : std::nullopt;
    if (!m_scheduleLoaded && !m_daysSet)
        return std::nullopt;
    // Stored rows are rewritten only when the local stretches or the player's zone changed, so that
    // rows written under another daylight state stay where they are.
    if (m_days != m_loadedDays || selectedKey(cboTimeZone) != m_loadedZone)
        return m_days;
    return std::nullopt;
}

bool frmMaintainPlayer::save() {
    if (isDeleteMode()) {
        DeletePlayer(PrimaryKey);
        ShowStatus(tr("Player \"%1\" deleted").arg(txtOnlineName->text().trimmed()));
        return true;
    }
    const PlayerRecord p = record();
    std::optional<QString> message = PlayerValidationMessage(p);
    if (!message)
        message = PlayerRosterRulesMessage(p, isAddMode() ? 0 : PrimaryKey);
    if (message) {
        ShowMessage(*message, AlignLeftText, vbOKOnly, vbExclamation, kDataValidationTitle);
        return false;
    }
    PlayerSave data{p, memberships(), scheduleToWrite()};
    if (isAddMode()) {
        try {
            AddPlayer(data);
        } catch (const PlayerInsertError& e) {
            ShowMessage(ErrorReportText(e.description()), AlignCenterText, vbOKOnly, vbCritical,
                        kErrorReportTitle);
            return false;
        }
    } else {
        if (StoredPlayerRow(PrimaryKey) != m_loadedRow &&
            ShowMessage(ChangedElsewhereMessage(m_loadedName), AlignLeftText, vbOKCancel, vbQuestion,
                        kChangedElsewhereTitle) != vbOK)
            return false;
        UpdatePlayer(PrimaryKey, data);
    }
    ShowStatus(tr("Player \"%1\" saved").arg(p.onlineName.trimmed()));
    return true;
}

void frmMaintainPlayer::openSchedule() {
    frmMaintainSchedule window(this);
    window.EditMode = EditMode;
    window.Days = m_days;
    if (RunModal(&window) == QDialog::Accepted)
        setDays(window.Days);
}

void frmMaintainPlayer::showMembershipMenu(const QPoint& pos) {
    QAction* chosen = RunPopupMenu(mnuMemberships, lsvMemberships->viewport()->mapToGlobal(pos));
    if (chosen == mnuAddDivision)
        addMembership();
    else if (chosen == mnuEditDivision)
        editMembership();
    else if (chosen == mnuDeleteDivision)
        deleteMembership();
}

void frmMaintainPlayer::addMembership() {
    bool anyOffered = true;
    if (!RunTrapped(
            [&] { anyOffered = !OfferedDivisions(MembershipDivisionKeys(lsvMemberships)).isEmpty(); }))
        return;
    if (!anyOffered) {
        ShowMessage(QStringLiteral("The player is already a member of every active division."),
                    AlignCenterText, vbOKOnly, vbInformation, QStringLiteral("No Division Available"));
        return;
    }
    frmMaintainMembership dialog(lsvMemberships, this);
    dialog.EditMode = QStringLiteral("Add");
    RunModal(&dialog);
    lsvMemberships->update();
}

void frmMaintainPlayer::editMembership() {
    const QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < lsvMemberships->topLevelItemCount() && !row; ++i)
        if (lsvMemberships->topLevelItem(i)->isSelected())
            row = lsvMemberships->topLevelItem(i);
    const qint32 division = row ? row->text(colDivisionID).toInt() : 0;
    if (division == 0) {
        ShowMessage(QStringLiteral("Please select a Division from the list before selecting Edit"),
                    AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("No Selection Made"));
        return;
    }
    frmMaintainMembership dialog(lsvMemberships, this);
    dialog.EditMode = QStringLiteral("Edit");
    dialog.DivisionKey = division;
    dialog.TitleKey = row->text(colTitleID).toInt();
    RunModal(&dialog);
    lsvMemberships->update();
}

void frmMaintainPlayer::deleteMembership() {
    for (int i = 0; i < lsvMemberships->topLevelItemCount(); ++i) {
        if (lsvMemberships->topLevelItem(i)->isSelected()) {
            delete lsvMemberships->takeTopLevelItem(i);
            return;
        }
    }
    ShowMessage(QStringLiteral("Please select a Division from the list before selecting Edit"),
                AlignCenterText, vbOKOnly, vbExclamation, QStringLiteral("No Selection Made"));
}

} // namespace rm
