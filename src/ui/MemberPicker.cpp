#include "ui/MemberPicker.h"

#include "comms/Templates.h"
#include "ui/ListRefresh.h"
#include "ui/Maintenance.h"
#include "ui/TabStrip.h"

#include <QBoxLayout>
#include <QListWidget>
#include <QToolButton>

namespace rm {

MemberPicker::MemberPicker(const Look& look, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlMembers"));
    imgTab = new TabStrip(QStringLiteral("imgTab"),
                          {QStringLiteral("imgClickPlayer"), look.tabCaptions ? tr("Players") : QString(),
                           tr("Show the players"), look.tabPictures + QStringLiteral("-players")},
                          {QStringLiteral("imgClickDivision"), look.tabCaptions ? tr("Divisions") : QString(),
                           tr("Show the divisions"), look.tabPictures + QStringLiteral("-divisions")},
                          this);
    imgTab->setMinimumHeight(TwipsToPixels(375, this));
    const auto makeList = [this](const QString& name) {
        auto* list = new QListWidget(this);
        list->setObjectName(name);
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setToolTip(tr("Select Member(s)"));
        connect(list, &QListWidget::itemSelectionChanged, this, &MemberPicker::selectionChanged);
        return list;
    };
    lstPlayers = makeList(QStringLiteral("lstPlayers"));
    lstDivisions = makeList(QStringLiteral("lstDivisions"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(imgTab);
    layout->addWidget(lstPlayers, 1);
    layout->addWidget(lstDivisions, 1);
    if (look.selectButtons) {
        auto* imgSelectAll =
            MakePictureButton(this, QStringLiteral("imgSelectAll"), QStringLiteral("scheduling-select-all"),
                              tr("Select All"), tr("Select every entry of the list"));
        auto* imgClearAll =
            MakePictureButton(this, QStringLiteral("imgClearAll"), QStringLiteral("scheduling-clear-all"),
                              tr("Clear All"), tr("Clear the selection of the list"));
        connect(imgSelectAll, &QToolButton::clicked, this, &MemberPicker::selectAll);
        connect(imgClearAll, &QToolButton::clicked, this, &MemberPicker::clearAll);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(imgSelectAll);
        buttons->addWidget(imgClearAll);
        buttons->addStretch(1);
        layout->addLayout(buttons);
    }
    connect(imgTab, &TabStrip::tabClicked, this, &MemberPicker::showList);

    showList(true);
    // A list that cannot be read stays empty; the window is still usable.
    RunTrapped([this] { fill(); });
    RefillOnChange(this, [this] { fill(); });
}

void MemberPicker::fill() {
    FillPlainList(lstPlayers, CommPlayersListSql(), QStringLiteral("Player_ID"),
                  QStringLiteral("Player_OnlineName"));
    FillPlainList(lstDivisions, CommDivisionsListSql(), QStringLiteral("Division_ID"),
                  QStringLiteral("Division_Name"));
    Q_EMIT selectionChanged();
}

void MemberPicker::showPlayers() {
    showList(true);
}

void MemberPicker::showDivisions() {
    showList(false);
}

void MemberPicker::showList(bool players) {
    imgTab->showTab(players);
    lstPlayers->setHidden(!players);
    lstDivisions->setHidden(players);
    Q_EMIT selectionChanged();
}

QListWidget* MemberPicker::visibleList() const {
    return playersListVisible() ? lstPlayers : lstDivisions;
}

void MemberPicker::selectAll() {
    visibleList()->selectAll();
}

void MemberPicker::clearAll() {
    visibleList()->clearSelection();
}

bool MemberPicker::playersListVisible() const {
    return imgTab->leftShown();
}

QList<QPair<qint32, QString>> MemberPicker::selectedPlayers() const {
    return SelectedEntries(lstPlayers);
}

QList<qint32> MemberPicker::selectedDivisions() const {
    return SelectedKeys(lstDivisions);
}

bool MemberPicker::anySelected() const {
    return !visibleList()->selectedItems().isEmpty();
}

} // namespace rm
