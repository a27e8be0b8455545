#pragma once

#include "comms/EmailRequest.h"
#include "comms/HtmlExport.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QToolButton;

namespace rm {

class MemberPicker;
class TabStrip;

// The communications centre: players or divisions are selected on the left; on the right the
// e-mail page sends a stored template to them and the export page writes their roster as HTML.
class frmCommCenter : public QWidget, public RecipientSelection {
    Q_OBJECT

public:
    explicit frmCommCenter(QWidget* parent = nullptr);

    // RecipientSelection, read by the e-mail window in mode "M".
    bool playersListVisible() const override;
    QList<QPair<qint32, QString>> selectedPlayers() const override;
    QList<qint32> selectedDivisions() const override;

    void FillTemplates();

    // The boxes of the export page as they stand.
    ExportFields exportFields() const;

public Q_SLOTS:
    void showDivisionsList();
    void showEmailPage();
    void showExportPage();

    void newTemplate();
    void editTemplate();
    void deleteTemplate();
    void useTemplate();
    void askAvailability();
    // Posts the selected template (its name as the subject) to the Discord channels, after a preview.
    void postTemplate();
    void createHTML();

private:
    QWidget* buildPageSide();
    QGroupBox* buildEmailPage();
    QGroupBox* buildExportPage();
    void runTemplateDialog(const QString& mode, qint32 key);
    void exportToFile(const QString& html);

    MemberPicker* ctlMembers = nullptr;

    TabStrip* imgPageTab = nullptr;
    QGroupBox* fmeEmails = nullptr;
    QGroupBox* fmeExport = nullptr;

    QListWidget* lstTemplates = nullptr;
    QToolButton* imgNewTemplate = nullptr;
    QToolButton* imgEditTemplate = nullptr;
    QToolButton* imgDeleteTemplate = nullptr;
    QToolButton* imgUseTemplate = nullptr;
    QToolButton* imgAskAvailability = nullptr;
    QToolButton* imgDiscordTemplate = nullptr;

    QCheckBox* chkPlayerName = nullptr;
    QCheckBox* chkRealName = nullptr;
    QCheckBox* chkDivision = nullptr;
    QCheckBox* chkEMail = nullptr;
    QCheckBox* chkIM = nullptr;
    QCheckBox* chkTimeZone = nullptr;
    QCheckBox* chkSchedule = nullptr;
    QCheckBox* chkNotes = nullptr;
    QCheckBox* chkStatus = nullptr;
    QCheckBox* chkCustom = nullptr;
    QRadioButton* optScreen = nullptr;
    QRadioButton* optFile = nullptr;
    QToolButton* imgCreateHTML = nullptr;
};

} // namespace rm
