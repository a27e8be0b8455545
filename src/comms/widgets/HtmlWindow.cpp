#include "comms/widgets/HtmlWindow.h"

#include "comms/widgets/CommCenterWindows.h"
#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextEdit>
#include <QToolButton>

namespace rm {

frmHTML::frmHTML(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHTML"));
    setWindowTitle(tr("Exported HTML"));
    setModal(true);
    OpenAtPreferredSize(this, QSize(760, 520));

    auto* layout = new QVBoxLayout(this);
    txtHTML = new QTextEdit(this);
    txtHTML->setObjectName(QStringLiteral("txtHTML"));
    txtHTML->setAcceptRichText(false);
    txtHTML->setReadOnly(true);
    txtHTML->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtHTML->setLineWrapMode(QTextEdit::NoWrap);
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    if (!QFontInfo(courier).fixedPitch())
        courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    txtHTML->setFont(courier);
    layout->addWidget(txtHTML, 1);

    auto* buttons = new QHBoxLayout;
    imgCopy = MakePictureButton(this, QStringLiteral("imgCopy"), QStringLiteral("comms-copy"), tr("Copy"),
                                tr("Copy the HTML to the clipboard"));
    imgClose = MakePictureButton(this, QStringLiteral("imgClose"), QStringLiteral("comms-close"), tr("Close"),
                                 tr("Close this window"));
    buttons->addStretch(1);
    buttons->addWidget(imgCopy);
    buttons->addWidget(imgClose);
    layout->addLayout(buttons);

    connect(imgCopy, &QToolButton::clicked, this, &frmHTML::copyText);
    connect(imgClose, &QToolButton::clicked, this, &QDialog::accept);
}

void frmHTML::setHtmlText(const QString& text) {
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHTML->setPlainText(shown);
}

QString frmHTML::htmlText() const {
    return m_text;
}

void frmHTML::copyText() {
    txtHTML->selectAll();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text, QClipboard::Clipboard); // the export text itself, line ends included
    QTextCursor cursor = txtHTML->textCursor();
    cursor.clearSelection();
    txtHTML->setTextCursor(cursor);
}

} // namespace rm
