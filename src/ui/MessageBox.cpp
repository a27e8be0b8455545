#include "ui/MessageBox.h"

#include "data/DesktopLayout.h"
#include "data/MessageSink.h"
#include "ui/Maintenance.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolButton>

namespace rm {

namespace {

constexpr int kTextWidth = 340;
constexpr int kTextHeight = 112;
const QString kRuntimeErrorTitle = QStringLiteral("Custom Runtime Error");

} // namespace

bool NeedsVerticalScrollBar(int firstVisibleLine, int lineCount, int areaHeight, int lineHeight) {
    if (firstVisibleLine != 0)
        return true;
    if (lineHeight <= 0)
        return false;
    const qint32 visibleLines = RoundHalfEven(double(areaHeight) / double(lineHeight));
    return visibleLines < lineCount;
}

frmMessageBox::frmMessageBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMessageBox"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setFixedSize(48, 48);
    imgIcon->setAlignment(Qt::AlignCenter);

    fmeMessage = new QFrame(this);
    fmeMessage->setObjectName(QStringLiteral("fmeMessage"));
    fmeMessage->setFrameShape(QFrame::StyledPanel);
    fmeMessage->setFrameShadow(QFrame::Sunken);
    txtMessage = new QTextEdit(fmeMessage);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setReadOnly(true);
    txtMessage->setFrameShape(QFrame::NoFrame);
    txtMessage->setFixedSize(kTextWidth, kTextHeight);
    txtMessage->setLineWrapMode(QTextEdit::WidgetWidth);
    txtMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMessage->setFocusPolicy(Qt::ClickFocus);
    txtMessage->setAccessibleName(tr("Message"));
    txtMessage->installEventFilter(this);
    auto* frameLayout = new QVBoxLayout(fmeMessage);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(txtMessage);

    imgOK = MakePictureButton(this, QStringLiteral("imgOK"), QStringLiteral("ok"), tr("OK"), tr("OK"));
    imgYes = MakePictureButton(this, QStringLiteral("imgYes"), QStringLiteral("yes"), tr("Yes"), tr("Yes"));
    imgNo = MakePictureButton(this, QStringLiteral("imgNo"), QStringLiteral("no"), tr("No"), tr("No"));
    imgCancel = MakePictureButton(this, QStringLiteral("imgCancel"), QStringLiteral("cancel"), tr("Cancel"),
                                  tr("Cancel"));
    connect(imgOK, &QToolButton::clicked, this, [this] { pressButton(vbOK); });
    connect(imgYes, &QToolButton::clicked, this, [this] { pressButton(vbYes); });
    connect(imgNo, &QToolButton::clicked, this, [this] { pressButton(vbNo); });
    connect(imgCancel, &QToolButton::clicked, this, [this] { pressButton(vbCancel); });

    // Takes the focus when the box becomes active, so that no button shows a focus mark. It stays
    // in the window at no size (a hidden field would hand the focus on to a button).
    txtFocus = new QLineEdit(this);
    txtFocus->setObjectName(QStringLiteral("txtFocus"));
    txtFocus->setReadOnly(true);
    txtFocus->setFrame(false);
    txtFocus->setGeometry(0, 0, 0, 0);
    txtFocus->setAccessibleName(tr("Message"));

