#pragma once

#include <QDialog>
#include <QStringList>

class QToolButton;

namespace rm {

inline const QString kMakerSiteAddress = QStringLiteral("https://example.org/brassmoor/");
inline const QString kMakerForumsAddress = QStringLiteral("https://example.org/brassmoor/forums/rallymark/");

// System information programs of Linux desktops, in the order they are tried.
const QStringList& SystemInformationPrograms();
// Starts the first system information program found on PATH; tells the user when there is none
// or it does not start.
void StartSystemInformation();

// Name, version, description and terms of use, links to the maker's pages and the system
// information button. It closes only through OK.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void pressOK();

    QToolButton* imgLogo = nullptr;
    QToolButton* imgSysInfo = nullptr;
    QToolButton* imgButton1 = nullptr;
    bool m_closingAllowed = false;
};

} // namespace rm
