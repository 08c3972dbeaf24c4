#include "tools/compare/duzozodkiv.h"

#include "common/formwidgets.h"
#include "common/bannerseam.h"
#include "common/busycursor.h"
#include "common/dialogs.h"
#include "common/onelinefield.h"
#include "common/optionsmenu.h"
#include "excelop/excelopkiv.h"
#include "tools/compare/comparisonjob.h"
#include "tools/compare/duzozodkivform.h"
#include "tools/outcomebox.h"
#include "tools/resultsave.h"
#include "tools/workbookimport.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QTextEdit>

DuZozodKiv::DuZozodKiv(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<DuZozodKivForm>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    // Queued: the column picker is filled after the slot that changed the sheet picker returns.
    connect(ui->comboBoxSheet1, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DuZozodKiv::on_comboSheetBox1SelecteChangeKiv, Qt::QueuedConnection);
    connect(ui->comboBoxSheet2, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DuZozodKiv::on_comboSheetBox2SelecteChangeKiv, Qt::QueuedConnection);

    for (QTextEdit* field : {ui->directFilePath, ui->sheet1RowsTextEdit, ui->sheet2RowsTextEdit})
        makeOneLineField(field);
    addOptionsMenu();
    acceptFileDrops(ui->directFilePath, [this](const QString& path) { importWorkbook(path); });
    banner = startBannerFor(ui->adViewButton, QStringLiteral("adde"));
}

void DuZozodKiv::addOptionsMenu()
{
    QMenu* menu = optionsMenuOf(this);
    trimOption = addRememberedOption(menu, tr("忽略首尾空格"), QStringLiteral("compare/trim"));
    caseOption = addRememberedOption(menu, tr("忽略大小写"), QStringLiteral("compare/ignoreCase"));
    widthOption = addRememberedOption(menu, tr("全角半角视为相同"), QStringLiteral("compare/foldWidth"));
    menu->addSeparator();
    matchRowOption = addRememberedOption(menu, tr("再加一列：首次出现的行号"), QStringLiteral("compare/matchRow"));
    highlightOption = addRememberedOption(menu, tr("标出次数为0的行"), QStringLiteral("compare/highlight"));
    menu->addSeparator();
    backupOption = addRememberedOption(menu, tr("保存前在旁边保留原文件的备份"), QStringLiteral("compare/backup"));
}

DuZozodKiv::~DuZozodKiv()
{
    mExcelOpKiv.reset();
    releaseBanner();
}

void DuZozodKiv::on_importDirectFile_clicked()
{
    // A cancelled dialog leaves the loaded workbook and the form as they were.
    const QString chosenPath = askForWorkbook(this, "DuZozodKiv", mExcelOpKiv);
    if (!chosenPath.isEmpty())
        importWorkbook(chosenPath);
}

void DuZozodKiv::importWorkbook(const QString& chosenPath)
{
    if (runInProgress)
        return;
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    ui->directFilePath->setPlainText(chosenPath);
    const QString path = ui->directFilePath->toPlainText();
    const bool opened = openInNewLink(path, mExcelOpKiv);
    const QStringList names = opened ? mExcelOpKiv->getSheetNames() : QStringList();
    if (opened && mExcelOpKiv->isReadOnly())
        KivMessageBox::inform(readOnlyAtImportText(path), NoticeKind::Warning, this);
    fillComboBox(names, ui->comboBoxSheet1);
    if (names.size() < 2) {
        ui->comboBoxSheet2->clear();
    } else {
        fillComboBox(names, ui->comboBoxSheet2);
        ui->comboBoxSheet2->setCurrentIndex(1);
    }
    setEnabled(true);
}

namespace {

// The field's text without surrounding white space, written back as the run will read it.
QString strippedField(QTextEdit* field)
{
    field->setPlainText(field->toPlainText().trimmed());
    return field->toPlainText();
}

} // namespace

ComparisonSettings DuZozodKiv::comparisonSettings() const
{
    ComparisonSettings settings;
    settings.workbookPath = ui->directFilePath->toPlainText();
    settings.side1 = {ui->comboBoxSheet1->currentIndex(), ui->comboBoxSheet1->currentText(),
                      ui->comboBoxTitle1->currentIndex(), ui->comboBoxTitle1->currentText(),
                      strippedField(ui->sheet1RowsTextEdit)};
    settings.side2 = {ui->comboBoxSheet2->currentIndex(), ui->comboBoxSheet2->currentText(),
                      ui->comboBoxTitle2->currentIndex(), ui->comboBoxTitle2->currentText(),
                      strippedField(ui->sheet2RowsTextEdit)};
    settings.options.trimSpaces = trimOption->isChecked();
    settings.options.ignoreCase = caseOption->isChecked();
    settings.options.foldWidth = widthOption->isChecked();
    settings.options.matchRow = matchRowOption->isChecked();
    settings.options.highlightMissing = highlightOption->isChecked();
    settings.options.keepBackup = backupOption->isChecked();
    settings.onLoss = ResultSaver::askInWindow();
    // Asked during the run, whose boxes are centred on this window.
    settings.onSpanningFormulas = [](const QString& explanation) {
        return KivMessageBox::confirm(explanation, tr("要继续对比吗？选择“停止”则文件不做任何改动。"), tr("继续"),
                                      tr("停止"));
    };
    return settings;
}

