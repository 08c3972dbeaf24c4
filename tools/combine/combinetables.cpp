#include "tools/combine/combinetables.h"

#include "common/bannerseam.h"
#include "common/busycursor.h"
#include "common/dialogs.h"
#include "common/onelinefield.h"
#include "common/optionsmenu.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/combinetablesform.h"
#include "tools/combine/filecombinejob.h"
#include "tools/combine/sheetcombinejob.h"
#include "tools/outcomebox.h"
#include "tools/resultsave.h"
#include "tools/workbookimport.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>

CombineTables::CombineTables(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::CombineTables>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    makeOneLineField(ui->importFilePath);
    makeOneLineField(ui->outputPath);
    acceptFileDrops(ui->importFilePath, [this](const QString& path) { importWorkbook(path); });
    QMenu* options = optionsMenuOf(this);
    alignTitlesOption = addRememberedOption(options, tr("按标题对齐（标题不同的列按标题文字对齐）"),
                                            QStringLiteral("combine/alignTitles"));
    stackOption = addRememberedOption(options, tr("合并工作簿时同名的表合并为一个表（第一列为来源文件）"),
                                      QStringLiteral("combine/stack"));
    backupOption = addRememberedOption(options, tr("保存前在旁边保留原文件的备份"), QStringLiteral("combine/backup"));
    keepBrokenFormulasOption = addRememberedOption(options, tr("保留引用其他表的公式（引用会错位或指向原文件）"),
                                                   QStringLiteral("combine/keepBrokenFormulas"));
    banner = startBannerFor(ui->myAdViewButton, QStringLiteral("adsc"));
}

CombineTables::~CombineTables()
{
    mExcelOpKiv.reset(); // closes the workbook without saving
    if (banner)
        banner->deleteLater(); // it may still have events pending
}

void CombineTables::closeEvent(QCloseEvent* event)
{
    mExcelOpKiv.reset();
    QMainWindow::closeEvent(event);
}

void CombineTables::on_importFileButton_clicked()
{
    const QString path = askForWorkbook(this, "CombineTables", mExcelOpKiv);
    if (!path.isEmpty())
        importWorkbook(path);
}

void CombineTables::importWorkbook(const QString& path)
{
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    ui->sheetsModeButton->setChecked(true);
    ui->importFilePath->setPlainText(path);
    ui->sheetList->clear();
    for (const QString& name : importedSheetNames(this, path, mExcelOpKiv)) {
        auto* item = new QListWidgetItem(name, ui->sheetList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    setEnabled(true);
}

void CombineTables::on_addFilesButton_clicked()
{
    const QStringList files =
        KivFileDialog::getOpenFileNames(this, tr("请选择要合并的工作簿"), tr("电子表格文件 (*.xls *.xlsx *.ods)"),
                                        QStringLiteral("CombineTables/files"));
    if (files.isEmpty())
        return;
    ui->filesModeButton->setChecked(true);
    if (!chosenFolder.isEmpty()) {
        chosenFolder.clear();
        ui->filesList->clear();
    }
    ui->filesList->addItems(files);
}

void CombineTables::on_chooseFolderButton_clicked()
{
    const QString folder = KivFileDialog::getExistingDirectory(this, QStringLiteral("CombineTables/folder"));
    if (folder.isEmpty())
        return;
    ui->filesModeButton->setChecked(true);
    chosenFolder = folder;
    ui->filesList->clear();
    ui->filesList->addItems(FileCombineJob::workbooksIn(folder));
}

void CombineTables::on_outputButton_clicked()
{
    const QString path = KivFileDialog::getSaveFileName(
        this, tr("合并后的新工作簿"), tr("电子表格文件 (*.xls *.xlsx *.ods)"), QStringLiteral("CombineTables/result"));
    if (path.isEmpty())
        return;
    ui->filesModeButton->setChecked(true);
    // Without an extension the new workbook is an .xlsx.
    ui->outputPath->setPlainText(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".xlsx") : path);
}

QStringList CombineTables::checkedSheets() const
{
    QStringList names;
    for (int i = 0; i < ui->sheetList->count(); ++i)
        if (ui->sheetList->item(i)->checkState() == Qt::Checked)
            names.append(ui->sheetList->item(i)->text());
    return names;
}

void CombineTables::on_startButton_clicked()
{
    if (ui->sheetsModeButton->isChecked())
        startSheetCombination();
    else
        startFileCombination();
}

void CombineTables::startSheetCombination()
{
    SheetCombineRequest request;
    request.workbookPath = ui->importFilePath->toPlainText().trimmed();
    const QStringList checked = checkedSheets();
    if (ui->sheetList->count() > 0 && checked.size() < 2) {
        KivMessageBox::inform(tr("请至少选择两个要合并的Sheet表。文件没有改动。"), NoticeKind::Warning, this);
        return;
    }
    // All of them: the workbook's every sheet, as it is when the run opens it.
    if (checked.size() < ui->sheetList->count())
        request.settings.sheets = checked;
    request.settings.titleRows = ui->titleRowsSpin->value();
    request.settings.sourceColumn = ui->sourceColumnCheckBox->isChecked();
    request.settings.alignTitles = alignTitlesOption->isChecked();
    request.settings.keepBrokenFormulas = keepBrokenFormulasOption->isChecked();
    request.keepBackup = backupOption->isChecked();
    request.onLoss = ResultSaver::askInWindow();
    auto job = std::make_shared<SheetCombineJob>(request);
    const QString problem = job->formProblem();
    if (!problem.isEmpty()) {
        KivMessageBox::inform(problem, NoticeKind::Warning, this);
        return;
    }
    runJob([job](std::unique_ptr<ExcelOpKiv>& link) { return job->run(link); });
}

void CombineTables::startFileCombination()
{
    FileCombineRequest request;
    if (chosenFolder.isEmpty())
        for (int i = 0; i < ui->filesList->count(); ++i)
            request.files.append(ui->filesList->item(i)->text());
    request.folder = chosenFolder;
    request.resultPath = ui->outputPath->toPlainText().trimmed();
    request.settings.stack = stackOption->isChecked();
    request.settings.titleRows = ui->titleRowsSpin->value();
    request.settings.alignTitles = alignTitlesOption->isChecked();
    request.settings.keepBrokenFormulas = keepBrokenFormulasOption->isChecked();
    auto job = std::make_shared<FileCombineJob>(request);
    const QString problem = job->formProblem();
    if (!problem.isEmpty()) {
        KivMessageBox::inform(problem, NoticeKind::Warning, this);
        return;
    }
    runJob([job](std::unique_ptr<ExcelOpKiv>& link) { return job->run(link); });
}

void CombineTables::runJob(const std::function<JobOutcome(std::unique_ptr<ExcelOpKiv>&)>& job)
{
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    JobOutcome outcome;
    {
        BusyCursor busy;
        outcome = job(mExcelOpKiv);
    }
    showOutcome(outcome, this);
    setEnabled(true);
}
