#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include "common/bannerseam.h"
#include "common/busycursor.h"
#include "common/dialogs.h"
#include "common/onelinefield.h"
#include "common/optionsmenu.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitcolumn/splitsheetfromcolumnform.h"
#include "tools/workbookimport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>

SplitSheetFromColumn::SplitSheetFromColumn(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::SplitSheetFromColumn>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    for (QTextEdit* field : {ui->importFilePath, ui->startCellText, ui->endCellText, ui->referColText})
        makeOneLineField(field);
    acceptFileDrops(ui->importFilePath, [this](const QString& path) { importWorkbook(path); });
    backupOption = addRememberedOption(optionsMenuOf(this), tr("保存前在旁边保留原文件的备份"),
                                       QStringLiteral("splitColumn/backup"));
    connect(ui->comboBoxSheets, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SplitSheetFromColumn::fillDataArea);
    banner = startBannerFor(ui->myAdViewButton, QStringLiteral("adsf"));
}

SplitSheetFromColumn::~SplitSheetFromColumn()
{
    mExcelOpKiv.reset(); // closes the workbook without saving
    if (banner)
        banner->deleteLater(); // it may still have events pending
}

void SplitSheetFromColumn::closeEvent(QCloseEvent* event)
{
    mExcelOpKiv.reset(); // closes the workbook without saving
    QMainWindow::closeEvent(event);
}

void SplitSheetFromColumn::on_importFileButton_clicked()
{
    // A cancelled dialog leaves the loaded workbook and the form as they were.
    const QString path = askForWorkbook(this, "SplitSheetFromColumn", mExcelOpKiv);
    if (!path.isEmpty())
        importWorkbook(path);
}

void SplitSheetFromColumn::importWorkbook(const QString& path)
{
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    ui->importFilePath->setPlainText(path);
    const bool opened = openInNewLink(path, mExcelOpKiv);
    if (opened && mExcelOpKiv->isReadOnly())
        KivMessageBox::inform(readOnlyAtImportText(path), NoticeKind::Warning, this);
    fillComboBox(opened ? mExcelOpKiv->getSheetNames() : QStringList(), ui->comboBoxSheets);
    setEnabled(true);
}

// The picked sheet's used area, from A1 to its last used cell: the titles in row 1 stay the
// titles, and every record is inside. The user can still change both.
void SplitSheetFromColumn::fillDataArea()
{
    SheetEntry* sheet = mExcelOpKiv ? mExcelOpKiv->findSheet(ui->comboBoxSheets->currentText()) : nullptr;
    if (!sheet)
        return;
    BusyCursor busy;
    const int lastRow = sheet->usedRowCount();
    const int lastColumn = sheet->usedColumnCount();
    if (lastRow < 1 || lastColumn < 1)
        return;
    ui->startCellText->setPlainText(QStringLiteral("A1"));
    ui->endCellText->setPlainText(columnLetters(lastColumn) + QString::number(lastRow));
}

void SplitSheetFromColumn::on_pushButton_clicked()
{
    ColumnSplitJob job({ui->importFilePath->toPlainText(), ui->comboBoxSheets->currentText(),
                        ui->startCellText->toPlainText(), ui->endCellText->toPlainText(),
                        ui->referColText->toPlainText(), ui->deleteReferColAfterDealCheckBox->isChecked(),
                        backupOption->isChecked()});
    const QString problem = job.formProblem();
    if (!problem.isEmpty()) {
        KivMessageBox::inform(problem, NoticeKind::Warning, this);
        return;
    }
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    JobOutcome outcome;
    {
        BusyCursor busy;
        outcome = job.run(mExcelOpKiv);
    }
    for (const QString& message : outcome.messages)
        KivMessageBox::inform(message, noticeKindOf(outcome.kind), this);
    setEnabled(true);
}
