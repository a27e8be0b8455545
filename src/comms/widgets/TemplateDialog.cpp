#include "comms/widgets/TemplateDialog.h"

#include "comms/Templates.h"
#include "data/MessageSink.h"
#include "ui/NumericEntry.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace rm {

frmTemplate::frmTemplate(QWidget* parent) : MaintainDialog(parent) {
    setObjectName(QStringLiteral("frmTemplate"));
    resize(520, 400);

    auto* layout = new QVBoxLayout(this);
    auto* fmeName = new QGroupBox(tr("Template Name"), this);
    fmeName->setObjectName(QStringLiteral("fmeTemplateName"));
    auto* nameLayout = new QVBoxLayout(fmeName);
    txtTemplateName = new QLineEdit(fmeName);
    txtTemplateName->setObjectName(QStringLiteral("txtTemplateName"));
    txtTemplateName->setMaxLength(50);
    SelectAllOnFocus(txtTemplateName);
    nameLayout->addWidget(txtTemplateName);
    layout->addWidget(fmeName);

    auto* fmeContent = new QGroupBox(tr("Template Content"), this);
    fmeContent->setObjectName(QStringLiteral("fmeTemplateContent"));
    auto* contentLayout = new QVBoxLayout(fmeContent);
    txtTemplateContent = new QPlainTextEdit(fmeContent);
    txtTemplateContent->setObjectName(QStringLiteral("txtTemplateContent"));
    txtTemplateContent->setTabChangesFocus(true);
    contentLayout->addWidget(txtTemplateContent);
    layout->addWidget(fmeContent, 1);

    auto* buttons = new QHBoxLayout;
    addDialogButtons(buttons);
    layout->addLayout(buttons);
}

void frmTemplate::loadDialog() {
    if (UpdateMode == QLatin1String("A")) {
        setWindowTitle(tr("Adding a new E-Mail Template"));
        txtTemplateName->clear();
        txtTemplateContent->clear();
        return;
    }
    setWindowTitle(tr("Edit E-Mail Template"));
    const std::optional<TemplateRecord> record = LoadTemplate(UpdatePK);
    if (!record) {
        ShowMessage(QStringLiteral("Selected template could not be found!!"), AlignCenterText, vbOKOnly,
                    vbCritical, QStringLiteral("Database Error"));
        m_closeAtOnce = true;
        return;
    }
    txtTemplateName->setText(record->name);
    txtTemplateContent->setPlainText(record->content);
}

void frmTemplate::showEvent(QShowEvent* event) {
    MaintainDialog::showEvent(event);
    if (m_closeAtOnce)
        QTimer::singleShot(0, this, &QDialog::reject);
}

bool frmTemplate::ValidData() {
    const QString problems = TemplateProblems(txtTemplateName->text(), txtTemplateContent->toPlainText());
    if (problems.isEmpty())
        return true;
    ShowMessage(QStringLiteral("The following problems were found:\n") + problems, AlignLeftText, vbOKOnly,
                vbExclamation, QStringLiteral("Entry Error"));
    return false;
}

bool frmTemplate::save() {
    if (!ValidData())
        return false;
    SaveTemplate(UpdateMode, UpdatePK, txtTemplateName->text(), txtTemplateContent->toPlainText());
    return true;
}

} // namespace rm
