#include "roster/widgets/RosterCsvWindows.h"

#include "data/AppEnvironment.h"
#include "data/DbConnection.h"
#include "data/MessageSink.h"
#include "roster/RosterExport.h"
#include "ui/FileDialogs.h"
#include "ui/Maintenance.h"
#include "ui/StatusMessage.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

namespace rm {

namespace {

const QString kCsvFilter = QStringLiteral("CSV Files (*.csv;*.txt)|*.csv;*.txt");
constexpr int kSampleRows = 3;

QComboBox* delimiterBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("cboDelimiter"));
    box->addItem(QStringLiteral("Comma ( , )"), QVariant(int(',')));
    box->addItem(QStringLiteral("Semicolon ( ; )"), QVariant(int(';')));
    return box;
}

char chosenDelimiter(const QComboBox* box) {
    return static_cast<char>(box->currentData().toInt());
}

QString actionText(ImportAction action) {
    switch (action) {
    case ImportAction::New:
        return QStringLiteral("New");
    case ImportAction::Update:
        return QStringLiteral("Update");
    case ImportAction::Skip:
        break;
    }
    return QStringLiteral("Skip");
}

void warn(const QString& text) {
    ShowMessage(text, AlignCenterText, vbOKOnly, vbExclamation, kImportTitle);
}

} // namespace

frmImportPlayers::frmImportPlayers(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImportPlayers"));
    setWindowTitle(kImportTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    auto* lblFile = new QLabel(QStringLiteral("File:"), this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setPlaceholderText(QStringLiteral("Type the file's name and press Return, or choose it"));
    txtFile->setProperty("enterIsOwn", true);
    imgBrowse = MakePictureButton(this, QStringLiteral("imgBrowse"), QStringLiteral("open"),
                                  QStringLiteral("Choose"), QStringLiteral("Choose the CSV file to import"));
    cboDelimiter = delimiterBox(this);
    cboDelimiter->setToolTip(QStringLiteral("How the fields of the file are separated"));
    fileRow->addWidget(lblFile);
    fileRow->addWidget(txtFile, 1);
    fileRow->addWidget(imgBrowse);
    fileRow->addWidget(cboDelimiter);
    layout->addLayout(fileRow);

    auto* fmeColumns = new QGroupBox(QStringLiteral("Columns of the file"), this);
    fmeColumns->setObjectName(QStringLiteral("fmeColumns"));
    auto* columnsLayout = new QVBoxLayout(fmeColumns);
    lsvColumns = new QTreeWidget(fmeColumns);
    lsvColumns->setObjectName(QStringLiteral("lsvColumns"));
    lsvColumns->setRootIsDecorated(false);
    lsvColumns->setHeaderLabels(
        {QStringLiteral("Column"), QStringLiteral("First rows"), QStringLiteral("Field")});
    columnsLayout->addWidget(lsvColumns);
    layout->addWidget(fmeColumns, 1);

    chkCreateMissing = new QCheckBox(
        QStringLiteral("Create the divisions, titles, connections and list entries that do not exist yet"),
        this);
    chkCreateMissing->setObjectName(QStringLiteral("chkCreateMissing"));
    lblCreate = new QLabel(this);
    lblCreate->setObjectName(QStringLiteral("lblCreate"));
    lblCreate->setWordWrap(true);
    layout->addWidget(chkCreateMissing);
    auto* gameRow = new QHBoxLayout;
    cboDivisionGame = new QComboBox(this);
    cboDivisionGame->setObjectName(QStringLiteral("cboDivisionGame"));
    cboDivisionGame->setEditable(true);
    cboDivisionGame->setInsertPolicy(QComboBox::NoInsert);
    cboDivisionGame->setToolTip(QStringLiteral("Choose a game, or type the name of a new one"));
    lblDivisionGame = new QLabel(QStringLiteral("Game of the new divisions:"), this);
    lblDivisionGame->setObjectName(QStringLiteral("lblDivisionGame"));
    lblDivisionGame->setBuddy(cboDivisionGame);
    gameRow->addWidget(lblDivisionGame);
    gameRow->addWidget(cboDivisionGame, 1);
    layout->addLayout(gameRow);
    lblDivisionGame->setVisible(false);
    cboDivisionGame->setVisible(false);
    layout->addWidget(lblCreate);

    lsvPreview = new QTreeWidget(this);
    lsvPreview->setObjectName(QStringLiteral("lsvPreview"));
    lsvPreview->setRootIsDecorated(false);
    lsvPreview->setHeaderLabels({QStringLiteral("Line"), QStringLiteral("Online Name"),
                                 QStringLiteral("Action"), QStringLiteral("Problems")});
    layout->addWidget(lsvPreview, 2);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(lblSummary);
    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setVisible(false);
    layout->addWidget(prgImport);

    auto* buttons = new QHBoxLayout;
    imgButton1 =
        MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), QStringLiteral("Import"),
                          QStringLiteral("Import the rows marked New or Update"));
    imgButton2 = MakePictureButton(this, QStringLiteral("imgButton2"), QStringLiteral("cancel"),
                                   QStringLiteral("Cancel"), QStringLiteral("Close without importing"));
    buttons->addStretch();
    buttons->addWidget(imgButton1);
    buttons->addWidget(imgButton2);
    layout->addLayout(buttons);

    connect(imgBrowse, &QToolButton::clicked, this, &frmImportPlayers::chooseFile);
    connect(cboDelimiter, &QComboBox::activated, this, [this] {
        if (!m_path.isEmpty())
            loadFile(m_path, false);
    });
    connect(chkCreateMissing, &QCheckBox::toggled, this, &frmImportPlayers::refreshPreview);
    connect(cboDivisionGame, &QComboBox::currentTextChanged, this, &frmImportPlayers::refreshPreview);
    connect(txtFile, &QLineEdit::returnPressed, this, &frmImportPlayers::loadTypedFile);
    fillGames();
    connect(imgButton1, &QToolButton::clicked, this, &frmImportPlayers::importRows);
    ConfirmWithEnter(this, imgButton1);
    connect(imgButton2, &QToolButton::clicked, this, &QDialog::reject);
    OpenAtPreferredSize(this, QSize(TwipsToPixels(11000, this), TwipsToPixels(9000, this)));
}

