#pragma once

#include "comms/EmailRequest.h"

#include <QWidget>

class QListWidget;
class QToolButton;

namespace rm {

class TabStrip;

// The active players and divisions under a tab picture whose halves switch between the two lists.
// Only the list in front counts: it is the picker's selection, which the e-mail window and the
// searches read. The lists follow every change of the stored rows and keep what was selected.
class MemberPicker : public QWidget, public RecipientSelection {
    Q_OBJECT

public:
    struct Look {
        QString tabPictures;        // the pictures "<tabPictures>-players" and "<tabPictures>-divisions"
        bool tabCaptions = false;   // the tab areas name their lists
        bool selectButtons = false; // Select All and Clear All under the lists
    };

    MemberPicker(const Look& look, QWidget* parent);

    bool playersListVisible() const override;
    QList<QPair<qint32, QString>> selectedPlayers() const override;
    QList<qint32> selectedDivisions() const override;
    // Whether the list in front has a selected entry.
    bool anySelected() const;

public Q_SLOTS:
    // Rereads both lists; raises DbError when the store refuses.
    void fill();
    void showPlayers();
    void showDivisions();
    void selectAll();
    void clearAll();

Q_SIGNALS:
    // The list in front, its entries or its selection changed.
    void selectionChanged();

private:
    void showList(bool players);
    QListWidget* visibleList() const;

    TabStrip* imgTab = nullptr;
    QListWidget* lstPlayers = nullptr;
    QListWidget* lstDivisions = nullptr;
};

} // namespace rm
