#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QWidget;

namespace rm {

// Drop-down lists that hold the referenced table's key beside each visible text: fills the list from
// a selection (trimmed texts, keys as item data) and chooses the first entry when there is one.
void FillKeyedDropDown(QComboBox* list, const QString& sql, const QString& keyColumn,
                       const QString& textColumn);
// Chooses the entry whose key equals the given one; the choice stays as it is when none does.
void ChooseKey(QComboBox* list, qint32 key);
// The key of the chosen entry; 0 when nothing is chosen (the list is empty).
qint32 ChosenKey(const QComboBox* list);

// The resize rule of the list windows: the window keeps a minimum size, the list takes the window's
// height less a band at the bottom, and the button bar stays along the bottom edge. The list and the
// bar are placed by the rule, not by a layout of the window. The window starts at its minimum size.
class ListResizeRule : public QObject {
    Q_OBJECT

public:
    ListResizeRule(QWidget* window, QWidget* list, QWidget* buttonBar, int minWidthTwips, int minHeightTwips,
                   int bandTwips = 1245);

    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QWidget* m_list;
    QWidget* m_buttonBar;
    int m_bandTwips;
};

} // namespace rm
