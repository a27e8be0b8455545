#include "app/Splash.h"

#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QLabel>
#include <QTimer>

namespace rm {

frmSplash::frmSplash(int delayMs, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Rallymark"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setStyleSheet(QStringLiteral("#frmSplash { background: #ffffff; border: 2px solid #2f6db5; }"
                                 "#lblProductName { color: #2f6db5; }"
                                 "#lblVersion, #lblTagline { color: #3d4650; }"));

    auto* imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(AppIcon(QStringLiteral("logo")).pixmap(QSize(128, 128)));
    imgLogo->setAccessibleName(tr("Rallymark logo"));

    auto* lblProductName = new QLabel(QStringLiteral("Rallymark"), this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    lblProductName->setFont(big);

    auto* lblVersion = new QLabel(QStringLiteral("Version ") + QStringLiteral(RALLYMARK_VERSION), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto* lblTagline = new QLabel(tr("Clan roster and match scheduling"), this);
    lblTagline->setObjectName(QStringLiteral("lblTagline"));
    auto* lblLoading = new QLabel(tr("Starting..."), this);
    lblLoading->setObjectName(QStringLiteral("lblLoading"));

    auto* text = new QVBoxLayout;
    text->addStretch(1);
    text->addWidget(lblProductName);
    text->addWidget(lblTagline);
    text->addWidget(lblVersion);
    text->addStretch(1);
    text->addWidget(lblLoading);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(28, 24, 36, 24);
    layout->setSpacing(24);
    layout->addWidget(imgLogo);
    layout->addLayout(text);

    tmrPause = new QTimer(this);
    tmrPause->setObjectName(QStringLiteral("tmrPause"));
    tmrPause->setInterval(delayMs);
    tmrPause->setSingleShot(true);
    connect(tmrPause, &QTimer::timeout, this, &QDialog::accept);
}

void frmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The pause counts from the moment the window is on screen.
    if (!tmrPause->isActive())
        tmrPause->start();
}

} // namespace rm
