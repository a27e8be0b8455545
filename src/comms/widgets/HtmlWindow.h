#pragma once

#include <QDialog>
#include <QString>

class QTextEdit;
class QToolButton;

namespace rm {

// Shows an exported roster page as text, for copying.
class frmHTML : public QDialog {
    Q_OBJECT

public:
    explicit frmHTML(QWidget* parent = nullptr);

    void setHtmlText(const QString& text);
    QString htmlText() const;

public Q_SLOTS:
    // Puts the whole text on the clipboard as plain text.
    void copyText();

private:
    QTextEdit* txtHTML = nullptr;
    QToolButton* imgCopy = nullptr;
    QToolButton* imgClose = nullptr;
    QString m_text;
};

} // namespace rm
