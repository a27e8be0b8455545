#pragma once

#include <QLabel>
#include <QString>

class QToolButton;

namespace rm {

// A tab picture with two click areas over its halves. The picture shows which tab is in front and
// the area of that tab stays checked; a click on an area only reports itself, the owner decides.
class TabStrip : public QLabel {
    Q_OBJECT

public:
    struct Tab {
        QString area;    // the click area's objectName
        QString caption; // written on the area; may be empty when the picture names the tab
        QString toolTip;
        QString picture; // the picture's icon name while this tab is in front
    };

    TabStrip(const QString& objectName, const Tab& left, const Tab& right, QWidget* parent);

    void showTab(bool left);
    bool leftShown() const { return m_leftShown; }
    QToolButton* area(bool left) const { return left ? m_leftArea : m_rightArea; }

Q_SIGNALS:
    void tabClicked(bool left);

private:
    QToolButton* makeArea(const Tab& tab);

    Tab m_left;
    Tab m_right;
    QToolButton* m_leftArea = nullptr;
    QToolButton* m_rightArea = nullptr;
    bool m_leftShown = true;
};

} // namespace rm