void frmImportPlayers::fillGames() {
    const QSignalBlocker quiet(cboDivisionGame);
    RunTrapped([this] {
        cboDivisionGame->clear();
        for (RowSet r =
                 Db().execute(QStringLiteral("Select Game_ID, Game_Name From Games Order By Game_Name"));
             !r.eof(); r.moveNext())
            cboDivisionGame->addItem(r.text(QStringLiteral("Game_Name")).trimmed(),
                                     r.integer(QStringLiteral("Game_ID")));
    });
    cboDivisionGame->setCurrentIndex(cboDivisionGame->count() > 0 ? 0 : -1);
}

bool frmImportPlayers::loadTypedFile() {
    const QString typed = QDir::fromNativeSeparators(txtFile->text().trimmed());
    if (typed.isEmpty() || typed == m_path)
        return !m_path.isEmpty();
    return loadFile(typed);
}

void frmImportPlayers::chooseFile() {
    const QString path =
        AskOpenFileName(this, {QStringLiteral("Import players from a CSV file"),
                               m_path.isEmpty() ? QDir::homePath() : QFileInfo(m_path).path(), kCsvFilter});
    if (!path.isEmpty())
        loadFile(path);
}

bool frmImportPlayers::loadFile(const QString& path, bool detectDelimiter) {
    const CsvReadResult read = ReadRosterFile(
        path, detectDelimiter ? std::nullopt : std::optional<char>(chosenDelimiter(cboDelimiter)));
    if (!read.table) {
        warn(read.problem);
        if (!m_path.isEmpty()) // the file read before stays, with its own delimiter
            cboDelimiter->setCurrentIndex(cboDelimiter->findData(QVariant(int(m_table.delimiter))));
        return false;
    }
    m_path = path;
    m_table = *read.table;
    txtFile->setText(QDir::toNativeSeparators(path));
    cboDelimiter->setCurrentIndex(cboDelimiter->findData(QVariant(int(m_table.delimiter))));
    fillMapping();
    refreshPreview();
    return true;
}

