#pragma once

#include "roster/RosterImport.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QToolButton;
class QTreeWidget;

namespace rm {

// "Import Players": choose a CSV file, assign its columns to player fields, read the preview and
// import the accepted rows in one go.
class frmImportPlayers : public QDialog {
    Q_OBJECT

public:
    explicit frmImportPlayers(QWidget* parent = nullptr);

    // Reads the file (with the delimiter chosen, or detected when reset is true) and fills the
    // mapping and preview; a file that cannot be used is told in a message.
    bool loadFile(const QString& path, bool detectDelimiter = true);
    const ImportPreview& preview() const { return m_preview; }
    bool imported() const { return m_imported; }

public Q_SLOTS:
    void chooseFile();
    void importRows();

private:
    void fillMapping();
    void fillGames();
    // Reads the file named in the field when it is not the one read.
    bool loadTypedFile();
    void refreshPreview();
    QList<ImportField> mapping() const;

    QLineEdit* txtFile;
    QToolButton* imgBrowse;
    QComboBox* cboDelimiter;
    QTreeWidget* lsvColumns;
    QList<QComboBox*> m_columnBoxes;
    QCheckBox* chkCreateMissing;
    QLabel* lblDivisionGame;
    QComboBox* cboDivisionGame;
    QLabel* lblCreate;
    QTreeWidget* lsvPreview;
    QLabel* lblSummary;
    QProgressBar* prgImport;
    QToolButton* imgButton1;
    QToolButton* imgButton2;

    QString m_path;
    CsvTable m_table;
    ImportPreview m_preview;
    bool m_imported = false;
};

// "Export Players": all players or the selected ones, comma or semicolon, with or without a
// byte-order mark; then the file to write.
class frmExportPlayers : public QDialog {
    Q_OBJECT

public:
    frmExportPlayers(const QList<qint32>& selected, QWidget* parent = nullptr);

public Q_SLOTS:
    void exportRows();

private:
    QList<qint32> m_selected;
    QRadioButton* optAllPlayers;
    QRadioButton* optSelectedPlayers;
    QComboBox* cboDelimiter;
    QCheckBox* chkByteOrderMark;
    QToolButton* imgButton1;
    QToolButton* imgButton2;
};

// Shows the import dialog; true when players were imported.
bool ImportPlayers(QWidget* parent);
void ExportPlayers(QWidget* parent, const QList<qint32>& selected);

inline const QString kImportTitle = QStringLiteral("Import Players");
inline const QString kExportTitle = QStringLiteral("Export Players");

} // namespace rm
