#include "comms/widgets/AvailabilityWindows.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "data/Options.h"
#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

namespace rm {

namespace {

const QString kAskTitle = QStringLiteral("Ask for availability");
const QString kPasteTitle = QStringLiteral("Paste replies");

struct BusyPointer {
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// A week as seven small day bars, Sunday on top, one pixel column pair per half-hour.
QPixmap WeekPicture(const WeekCells& week) {
    constexpr int cellWidth = 2;
    constexpr int rowHeight = 4;
    QPixmap picture(kDayCells * cellWidth, 7 * rowHeight);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (int d = 0; d < 7; ++d) {
        painter.fillRect(0, d * rowHeight, kDayCells * cellWidth, rowHeight - 1, QColor(0xe0, 0xe0, 0xe0));
        for (int c = 0; c < kDayCells; ++c)
            if (week[d * kDayCells + c])
                painter.fillRect(c * cellWidth, d * rowHeight, cellWidth, rowHeight - 1,
                                 QColor(0x2e, 0x8b, 0x57));
    }
    return picture;
}

// The week in words, for the tooltip: "Mon 18:00-20:00" lines.
QString WeekText(const WeekCells& week) {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const WeekLists lists = ListsFromCells(week);
    QStringList lines;
    for (int d = 0; d < 7; ++d)
        if (!lists[d].isEmpty())
            lines << QString::fromLatin1(days[d]) + QLatin1Char(' ') +
                         lists[d].join(QStringLiteral(", ")).replace(QLatin1Char('|'), QLatin1Char('-'));
    return lines.isEmpty() ? QStringLiteral("No time at all") : lines.join(QLatin1Char('\n'));
}

QString HoursText(const WeekCells& week) {
    return QStringLiteral("%1 h").arg(static_cast<double>(week.count()) / 2.0);
}

QToolButton* DialogButton(QWidget* parent, const char* name, const char* icon, const QString& caption) {
    return MakePictureButton(parent, QString::fromLatin1(name), QString::fromLatin1(icon), caption, caption);
}

} // namespace

frmAskAvailability::frmAskAvailability(const QList<qint32>& players, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAskAvailability"));
    setWindowTitle(kAskTitle);
    resize(560, 560);
    RunTrapped([&] { m_recipients = AvailabilityRecipients(players); });

    auto* layout = new QVBoxLayout(this);
    auto* lblPlayers = new QLabel(
        QStringLiteral("Each player gets a page of their own to fill in (%1):").arg(m_recipients.size()),
        this);
    lblPlayers->setObjectName(QStringLiteral("lblPlayers"));
    layout->addWidget(lblPlayers);
    lstPlayers = new QListWidget(this);
    lstPlayers->setObjectName(QStringLiteral("lstPlayers"));
    for (const PageRecipient& r : m_recipients)
        lstPlayers->addItem(r.address.isEmpty()
                                ? r.onlineName + QStringLiteral(" (no e-mail address)")
                                : r.onlineName + QStringLiteral(" <") + r.address + QLatin1Char('>'));
    layout->addWidget(lstPlayers, 1);

    optMail = new QRadioButton(QStringLiteral("Send each page by e-mail"), this);
    optMail->setObjectName(QStringLiteral("optMail"));
    optMail->setChecked(true);
    layout->addWidget(optMail);
    auto* mailForm = new QFormLayout;
    txtSubject = new QLineEdit(kAvailabilitySubject, this);
    txtSubject->setObjectName(QStringLiteral("txtSubject"));
    mailForm->addRow(QStringLiteral("E-Mail Subject:"), txtSubject);
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setTabChangesFocus(true);
    RunTrapped([this] { txtMessage->setPlainText(AvailabilityMessage()); });
    mailForm->addRow(QStringLiteral("Message:"), txtMessage);
    layout->addLayout(mailForm, 1);

    optFolder = new QRadioButton(QStringLiteral("Write the pages into a folder"), this);
    optFolder->setObjectName(QStringLiteral("optFolder"));
    layout->addWidget(optFolder);
    auto* folderRow = new QHBoxLayout;
    txtFolder = new QLineEdit(QDir(ApplicationFolder()).filePath(QStringLiteral("Export")), this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    folderRow->addWidget(txtFolder, 1);
    imgBrowse = DialogButton(this, "imgBrowse", "open", QStringLiteral("Choose the folder"));
    folderRow->addWidget(imgBrowse);
    layout->addLayout(folderRow);
    connect(imgBrowse, &QToolButton::clicked, this, &frmAskAvailability::chooseFolder);

    auto enable = [this] {
        txtSubject->setEnabled(optMail->isChecked());
        txtMessage->setEnabled(optMail->isChecked());
        txtFolder->setEnabled(optFolder->isChecked());
        imgBrowse->setEnabled(optFolder->isChecked());
    };
    connect(optMail, &QRadioButton::toggled, this, enable);
    enable();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    imgButton1 = DialogButton(this, "imgButton1", "ok", QStringLiteral("Send"));
    imgButton2 = DialogButton(this, "imgButton2", "cancel", QStringLiteral("Cancel"));
    imgButton1->setEnabled(!m_recipients.isEmpty());
    buttons->addWidget(imgButton1);
    buttons->addWidget(imgButton2);
    layout->addLayout(buttons);
    connect(imgButton1, &QToolButton::clicked, this, &frmAskAvailability::send);
    connect(imgButton2, &QToolButton::clicked, this, &QDialog::reject);
}

void frmAskAvailability::chooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, kAskTitle, txtFolder->text());
    if (!folder.isEmpty())
        txtFolder->setText(folder);
}

void frmAskAvailability::send() {
    QString report;
    if (optFolder->isChecked()) {
        const QString folder = txtFolder->text().trimmed();
        if (folder.isEmpty() || !QDir().mkpath(folder)) {
            ShowMessage(QStringLiteral("The folder \"%1\" cannot be used for the pages.").arg(folder),
                        AlignCenterText, vbOKOnly, vbExclamation, kAskTitle);
            return;
        }
        const bool done = RunTrapped([&] {
            BusyPointer busy;
            report = QStringLiteral("Pages written into %1:\n\n").arg(QDir::toNativeSeparators(folder)) +
                     WriteAvailabilityPages(folder, m_recipients);
        });
        if (!done)
            return;
    } else {
        if (CurrentOptions().SMTPServer.trimmed().isEmpty() ||
            CurrentOptions().ReplyAddress.trimmed().isEmpty()) {
            ShowMessage(QStringLiteral("Enter the SMTP server and your reply address in the Options before "
                                       "sending the pages by e-mail, or write them into a folder."),
                        AlignCenterText, vbOKOnly, vbExclamation, kAskTitle);
            return;
        }
        const QString message = txtMessage->toPlainText();
        const bool done = RunTrapped([&] {
            if (!message.trimmed().isEmpty() && message != AvailabilityMessage())
                KeepAvailabilityMessage(message);
            BusyPointer busy;
            imgButton1->setEnabled(false);
            imgButton2->setEnabled(false);
            report = MailAvailabilityPages(m_recipients, txtSubject->text().trimmed(), message,
                                           OptionsPageMailer());
        });
        imgButton1->setEnabled(true);
        imgButton2->setEnabled(true);
        if (!done)
            return;
    }
    ShowMessage(report, AlignLeftText, vbOKOnly, vbInformation, kAskTitle);
    accept();
}

frmPasteReplies::frmPasteReplies(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPasteReplies"));
    setWindowTitle(kPasteTitle);
    resize(760, 600);
    auto* layout = new QVBoxLayout(this);
    auto* lblPaste = new QLabel(
        QStringLiteral(
            "Paste the replies here: a whole mail, a thread or a chat log; every reply in it is found."),
        this);
    lblPaste->setObjectName(QStringLiteral("lblPaste"));
    lblPaste->setWordWrap(true);
    layout->addWidget(lblPaste);
    txtReplies = new QPlainTextEdit(this);
    txtReplies->setObjectName(QStringLiteral("txtReplies"));
    txtReplies->setTabChangesFocus(true);
    layout->addWidget(txtReplies, 1);
    connect(txtReplies, &QPlainTextEdit::textChanged, this, &frmPasteReplies::readReplies);

    lsvReplies = new QTreeWidget(this);
    lsvReplies->setObjectName(QStringLiteral("lsvReplies"));
    lsvReplies->setRootIsDecorated(false);
    lsvReplies->setIconSize(WeekPicture({}).size());
    lsvReplies->setHeaderLabels({QStringLiteral("Player"), QStringLiteral("Old week"),
                                 QStringLiteral("New week"), QStringLiteral("Result")});
    lsvReplies->header()->setStretchLastSection(true);
    lsvReplies->setColumnWidth(0, 160);
    lsvReplies->setColumnWidth(1, 150);
    lsvReplies->setColumnWidth(2, 150);
    layout->addWidget(lsvReplies, 1);
    lblSummary = new QLabel(QStringLiteral("No reply found yet."), this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(lblSummary);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    imgButton1 = DialogButton(this, "imgButton1", "ok", QStringLiteral("Confirm"));
    imgButton2 = DialogButton(this, "imgButton2", "cancel", QStringLiteral("Cancel"));
    imgButton1->setEnabled(false);
    buttons->addWidget(imgButton1);
    buttons->addWidget(imgButton2);
    layout->addLayout(buttons);
    connect(imgButton1, &QToolButton::clicked, this, &frmPasteReplies::confirm);
    connect(imgButton2, &QToolButton::clicked, this, &QDialog::reject);
}

void frmPasteReplies::readReplies() {
    m_reviews.clear();
    lsvReplies->clear();
    RunTrapped([this] { m_reviews = ReviewReplies(txtReplies->toPlainText()); });
    int accepted = 0;
    for (const ReplyReview& r : m_reviews) {
        auto* item = new QTreeWidgetItem(lsvReplies);
        item->setText(0, !r.onlineName.isEmpty() ? r.onlineName
                         : r.player != 0         ? QStringLiteral("(key %1)").arg(r.player)
                                                 : QStringLiteral("?"));
        if (r.found.reply) {
            if (!r.onlineName.isEmpty()) {
                item->setIcon(1, WeekPicture(r.oldWeek));
                item->setText(1, HoursText(r.oldWeek));
                item->setToolTip(1, WeekText(r.oldWeek));
            }
            item->setIcon(2, WeekPicture(r.newWeek));
            item->setText(2, HoursText(r.newWeek));
            item->setToolTip(2, WeekText(r.newWeek));
        }
        item->setText(3, r.accepted() ? QStringLiteral("Will be saved") : r.problem);
        item->setToolTip(3, item->text(3));
        if (!r.accepted())
            item->setForeground(3, QColor(0xb0, 0x20, 0x20));
        accepted += r.accepted() ? 1 : 0;
    }
    lblSummary->setText(
        m_reviews.isEmpty()
            ? QStringLiteral("No reply found yet.")
            : QStringLiteral("%1 replies found, %2 to be saved.").arg(m_reviews.size()).arg(accepted));
    imgButton1->setEnabled(accepted > 0);
}

void frmPasteReplies::confirm() {
    int saved = 0;
    if (!RunTrapped([&] { saved = ApplyReplies(m_reviews); }))
        return; // nothing was written; the paste stays for another try
    ShowMessage(saved == 1 ? QStringLiteral("1 week was saved.")
                           : QStringLiteral("%1 weeks were saved.").arg(saved),
                AlignCenterText, vbOKOnly, vbInformation, kPasteTitle);
    accept();
}

void AskForAvailability(const QList<qint32>& players, QWidget* parent) {
    frmAskAvailability dialog(players, parent);
    RunModal(&dialog);
}

bool PasteReplies(QWidget* parent) {
    frmPasteReplies dialog(parent);
    return RunModal(&dialog) == QDialog::Accepted;
}

} // namespace rm