void frmImportPlayers::fillMapping() {
    lsvColumns->clear();
    m_columnBoxes.clear();
    const QList<ImportField> automatic = AutoMapping(m_table.header);
    for (int c = 0; c < m_table.header.size(); ++c) {
        QStringList samples;
        for (int r = 0; r < kSampleRows && r < m_table.rows.size(); ++r)
            samples << m_table.rows.at(r).fields.value(c).simplified().left(40);
        auto* item =
            new QTreeWidgetItem(lsvColumns, {m_table.header.at(c), samples.join(QStringLiteral(" / "))});
        auto* box = new QComboBox(lsvColumns);
        box->setObjectName(QStringLiteral("cboColumn%1").arg(c + 1));
        for (int f = 0; f < kImportFieldCount; ++f)
            box->addItem(ImportFieldName(static_cast<ImportField>(f)), f);
        box->setCurrentIndex(static_cast<int>(automatic.at(c)));
        connect(box, &QComboBox::activated, this, &frmImportPlayers::refreshPreview);
        lsvColumns->setItemWidget(item, 2, box);
        m_columnBoxes << box;
    }
    lsvColumns->resizeColumnToContents(0);
}

QList<ImportField> frmImportPlayers::mapping() const {
    QList<ImportField> fields;
    for (const QComboBox* box : m_columnBoxes)
        fields << static_cast<ImportField>(box->currentData().toInt());
    return fields;
}

void frmImportPlayers::refreshPreview() {
    lsvPreview->clear();
    lblCreate->clear();
    if (m_path.isEmpty())
        return;
    const bool create = chkCreateMissing->isChecked();
    lblDivisionGame->setVisible(create);
    cboDivisionGame->setVisible(create);
    if (!RunTrapped([this, create] {
            m_preview = BuildImportPreview(m_table, mapping(), create, cboDivisionGame->currentText());
        }))
        return;
    if (!m_preview.problem.isEmpty()) {
        lblSummary->setText(m_preview.problem);
        return;
    }
    for (const ImportRow& row : m_preview.rows) {
        auto* item = new QTreeWidgetItem(lsvPreview,
                                         {QString::number(row.line), row.onlineName, actionText(row.action),
                                          row.problems.join(QStringLiteral("; "))});
        item->setToolTip(3, row.problems.join(QLatin1Char('\n')));
    }
    QStringList created;
    auto add = [&created](const QString& what, const QStringList& names) {
        if (!names.isEmpty())
            created << what + names.join(QStringLiteral(", "));
    };
    add(QStringLiteral("connections: "), m_preview.newConnections);
    if (!m_preview.newGame.isEmpty())
        created << QStringLiteral("the game ") + m_preview.newGame;
    add(QStringLiteral("divisions: "),
        m_preview.newDivisions.isEmpty()
            ? QStringList{}
            : QStringList{m_preview.newDivisions.join(QStringLiteral(", ")) + QStringLiteral(" (playing ") +
                          m_preview.divisionGame + QLatin1Char(')')});
    QStringList titles;
    for (const auto& [division, title] : m_preview.newTitles)
        titles << title + QStringLiteral(" (") + division + QLatin1Char(')');
    add(QStringLiteral("titles: "), titles);
    for (int n = 0; n < kCustomFieldCount; ++n)
        add(ImportFieldName(static_cast<ImportField>(static_cast<int>(ImportField::CustomDrop1) + n)) +
                QStringLiteral(" entries: "),
            m_preview.newEntries[n]);
    if (!created.isEmpty())
        lblCreate->setText(QStringLiteral("The import will create ") + created.join(QStringLiteral("; ")) +
                           QLatin1Char('.'));
    lblSummary->setText(QStringLiteral("%1 new, %2 updated, %3 skipped")
                            .arg(m_preview.count(ImportAction::New))
                            .arg(m_preview.count(ImportAction::Update))
                            .arg(m_preview.count(ImportAction::Skip)));
}

