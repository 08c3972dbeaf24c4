#include "tools/splitsheets/splitexcelfromsheets.h"

#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "common/bannerseam.h"

#include <QPushButton>
#include "tools/splitsheets/sheetfilesjob.h"
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
    SheetFilesJob job({ui->dealFilePathTextEdit->toPlainText().trimmed(), ui->outputDirPathTextEdit->toPlainText().trimmed()});
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
