#include "roster/widgets/PlayerListWindow.h"

#include "roster/widgets/CatalogueWidgets.h"

#include "comms/widgets/AvailabilityWindows.h"
#include "data/MessageSink.h"
#include "roster/PlayerStore.h"
#include "roster/widgets/PlayerDialog.h"
#include "roster/widgets/RosterCsvWindows.h"
#include "ui/EmailWindow.h"
#include "ui/WindowRegistry.h"

#include <QBoxLayout>
#include <QResizeEvent>
#include <QToolButton>
#include <QTreeWidget>

namespace rm {

namespace {

constexpr int kIdColumn = 6;
constexpr int kMinWidthTwips = 11640;
constexpr int kMinHeightTwips = 3570;

} // namespace

frmPlayers::frmPlayers(QWidget* parent) : MaintenanceWindow(parent) {
    setObjectName(QStringLiteral("frmPlayers"));
    setWindowTitle(tr("Players"));

    lsvPlayers = makeReportList(QStringLiteral("lsvPlayers"));
    // Several players can be selected for an export; Edit, Delete and E-mail take the first.
    lsvPlayers->setSelectionMode(QAbstractItemView::ExtendedSelection);

    m_buttonBar = new QWidget(this);
    m_buttonBar->setObjectName(QStringLiteral("fmeButtons"));
    QBoxLayout* row = makeButtonRow();
    row->setContentsMargins(0, 0, 0, 0);
    for (QToolButton* b : {imgAdd, imgEdit, imgDelete, imgExit})
        b->setParent(m_buttonBar);
    imgEmail = MakePictureButton(m_buttonBar, QStringLiteral("imgEmail"), QStringLiteral("email"),
                                 tr("E-mail"), tr("E-mail the selected player"));
    row->insertWidget(3, imgEmail);
    connect(imgEmail, &QToolButton::clicked, this, &frmPlayers::emailEntry);
    imgImport = MakePictureButton(m_buttonBar, QStringLiteral("imgImport"), QStringLiteral("import"),
                                  tr("Import"), tr("Import players from a CSV file"));
    imgExport = MakePictureButton(m_buttonBar, QStringLiteral("imgExport"), QStringLiteral("export"),
                                  tr("Export"), tr("Export the selected players (or all) to a CSV file"));
    row->insertWidget(4, imgImport);
    row->insertWidget(5, imgExport);
    connect(imgImport, &QToolButton::clicked, this, &frmPlayers::importPlayers);
    connect(imgExport, &QToolButton::clicked, this, &frmPlayers::exportPlayers);
    imgAskAvailability =
        MakePictureButton(m_buttonBar, QStringLiteral("imgAskAvailability"), QStringLiteral("calendar"),
                          QStringLiteral("Ask for availability\u2026"),
                          tr("Send the selected players (or all) their week to fill in"));
    imgPasteReplies = MakePictureButton(m_buttonBar, QStringLiteral("imgPasteReplies"),
                                        QStringLiteral("comms-copy"), QStringLiteral("Paste replies\u2026"),
                                        tr("Read the players' replies and save their weeks"));
    row->insertWidget(6, imgAskAvailability);
    row->insertWidget(7, imgPasteReplies);
    connect(imgAskAvailability, &QToolButton::clicked, this, &frmPlayers::askAvailability);
    connect(imgPasteReplies, &QToolButton::clicked, this, &frmPlayers::pasteReplies);
    m_buttonBar->setLayout(row);

    new ListResizeRule(this, lsvPlayers, m_buttonBar, kMinWidthTwips, kMinHeightTwips);
    refresh();
}

void frmPlayers::refresh() {
    SetupReportColumns(lsvPlayers, {{QStringLiteral("Online Name"), 2500},
                                    {QStringLiteral("Real Name"), 3100},
                                    {QStringLiteral("Active"), 700},
                                    {QStringLiteral("TimeZone"), 900},
                                    {QStringLiteral("E-mail"), 3100},
                                    {QStringLiteral("Notes"), 700, Qt::AlignHCenter},
                                    {QStringLiteral("ID"), 0}});
    RunTrapped([this] {
        for (const PlayerListRow& p : ReadPlayerList()) {
            auto* item = new QTreeWidgetItem(QStringList{
                p.onlineName, p.realName, p.active ? QStringLiteral("Yes") : QStringLiteral("No"), p.zoneName,
                p.email, p.hasNotes ? QStringLiteral("Yes") : QString(), QString::number(p.id)});
            item->setTextAlignment(5, Qt::AlignHCenter | Qt::AlignVCenter);
            lsvPlayers->addTopLevelItem(item);
        }
    });
    ClearSelection(lsvPlayers);
}

qint32 frmPlayers::selectedKey() const {
    return FirstSelectedKey(lsvPlayers, kIdColumn);
}

MaintainDialog* frmPlayers::createDialog() {
    return new frmMaintainPlayer(this);
}

QString frmPlayers::noSelectionText(const QString& button) const {
    return QStringLiteral("Please select a Player from the list before selecting ") + button;
}

void frmPlayers::emailEntry() {
    const qint32 key = selectedKey();
    if (key == 0) {
        ShowMessage(noSelectionText(QStringLiteral("Email")), AlignCenterText, vbOKOnly, vbExclamation,
                    QStringLiteral("No Selection Made"));
        return;
    }
    EmailRequest request;
    request.sendMode = QStringLiteral("Q");
    request.recipientKey = QString::number(key);
    OpenEmailWindow(request, this);
}

void frmPlayers::importPlayers() {
    if (ImportPlayers(this))
        refresh();
}

void frmPlayers::exportPlayers() {
    ExportPlayers(this, selectedKeys());
}

void frmPlayers::askAvailability() {
    AskForAvailability(selectedKeys(), this);
}

void frmPlayers::pasteReplies() {
    if (PasteReplies(this))
        refresh();
}

QList<qint32> frmPlayers::selectedKeys() const {
    QList<qint32> keys;
    for (int i = 0; i < lsvPlayers->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lsvPlayers->topLevelItem(i);
        if (item->isSelected())
            keys << item->text(kIdColumn).toInt();
    }
    return keys;
}

void RegisterPlayerWindows() {
    RegisterTaskWindow(QStringLiteral("frmPlayers"), [] { return new frmPlayers; });
}

} // namespace rm