void DuZozodKiv::on_startCompareButton_clicked()
{
    const ComparisonSettings settings = comparisonSettings();
    if (!mExcelOpKiv) {
        // Nothing imported: the form's own checks say so.
        const QString problem = ComparisonRun::formProblem(settings);
        KivMessageBox::inform(problem.isEmpty() ? tr("没有导入Excel文件，无法比对。") : problem, NoticeKind::Warning,
                              this);
        return;
    }
    setEnabled(false);
    BoxesCentredOn boxesHere(this);
    runInProgress = true;
    ComparisonJob job(settings);
    JobOutcome outcome;
    {
        BusyCursor busy;
        outcome = job.runOn(*mExcelOpKiv);
        if (job.columnsInserted() > 0)
            showPickersAfterInsertion(settings.side1.titleIndex, settings.side2.titleIndex, job.columnsInserted());
    }
    runInProgress = false;
    showOutcome(outcome, this);
    setEnabled(true);
    // A stopped or failed run leaves the open workbook part-way: it is let go, to be imported again.
    if (outcome.kind == JobOutcome::Kind::Cancelled || outcome.kind == JobOutcome::Kind::Failed)
        close();
}

// Row 1 of both sheets starts with the new headers now: the pickers show them, and keep the
// compared columns, as many places further right.
void DuZozodKiv::showPickersAfterInsertion(int titleIndex1, int titleIndex2, int insertedColumns)
{
    refreshColumnTitles(ui->comboBoxSheet1, ui->comboBoxTitle1);
    refreshColumnTitles(ui->comboBoxSheet2, ui->comboBoxTitle2);
    ui->comboBoxTitle1->setCurrentIndex(titleIndex1 + insertedColumns);
    ui->comboBoxTitle2->setCurrentIndex(titleIndex2 + insertedColumns);
}

void DuZozodKiv::on_adViewButton_clicked()
{
    // The banner handles its own button.
}

void DuZozodKiv::on_comboSheetBox1SelecteChangeKiv(int)
{
    // The index the signal reported may be stale by now: the picker's current one counts.
    refreshColumnTitles(ui->comboBoxSheet1, ui->comboBoxTitle1);
    fillRowCount(ui->comboBoxSheet1, ui->sheet1RowsTextEdit);
}

void DuZozodKiv::on_comboSheetBox2SelecteChangeKiv(int)
{
    refreshColumnTitles(ui->comboBoxSheet2, ui->comboBoxTitle2);
    fillRowCount(ui->comboBoxSheet2, ui->sheet2RowsTextEdit);
}

// 总行数 counts the title row: the sheet's last used row is what the user almost always means.
void DuZozodKiv::fillRowCount(QComboBox* sheetBox, QTextEdit* rowsField)
{
    SheetEntry* entry = mExcelOpKiv && !runInProgress ? mExcelOpKiv->sheetAt(sheetBox->currentIndex()) : nullptr;
    if (!entry)
        return;
    const int lastRow = entry->usedRowCount();
    if (lastRow > 0)
        rowsField->setPlainText(QString::number(lastRow));
}

void DuZozodKiv::refreshColumnTitles(QComboBox* sheetBox, QComboBox* titleBox)
{
    const int index = sheetBox->currentIndex();
    if (!mExcelOpKiv || index == -1)
        return;
    SheetEntry* entry = mExcelOpKiv->sheetAt(index);
    if (!entry) {
        // A typed name or a picker left from a cancelled import: no sheet, so no columns.
        titleBox->clear();
        return;
    }
    entry->loadColumnTitles(1);
    fillComboBox(getColumnTitleTexts(entry->titles), titleBox);
}

// The launcher shows the same window again after a close, which released the banner.
void DuZozodKiv::showEvent(QShowEvent* event)
{
    if (!banner)
        banner = startBannerFor(ui->adViewButton, QStringLiteral("adde"));
    QMainWindow::showEvent(event);
}

void DuZozodKiv::closeEvent(QCloseEvent* event)
{
    if (runInProgress) {
        // The run still works on the sheets of this link.
        event->ignore();
        return;
    }
    slotsCloseEventKiv(event);
    QMainWindow::closeEvent(event);
}

void DuZozodKiv::slotsCloseEventKiv(QCloseEvent*)
{
    mExcelOpKiv.reset();
    releaseBanner();
    ui->directFilePath->setPlainText(QString());
    ui->comboBoxSheet1->clear();
    ui->comboBoxSheet2->clear();
    ui->comboBoxTitle1->clear();
    ui->comboBoxTitle2->clear();
    ui->sheet1RowsTextEdit->setPlainText(QString());
    ui->sheet2RowsTextEdit->setPlainText(QString());
}

void DuZozodKiv::releaseBanner()
{
    if (!banner)
        return;
    banner->deleteLater();
    banner = nullptr;
}
