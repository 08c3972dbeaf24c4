#include "tools/splitcolumn/splitsheetfromcolumn.h"

#include "common/formwidgets.h"
#include "common/bannerseam.h"
#include "common/busycursor.h"
#include "common/dialogs.h"
#include "common/onelinefield.h"
#include "common/optionsmenu.h"
#include "excelop/excelopkiv.h"
#include "tools/resultsave.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitcolumn/splitsheetfromcolumnform.h"
#include "tools/outcomebox.h"
#include "tools/workbookimport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QAction>
#include <QMenu>
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
    QMenu* options = optionsMenuOf(this);
    lookFirstOption = addRememberedOption(options, tr("分割前先看分割方案"), QStringLiteral("splitColumn/lookFirst"));
    intoFilesOption = addRememberedOption(options, tr("分割为单独的文件（每个值一个文件，原文件不变）"),
                                          QStringLiteral("splitColumn/intoFiles"));
    backupOption =
        addRememberedOption(options, tr("保存前在旁边保留原文件的备份"), QStringLiteral("splitColumn/backup"));
    keepBrokenFormulasOption = addRememberedOption(options, tr("保留引用内容不在新表里的公式（会显示#REF!）"),
                                                   QStringLiteral("splitColumn/keepBrokenFormulas"));
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
    fillComboBox(importedSheetNames(this, path, mExcelOpKiv), ui->comboBoxSheets);
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
    const DataArea area = ColumnSplitJob::usedAreaOf(*sheet);
    if (area.start.isEmpty())
        return;
    ui->startCellText->setPlainText(area.start);
    ui->endCellText->setPlainText(area.end);
}

void SplitSheetFromColumn::on_pushButton_clicked()
{
    ColumnSplitRequest request{ui->importFilePath->toPlainText(), ui->comboBoxSheets->currentText(),
                               ui->startCellText->toPlainText(),  ui->endCellText->toPlainText(),
                               ui->referColText->toPlainText(),   ui->deleteReferColAfterDealCheckBox->isChecked(),
                               backupOption->isChecked()};
    request.onLoss = ResultSaver::askInWindow();
    request.keepBrokenFormulas = keepBrokenFormulasOption->isChecked();
    ColumnSplitJob job(request);
    const QString problem = job.formProblem();
    if (!problem.isEmpty()) {
        KivMessageBox::inform(problem, NoticeKind::Warning, this);
        return;
    }
    if (intoFilesOption->isChecked()) {
        request.filesFolder = KivFileDialog::getExistingDirectory(this, QStringLiteral("splitColumn/files"));
        if (request.filesFolder.isEmpty())
            return;
        job = ColumnSplitJob(request);
    }
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    if (lookFirstOption->isChecked() && !planAccepted(job)) {
        setEnabled(true);
        return;
    }
    JobOutcome outcome;
    {
        BusyCursor busy;
        outcome = job.run(mExcelOpKiv);
    }
    showOutcome(outcome, this);
    setEnabled(true);
}

// Shows the plan with 开始 / 取消; true when the user starts. A refused plan says why.
bool SplitSheetFromColumn::planAccepted(ColumnSplitJob& job)
{
    JobOutcome planned;
    {
        BusyCursor busy;
        planned = job.plan(mExcelOpKiv);
    }
    if (planned.kind != JobOutcome::Kind::Done) {
        showOutcome(planned, this);
        return false;
    }
    return KivMessageBox::confirm(tr("分割方案（%1个值）：").arg(planned.plan.size()),
                                  planned.messages.join(QLatin1Char('\n')), tr("开始"), tr("取消"), this);
}
