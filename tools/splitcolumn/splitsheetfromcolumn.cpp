#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "common/bannerseam.h"

#include <QPushButton>
#include "tools/splitcolumn/columnsplitrun.h"
#include "tools/splitcolumn/splitsheetfromcolumnform.h"
#include "tools/workbookimport.h"

#include <QCheckBox>
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
    if (!takeInputs())
        return;
    const bool deleteReferColumn = ui->deleteReferColAfterDealCheckBox->isChecked();
    setEnabled(false);
    replaceLink(mExcelOpKiv);
    mExcelOpKiv->openWorkBook(dealFilePath);
    mExcelOpKiv->openSheets(); // reports a workbook that did not open
    const QString outcome = mExcelOpKiv->hasWorkbook() ? splitInOpenWorkbook(deleteReferColumn) : QString();
    mExcelOpKiv.reset();
    if (!outcome.isEmpty())
        KivMessageBox::inform(outcome);
    setEnabled(true);
}

// The four form checks, in order; the first that fails is shown and nothing else happens.
bool SplitSheetFromColumn::takeInputs()
{
    const QString path = ui->importFilePath->toPlainText();
    if (!QFileInfo(path).isFile()) {
        KivMessageBox::inform(tr("目标文件不存在，请重新选择。"));
        return false;
    }
    dealFilePath = path;
    sheetName = ui->comboBoxSheets->currentText();
    if (!startCell.parse(ui->startCellText->toPlainText())) {
        KivMessageBox::inform(tr("您输入的“起始位置”格式有误，请重新输入。"));
        return false;
    }
    if (!endCell.parse(ui->endCellText->toPlainText())) {
        KivMessageBox::inform(tr("您输入的“结束位置”格式有误，请重新输入。"));
        return false;
    }
    const qint32 column = CellRef().colLettersToNumber(ui->referColText->toPlainText().trimmed());
    if (column == 0) {
        KivMessageBox::inform(tr("您输入的“分割参考列”格式有误，请重新输入。"));
        return false;
    }
    referColNumber = column;
    return true;
}

// The run on the workbook just opened; returns the message for the user. Everything refused
// here is refused before the workbook changes.
QString SplitSheetFromColumn::splitInOpenWorkbook(bool deleteReferColumn)
{
    SheetEntry* source = mExcelOpKiv->findSheet(sheetName);
    if (!source)
        return tr("文件中没有名为“%1”的Sheet表，请重新导入文件并选择要处理的Sheet表。").arg(sheetName);
    const QString outside = areaOutsideSheet(*source);
    if (!outside.isEmpty())
        return outside;

    ColumnSplitRun run(*mExcelOpKiv, {sheetName, startCell.row, endCell.row, referColNumber, deleteReferColumn});
    const ColumnSplitRun::Outcome outcome = run.run();
    if (outcome == ColumnSplitRun::Outcome::Failed)
        return tr("处理时出错：新Sheet表里的行没能删除（工作表可能受保护），已停止处理，文件没有改动。");
    if (!mExcelOpKiv->saveWorkbook())
        return tr("保存失败：处理结果没能保存到%1，请确认该文件没有被其他程序打开并且可以写入。").arg(dealFilePath);
    if (outcome == ColumnSplitRun::Outcome::Cancelled)
        return tr("注意：还没处理完毕，您已退出，但部分处理结果已经保存在目录文件内了。");
    if (!run.valuesWithoutSheet().isEmpty()) {
        QStringList quoted;
        for (const QString& value : run.valuesWithoutSheet())
            quoted.append(QStringLiteral("“%1”").arg(value));
        return tr("没有全部处理完毕：以下值没能生成新的Sheet表：%1。其余结果已经保存在%2内。")
            .arg(quoted.join(QStringLiteral("、")), dealFilePath);
    }
    return tr("处理完毕请打开") + dealFilePath + tr("查看。");
}

QString SplitSheetFromColumn::areaOutsideSheet(SheetEntry& source) const
{
    const int rowLimit = source.rowLimit();
    const auto outsideRows = [rowLimit](int row) { return row < 1 || (rowLimit > 0 && row > rowLimit); };
    if (outsideRows(startCell.row))
        return tr("您输入的“起始位置”不在工作表的行范围（1到%1）内，请重新输入。").arg(rowLimit);
    if (outsideRows(endCell.row))
        return tr("您输入的“结束位置”不在工作表的行范围（1到%1）内，请重新输入。").arg(rowLimit);
    const int columnLimit = source.columnLimit();
    if (columnLimit > 0 && referColNumber > columnLimit)
        return tr("您输入的“分割参考列”超出了工作表的最后一列%1，请重新输入。").arg(columnLetters(columnLimit));
    return QString();
}