void frmImportPlayers::importRows() {
    if (!txtFile->text().trimmed().isEmpty() && !loadTypedFile())
        return;
    if (m_path.isEmpty()) {
        warn(QStringLiteral("Please choose a CSV file before importing."));
        return;
    }
    if (!m_preview.problem.isEmpty()) {
        warn(m_preview.problem);
        return;
    }
    const int added = m_preview.count(ImportAction::New);
    const int updated = m_preview.count(ImportAction::Update);
    const int skipped = m_preview.count(ImportAction::Skip);
    if (added + updated == 0) {
        warn(
            QStringLiteral("No row of the file can be imported; the preview tells what is wrong with each."));
        return;
    }
    QString question =
        QStringLiteral("Import %1 new and update %2 existing players?").arg(added).arg(updated);
    if (skipped > 0)
        question += QStringLiteral("\n%1 rows with problems will be left out.").arg(skipped);
    if (!lblCreate->text().isEmpty())
        question += QLatin1Char('\n') + lblCreate->text();
    if (ShowMessage(question, AlignCenterText, vbYesNo, vbQuestion, kImportTitle) != vbYes)
        return;

    prgImport->setRange(0, static_cast<int>(m_preview.rows.size()));
    prgImport->setValue(0);
    prgImport->setVisible(true);
    ImportResult result;
    const bool done = RunTrapped([&] {
        result = RunImport(m_preview, [this](int n, int) {
            if (n % 25 == 0) {
                prgImport->setValue(n);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
        });
    });
    prgImport->setVisible(false);
    if (!done) {
        warn(QStringLiteral("Nothing was imported: the database is as it was before."));
        refreshPreview();
        return;
    }
    m_imported = true;
    ShowMessage(ImportSummaryText(result), AlignCenterText, vbOKOnly, vbInformation, kImportTitle);
    accept();
}

frmExportPlayers::frmExportPlayers(const QList<qint32>& selected, QWidget* parent)
    : QDialog(parent), m_selected(selected) {
    setObjectName(QStringLiteral("frmExportPlayers"));
    setWindowTitle(kExportTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    optAllPlayers = new QRadioButton(QStringLiteral("All players"), this);
    optAllPlayers->setObjectName(QStringLiteral("optAllPlayers"));
    optSelectedPlayers =
        new QRadioButton(QStringLiteral("The %1 selected players").arg(selected.size()), this);
    optSelectedPlayers->setObjectName(QStringLiteral("optSelectedPlayers"));
    optSelectedPlayers->setEnabled(!selected.isEmpty());
    (selected.isEmpty() ? optAllPlayers : optSelectedPlayers)->setChecked(true);
    cboDelimiter = delimiterBox(this);
    chkByteOrderMark =
        new QCheckBox(QStringLiteral("UTF-8 with a byte-order mark (for spreadsheet programs)"), this);
    chkByteOrderMark->setObjectName(QStringLiteral("chkByteOrderMark"));
    chkByteOrderMark->setChecked(true);
    layout->addWidget(optAllPlayers);
    layout->addWidget(optSelectedPlayers);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Separate fields with:"), cboDelimiter);
    layout->addLayout(form);
    layout->addWidget(chkByteOrderMark);
    auto* buttons = new QHBoxLayout;
    imgButton1 =
        MakePictureButton(this, QStringLiteral("imgButton1"), QStringLiteral("ok"), QStringLiteral("Export"),
                          QStringLiteral("Choose the file and write the players to it"));
    imgButton2 = MakePictureButton(this, QStringLiteral("imgButton2"), QStringLiteral("cancel"),
                                   QStringLiteral("Cancel"), QStringLiteral("Close without exporting"));
    buttons->addStretch();
    buttons->addWidget(imgButton1);
    buttons->addWidget(imgButton2);
    layout->addLayout(buttons);
    connect(imgButton1, &QToolButton::clicked, this, &frmExportPlayers::exportRows);
    ConfirmWithEnter(this, imgButton1);
    connect(imgButton2, &QToolButton::clicked, this, &QDialog::reject);
}

void frmExportPlayers::exportRows() {
    QString path = AskSaveFileName(this, {QStringLiteral("Export players to a CSV file"), QDir::homePath(),
                                          QStringLiteral("CSV Files (*.csv)|*.csv")});
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (QFile::exists(path) && ShowMessage(QStringLiteral("This CSV File Already Exists... Overwrite?"),
                                           AlignCenterText, vbYesNo, vbQuestion, kExportTitle) != vbYes)
        return;
    const QList<qint32> keys = optSelectedPlayers->isChecked() ? m_selected : QList<qint32>{};
    if (RunTrapped([&] {
            SaveRosterCsv(path, keys, chosenDelimiter(cboDelimiter), chkByteOrderMark->isChecked());
        })) {
        ShowStatus(tr("Players exported to %1").arg(QDir::toNativeSeparators(path)));
        accept();
    }
}

bool ImportPlayers(QWidget* parent) {
    frmImportPlayers dialog(parent);
    RunModal(&dialog);
    return dialog.imported();
}

void ExportPlayers(QWidget* parent, const QList<qint32>& selected) {
    frmExportPlayers dialog(selected, parent);
    RunModal(&dialog);
}

} // namespace rm
