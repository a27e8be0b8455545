#include "app/About.h"

#include "data/MessageSink.h"
#include "ui/DesktopServices.h"
#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>
#include <QVersionNumber>

namespace rm {

const QStringList& SystemInformationPrograms() {
    static const QStringList programs{
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
        QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"),
        QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lxtask"),
    };
    return programs;
}

void StartSystemInformation() {
    const QString program = FindFirstProgram(SystemInformationPrograms());
    if (program.isEmpty() || !StartProgram(program))
        Messages().showStandardBox(QStringLiteral("System Information Is Unavailable At This Time"),
                                   QStringLiteral("Rallymark"), 0);
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("About ") + QStringLiteral("Rallymark"));

    // The logo is a link to the maker's web site.
    imgLogo = new QToolButton(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setIcon(AppIcon(QStringLiteral("logo")));
    imgLogo->setIconSize(QSize(96, 96));
    imgLogo->setAutoRaise(true);
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->setToolTip(tr("Visit the Brassmoor web site"));
    imgLogo->setAccessibleName(imgLogo->toolTip());
    connect(imgLogo, &QToolButton::clicked, this, [] { OpenWithDesktop(QUrl(kMakerSiteAddress)); });

    auto* lblTitle = new QLabel(QStringLiteral("Rallymark"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblTitle->setFont(big);

    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(RALLYMARK_VERSION));
    auto* lblVersion = new QLabel(QStringLiteral("Version ") + QString::number(version.majorVersion()) +
                                      QLatin1Char('.') + QString::number(version.minorVersion()) +
                                      QLatin1Char('.') + QString::number(version.microVersion()),
                                  this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    auto* lblDescription = new QLabel(
        QStringLiteral(
            "Whether you are playing Quake, Unreal Tournament, Hexen, Heretic, Call of Duty, Return ") +
            QStringLiteral("to Castle Wolfenstein, Alien vs. Predator, Everquest, City of Heroes, ") +
            QStringLiteral(
                "Star Wars Galaxies.. anything! Rallymark can help you schedule your guild's time!"),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    auto* lblDisclaimer = new QLabel(
        tr("This program is provided as is, without warranty of any kind. You use it at your own risk; "
           "the makers are not liable for any loss of data or other damage arising from its use. Keep a "
           "copy of your ClanRoster.mdb file."),
        this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    QFont small = lblDisclaimer->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    lblDisclaimer->setFont(small);

    auto* lblForums = new QLabel(this);
    lblForums->setObjectName(QStringLiteral("lblForums"));
    lblForums->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(kMakerForumsAddress, tr("Rallymark support forums")));
    lblForums->setTextFormat(Qt::RichText);
    lblForums->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblForums->setToolTip(kMakerForumsAddress);
    lblForums->setAccessibleName(tr("Rallymark support forums"));
    connect(lblForums, &QLabel::linkActivated, this,
            [](const QString& link) { OpenWithDesktop(QUrl(link)); });

    imgSysInfo = MakePictureButton(this, QStringLiteral("imgSysInfo"), QStringLiteral("info"),
                                   tr("System Info"), tr("Show information about this computer"));
    imgButton1 = MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), tr("OK"),
                                   tr("Close this window"));
    connect(imgSysInfo, &QToolButton::clicked, this, [] { StartSystemInformation(); });
    connect(imgButton1, &QToolButton::clicked, this, &frmAbout::pressOK);
    ConfirmWithEnter(this, imgButton1);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addSpacing(8);
    text->addWidget(lblForums);
    text->addSpacing(8);
    text->addWidget(lblDisclaimer);
    auto* top = new QHBoxLayout;
    top->addWidget(imgLogo, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(imgSysInfo);
    buttons->addStretch(1);
    buttons->addWidget(imgButton1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    // Wrapped labels get the height their text needs at a fixed width.
    constexpr int textWidth = 380;
    for (QLabel* label : {lblDescription, lblDisclaimer}) {
        label->setFixedWidth(textWidth);
        label->setMinimumHeight(label->heightForWidth(textWidth));
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::pressOK() {
    m_closingAllowed = true;
    accept();
}

void frmAbout::reject() {
    if (m_closingAllowed)
        QDialog::reject();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    if (!m_closingAllowed) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace rm