    auto* top = new QHBoxLayout;
    top->addWidget(imgIcon, 0, Qt::AlignTop);
    top->addWidget(fmeMessage, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QToolButton* b : {imgOK, imgYes, imgNo, imgCancel})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMessageBox::reportInvalid(const QString& text) {
    m_invalid = true;
    Messages().showStandardBox(text, kRuntimeErrorTitle, vbCritical);
}

bool frmMessageBox::loadBox() {
    m_invalid = false;

    switch (MsgBoxButtons) {
    case vbOKOnly:
    case vbOKCancel:
    case vbYesNoCancel:
    case vbYesNo:
        imgOK->setVisible(MsgBoxButtons == vbOKOnly || MsgBoxButtons == vbOKCancel);
        imgYes->setVisible(MsgBoxButtons == vbYesNoCancel || MsgBoxButtons == vbYesNo);
        imgNo->setVisible(MsgBoxButtons == vbYesNoCancel || MsgBoxButtons == vbYesNo);
        imgCancel->setVisible(MsgBoxButtons == vbOKCancel || MsgBoxButtons == vbYesNoCancel);
        break;
    default:
        // No button set to offer: the box will not be shown.
        for (QToolButton* b : {imgOK, imgYes, imgNo, imgCancel})
            b->setVisible(false);
        reportInvalid(QStringLiteral("Invalid Custom Message Box Buttons Property"));
        break;
    }

    static const char* const iconNames[] = {"", "info", "question", "exclamation", "critical"};
    int image = 0;
    switch (MsgBoxType) {
    case 0:
    case vbInformation:
        image = 1;
        break;
    case vbQuestion:
        image = 2;
        break;
    case vbExclamation:
        image = 3;
        break;
    case vbCritical:
        image = 4;
        break;
    default:
        reportInvalid(QStringLiteral("Invalid Custom Message Box Type Property"));
        break;
    }
    if (image != 0) {
        m_iconImage = image;
        imgIcon->setPixmap(AppIcon(QString::fromLatin1(iconNames[image])).pixmap(QSize(48, 48)));
        static const char* const iconTexts[] = {"", "Information", "Question", "Exclamation", "Critical"};
        imgIcon->setAccessibleName(tr(iconTexts[image]));
    }

    const QString title = MsgBoxTitle.trimmed();
    if (title.isEmpty())
        reportInvalid(QStringLiteral("Invalid Custom Message Box Title Property"));
    else
        setWindowTitle(title);

    const QString text = MsgBoxText.trimmed();
    if (text.isEmpty()) {
        reportInvalid(QStringLiteral("Invalid Custom Message Box Text Property"));
    } else {
        txtMessage->setPlainText(text);
        ShowScrollBars();
    }

    Qt::Alignment alignment;
    switch (MsgBoxTextAlign) {
    case AlignLeftText:
        alignment = Qt::AlignLeft;
        break;
    case AlignRightText:
        alignment = Qt::AlignRight;
        break;
    case AlignCenterText:
        alignment = Qt::AlignHCenter;
        break;
    default:
        reportInvalid(QStringLiteral("Invalid Custom Message Box Text Alignment Property"));
        return false;
    }
    QTextCursor cursor(txtMessage->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(alignment);
    cursor.mergeBlockFormat(format);
    return !m_invalid;
}

Qt::Alignment frmMessageBox::textAlignment() const {
    return txtMessage->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
}

bool frmMessageBox::scrollBarShown() const {
    return txtMessage->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

void frmMessageBox::ShowScrollBars() {
    QScrollBar* bar = txtMessage->verticalScrollBar();
    const int firstVisibleLine = bar->value() > bar->minimum() ? 1 : 0;

    // The formatting rectangle: the area inside the frame and the document's margins, as wide as
    // the text area is without its scroll bar.
    QTextDocument* document = txtMessage->document();
    const int margin = qRound(2 * document->documentMargin());
    const int frame = 2 * txtMessage->frameWidth();
    document->setTextWidth(txtMessage->width() - frame);
    document->documentLayout()->documentSize(); // lays the text out
    int lines = 0;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next())
        lines += block.layout() ? qMax(1, block.layout()->lineCount()) : 1;
    // The height of a line of text in the area's font (what the letter "W" occupies with its line).
    const int lineHeight = QFontMetrics(txtMessage->font()).height();
    const int areaHeight = txtMessage->height() - frame - margin;

    txtMessage->setVerticalScrollBarPolicy(
        NeedsVerticalScrollBar(firstVisibleLine, lines, areaHeight, lineHeight) ? Qt::ScrollBarAlwaysOn
                                                                                : Qt::ScrollBarAlwaysOff);
}

int frmMessageBox::dismissResponse() const {
    // Visibility as set by loadBox, whether or not the box is on screen.
    if (!imgCancel->isHidden())
        return vbCancel;
    if (!imgNo->isHidden())
        return vbNo;
    if (!imgOK->isHidden())
        return vbOK;
    return 0;
}

void frmMessageBox::pressButton(int response) {
    MsgBoxResponse = response;
    done(response);
}

void frmMessageBox::pressDefault() {
    for (QToolButton* b : {imgOK, imgYes, imgNo, imgCancel}) {
        if (!b->isHidden()) {
            b->click();
            return;
        }
    }
    reject();
}

void frmMessageBox::reject() {
    // Escape and the close box answer like the most cautious button shown.
    MsgBoxResponse = dismissResponse();
    done(MsgBoxResponse);
}

void frmMessageBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_invalid) {
        // Nothing valid to ask: close again at once.
        QMetaObject::invokeMethod(this, &frmMessageBox::reject, Qt::QueuedConnection);
        return;
    }
    txtFocus->setFocus(Qt::ActiveWindowFocusReason);
}

void frmMessageBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            pressDefault();
            return;
        }
        break;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

bool frmMessageBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMessage && event->type() == QEvent::KeyRelease)
        ShowScrollBars();
    return QDialog::eventFilter(watched, event);
}

int ShowMessageBox(const QString& text, int align, int buttons, int type, const QString& title) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    frmMessageBox box(parent);
    box.MsgBoxButtons = buttons;
    box.MsgBoxType = type;
    box.MsgBoxText = text;
    box.MsgBoxTitle = title;
    box.MsgBoxTextAlign = align;
    if (!box.loadBox()) {
        // The box closes as soon as it would become active: the answer of a close.
        box.MsgBoxResponse = box.dismissResponse();
        return box.MsgBoxResponse;
    }
    box.MsgBoxResponse = box.dismissResponse(); // what a close without a button answers
    RunModal(&box);
    return box.MsgBoxResponse;
}

} // namespace rm
