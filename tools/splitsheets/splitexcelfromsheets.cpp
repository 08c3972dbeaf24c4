#include "tools/splitsheets/splitexcelfromsheets.h"

#include "common/bannerseam.h"
#include "common/busycursor.h"
#include "common/dialogs.h"
#include "common/onelinefield.h"
#include "common/optionsmenu.h"
#include "excelop/excelopkiv.h"
#include "tools/shared/sheetfilesjob.h"
#include "tools/splitsheets/splitexcelfromsheetsform.h"
#include "tools/outcomebox.h"
#include "tools/workbookimport.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>

splitExcelFromSheets::splitExcelFromSheets(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::splitExcelFromSheets>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    makeOneLineField(ui->dealFilePathTextEdit);
    makeOneLineField(ui->outputDirPathTextEdit);
    acceptFileDrops(ui->dealFilePathTextEdit, [this](const QString& path) { importWorkbook(path); });
    acceptFileDrops(ui->outputDirPathTextEdit, [this](const QString& path) {
        if (QFileInfo(path).isDir())
            ui->outputDirPathTextEdit->setPlainText(path);
    });
    formatChoice = addRememberedChoice(optionsMenuOf(this), tr("输出格式"),
                                       {tr("与原文件相同"), QStringLiteral(".xlsx"), QStringLiteral(".xls"),
                                        QStringLiteral(".ods"), tr(".csv（UTF-8，显示的值）"), QStringLiteral(".pdf")},
                                       SheetFilesJob::formats(), QStringLiteral("splitSheets/format"));
    skipHiddenOption =
        addRememberedOption(optionsMenuOf(this), tr("跳过隐藏的工作表"), QStringLiteral("splitSheets/skipHidden"));
    keepBrokenFormulasOption =
        addRememberedOption(optionsMenuOf(this), tr("保留引用其他工作表的公式（文件里会显示#REF!）"),
                            QStringLiteral("splitSheets/keepBrokenFormulas"));
    banner = startBannerFor(ui->myAdViewButton, QStringLiteral("adsfs"));
}

splitExcelFromSheets::~splitExcelFromSheets()
{
    if (banner)
        banner->deleteLater(); // it may still have events pending
    mExcelOpKiv.reset();
}

void splitExcelFromSheets::on_importFileButton_clicked()
{
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    // The office only tells which files it opens; no workbook is opened here.
    const QString path = askForWorkbook(this, "splitExcelFromSheets", mExcelOpKiv);
    if (!path.isEmpty())
        importWorkbook(path);
    setEnabled(true);
}

void splitExcelFromSheets::importWorkbook(const QString& path)
{
    ui->dealFilePathTextEdit->setPlainText(path);
}

void splitExcelFromSheets::on_selectDirButton_clicked()
{
    const QString folder = KivFileDialog::getExistingDirectory(this, QStringLiteral("splitExcelFromSheets/output"));
    if (!folder.isEmpty())
        ui->outputDirPathTextEdit->setPlainText(folder);
}

void splitExcelFromSheets::on_startButton_clicked()
{
    SheetFilesJob job({ui->dealFilePathTextEdit->toPlainText().trimmed(),
                       ui->outputDirPathTextEdit->toPlainText().trimmed(), skipHiddenOption->isChecked(),
                       chosenValue(formatChoice), keepBrokenFormulasOption->isChecked()});
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
    showOutcome(outcome, this);
    setEnabled(true);
}
