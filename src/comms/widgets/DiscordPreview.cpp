#include "comms/widgets/DiscordPreview.h"

#include "data/MessageSink.h"
#include "ui/Maintenance.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>
#include <QToolButton>

namespace rm {

namespace {

// The wait Discord asked for, with its progress and Cancel.
bool WaitWithProgress(QWidget* parent, int msecs, const QString& what) {
    QProgressDialog progress(what, QObject::tr("Cancel"), 0, qMax(1, msecs), parent);
    progress.setObjectName(QStringLiteral("frmDiscordWait"));
    progress.setWindowTitle(QObject::tr("Waiting for Discord"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        progress.setValue(static_cast<int>(qMin<qint64>(elapsed.elapsed(), msecs)));
        if (elapsed.elapsed() >= msecs)
            loop.quit();
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    tick.start();
    loop.exec();
    return !progress.wasCanceled();
}

QString ChannelsText(const QList<DiscordTarget>& targets) {
    QStringList ready;
    QStringList missing;
    for (const DiscordTarget& t : targets)
        (t.address.isEmpty() ? missing : ready) << t.channel;
    QString text;
    if (!ready.isEmpty())
        text = QObject::tr("To %1.").arg(ready.join(QStringLiteral(", ")));
    if (!missing.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
                QObject::tr("No webhook address is set for %1: enter it in the Options (the clan's) or "
                            "the division window, or copy the text and post it by hand.")
                    .arg(missing.join(QStringLiteral(", ")));
    return text;
}

} // namespace

frmDiscordPreview::frmDiscordPreview(const DiscordPost& post, const QList<DiscordTarget>& targets,
                                     QWidget* parent)
    : QDialog(parent), m_post(post), m_targets(targets), m_messages(SplitDiscordPost(post)) {
    setObjectName(QStringLiteral("frmDiscordPreview"));
    setWindowTitle(tr("Discord Post"));
    setModal(true);
    resize(640, 420);

    auto* layout = new QVBoxLayout(this);
    lblChannels = new QLabel(ChannelsText(targets), this);
    lblChannels->setObjectName(QStringLiteral("lblChannels"));
    lblChannels->setWordWrap(true);
    layout->addWidget(lblChannels);
    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);
    QStringList shown;
    for (qsizetype i = 0; i < m_messages.size(); ++i) {
        if (m_messages.size() > 1)
            shown << tr("--- part %1 of %2 ---").arg(i + 1).arg(m_messages.size());
        shown << m_messages.at(i).content;
    }
    txtPreview->setPlainText(shown.join(QLatin1Char('\n')));
    layout->addWidget(txtPreview, 1);

    auto* buttons = new QHBoxLayout;
    imgCopy = MakePictureButton(this, QStringLiteral("imgCopy"), QStringLiteral("comms-copy"), tr("Copy"),
                                tr("Copy the text to the clipboard"));
    imgPost = MakePictureButton(this, QStringLiteral("imgPost"), QStringLiteral("discord-post"), tr("Post"),
                                tr("Post the text to the Discord channel"));
    imgButton2 = MakePictureButton(this, QStringLiteral("imgButton2"), QStringLiteral("cancel"), tr("Close"),
                                   tr("Close without posting"));
    bool anyAddress = false;
    for (const DiscordTarget& t : targets)
        anyAddress = anyAddress || !t.address.isEmpty();
    imgPost->setEnabled(anyAddress && !m_messages.isEmpty());
    buttons->addStretch(1);
    buttons->addWidget(imgCopy);
    buttons->addWidget(imgPost);
    buttons->addWidget(imgButton2);
    layout->addLayout(buttons);

    m_poster.setRetryWaiter(
        [this](int msecs, const QString& what) { return WaitWithProgress(this, msecs, what); });
    connect(imgCopy, &QToolButton::clicked, this, &frmDiscordPreview::copyText);
    connect(imgPost, &QToolButton::clicked, this, &frmDiscordPreview::postNow);
    connect(imgButton2, &QToolButton::clicked, this, &QDialog::reject);
}

void frmDiscordPreview::copyText() {
    QGuiApplication::clipboard()->setText(m_post.content, QClipboard::Clipboard);
}

void frmDiscordPreview::postNow() {
    QList<DiscordTarget> ready;
    for (const DiscordTarget& t : m_targets)
        if (!t.address.isEmpty())
            ready << t;
    imgPost->setEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_outcomes = m_poster.post(ready, m_messages);
    QGuiApplication::restoreOverrideCursor();
    bool allSent = true;
    for (const WebhookOutcome& o : m_outcomes)
        allSent = allSent && o.allSent();
    ShowMessage(OutcomesText(m_outcomes), AlignLeftText, vbOKOnly, allSent ? vbInformation : vbExclamation,
                tr("Discord Post"));
    // Posting again would repeat the parts that went; what did not go can still be copied.
    if (allSent)
        accept();
}

void OpenDiscordPreview(const DiscordPost& post, const QList<DiscordTarget>& targets, QWidget* parent) {
    frmDiscordPreview preview(post, targets, parent);
    RunModal(&preview);
}

} // namespace rm
