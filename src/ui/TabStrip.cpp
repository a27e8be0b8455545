#include "ui/TabStrip.h"

#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QToolButton>

namespace rm {

namespace {

const QSize kPictureSize(240, 28);

} // namespace

TabStrip::TabStrip(const QString& objectName, const Tab& left, const Tab& right, QWidget* parent)
    : QLabel(parent), m_left(left), m_right(right) {
    setObjectName(objectName);
    setScaledContents(true);
    m_leftArea = makeArea(left);
    m_rightArea = makeArea(right);
    auto* areas = new QHBoxLayout(this);
    areas->setContentsMargins(0, 0, 0, 0);
    areas->setSpacing(0);
    areas->addWidget(m_leftArea);
    areas->addWidget(m_rightArea);
    connect(m_leftArea, &QToolButton::clicked, this, [this] { Q_EMIT tabClicked(true); });
    connect(m_rightArea, &QToolButton::clicked, this, [this] { Q_EMIT tabClicked(false); });
    showTab(true);
}

QToolButton* TabStrip::makeArea(const Tab& tab) {
    auto* area = new QToolButton(this);
    area->setObjectName(tab.area);
    area->setText(tab.caption);
    area->setCheckable(true);
    area->setAutoRaise(true);
    area->setToolTip(tab.toolTip);
    area->setAccessibleName(tab.toolTip);
    area->setCursor(Qt::PointingHandCursor);
    area->setToolButtonStyle(Qt::ToolButtonTextOnly);
    area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    area->setStyleSheet(
        QStringLiteral("QToolButton { background: transparent; border: none; }"
                       "QToolButton:checked { font-weight: bold; text-decoration: underline; }"));
    return area;
}

void TabStrip::showTab(bool left) {
    m_leftShown = left;
    setPixmap(AppIcon(left ? m_left.picture : m_right.picture).pixmap(kPictureSize));
    m_leftArea->setChecked(left);
    m_rightArea->setChecked(!left);
}

} // namespace rm
