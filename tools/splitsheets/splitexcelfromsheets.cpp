#include "tools/splitsheets/splitexcelfromsheets.h"

#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "common/bannerseam.h"

#include <QPushButton>
#include "tools/splitsheets/sheetfilesrun.h"
#include "tools/splitsheets/splitexcelfromsheetsform.h"
#include "tools/workbookimport.h"

#include <QFileInfo>
#include <QTextEdit>

splitExcelFromSheets::splitExcelFromSheets(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::splitExcelFromSheets>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    banner = startBannerFor(ui->myAdViewButton, QStringLiteral("adsfs"));
}

splitExcelFromSheets::~splitExcelFromSheets()
{
    banner->deleteLater(); // it may still have events pending
    mExcelOpKiv.reset();
}

void splitExcelFromSheets::on_importFileButton_clicked()
{
    setEnabled(false);
    // The link only tells which files the office opens; no workbook is opened here.
    const QString path = replaceLinkAndAskForWorkbook(this, "splitExcelFromSheets", mExcelOpKiv);
    if (!path.isEmpty())
        ui->dealFilePathTextEdit->setPlainText(path);
    mExcelOpKiv.reset();
    setEnabled(true);
}

void splitExcelFromSheets::on_selectDirButton_clicked()
{
    const QString folder = KivFileDialog::getExistingDirectory(this);
    if (!folder.isEmpty())
        ui->outputDirPathTextEdit->setPlainText(folder);
}

void splitExcelFromSheets::on_startButton_clicked()
{
    const QString targetPath = ui->dealFilePathTextEdit->toPlainText().trimmed();
    const QString outputFolder = ui->outputDirPathTextEdit->toPlainText().trimmed();
    if (targetPath.isEmpty() || !QFileInfo(targetPath).isFile()) {
        KivMessageBox::inform(tr("“目标文件”不存在，请重新选择。"));
        return;
    }
    if (outputFolder.isEmpty() || !QFileInfo(outputFolder).isDir()) {
        KivMessageBox::inform(tr("“目标文件夹”不存在，请重新选择。"));
        return;
    }
    setEnabled(false);
    const QString outcome = writeSheetFiles(targetPath, outputFolder);
    if (!outcome.isEmpty())
        KivMessageBox::inform(outcome);
    setEnabled(true);
}

// The run itself; returns the message for the user (empty when the office already reported).
QString splitExcelFromSheets::writeSheetFiles(const QString& targetPath, const QString& outputFolder)
{
    replaceLink(mExcelOpKiv);
    mExcelOpKiv->openWorkBook(targetPath);
    mExcelOpKiv->openSheets(); // reports a workbook that did not open
    if (!mExcelOpKiv->hasWorkbook()) {
        mExcelOpKiv.reset();
        return QString();
    }
    const QStringList sheetnames = mExcelOpKiv->getSheetNames();

    SheetFilesRun run(*mExcelOpKiv, targetPath, outputFolder);
    const SheetFilesRun::Outcome outcome = run.run(sheetnames);
    mExcelOpKiv.reset(); // each output file is saved already; the target never is

    const QString failures = run.notWritten().isEmpty()
        ? QString()
        : tr("以下工作表的文件没能写入：\n%1\n").arg(run.notWritten().join(QLatin1Char('\n')));
    if (outcome == SheetFilesRun::Outcome::Cancelled)
        return failures + tr("注意：还没处理完毕，但您选择了退出，部分处理结果已经保存在输出目录内了，请自行查看");
    if (!failures.isEmpty())
        return failures + tr("其余文件已经保存，请打开目录") + outputFolder + tr("查看。");
    return tr("处理完毕请打开目录") + outputFolder + tr("查看。");
}
