#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "common/bannerseam.h"

#include <QPushButton>
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitcolumn/splitsheetfromcolumnform.h"
#include "tools/workbookimport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QTextEdit>

SplitSheetFromColumn::SplitSheetFromColumn(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::SplitSheetFromColumn>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    banner = startBannerFor(ui->myAdViewButton, QStringLiteral("adsf"));
}

SplitSheetFromColumn::~SplitSheetFromColumn()
{
    mExcelOpKiv.reset(); // closes the workbook without saving
    banner->deleteLater(); // it may still have events pending
}

void SplitSheetFromColumn::closeEvent(QCloseEvent* event)
{
    mExcelOpKiv.reset(); // closes the workbook without saving
    QMainWindow::closeEvent(event);
}

void SplitSheetFromColumn::on_importFileButton_clicked()
{
    setEnabled(false);
    const QString path = replaceLinkAndAskForWorkbook(this, "SplitSheetFromColumn", mExcelOpKiv);
    if (!path.isEmpty()) {
        ui->importFilePath->setPlainText(path);
        mExcelOpKiv->openWorkBook(path);
        mExcelOpKiv->openSheets();
        fillComboBox(mExcelOpKiv->getSheetNames(), ui->comboBoxSheets);
    }
    setEnabled(true);
}

void SplitSheetFromColumn::on_pushButton_clicked()
{
    ColumnSplitJob job({ui->importFilePath->toPlainText(), ui->comboBoxSheets->currentText(),
                        ui->startCellText->toPlainText(), ui->endCellText->toPlainText(),
                        ui->referColText->toPlainText(), ui->deleteReferColAfterDealCheckBox->isChecked()});
    const QString problem = job.formProblem();
    if (!problem.isEmpty()) {
        KivMessageBox::inform(problem);
        return;
    }
    setEnabled(false);
    const JobOutcome outcome = job.run(mExcelOpKiv);
    for (const QString& message : outcome.messages)
        KivMessageBox::inform(message);
    setEnabled(true);
}
