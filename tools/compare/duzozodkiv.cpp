#include "tools/compare/duzozodkiv.h"

#include "excelop/excelopkiv.h"
#include "common/bannerseam.h"

#include <QPushButton>
#include "tools/compare/duzozodkivform.h"
#include "tools/workbookimport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QTextEdit>

DuZozodKiv::DuZozodKiv(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<DuZozodKivForm>())
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    // Queued: the column picker is filled after the slot that changed the sheet picker returns.
    connect(ui->comboBoxSheet1, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DuZozodKiv::on_comboSheetBox1SelecteChangeKiv, Qt::QueuedConnection);
    connect(ui->comboBoxSheet2, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DuZozodKiv::on_comboSheetBox2SelecteChangeKiv, Qt::QueuedConnection);

    banner = startBannerFor(ui->adViewButton, QStringLiteral("adde"));
}

DuZozodKiv::~DuZozodKiv()
{
    mExcelOpKiv.reset();
    releaseBanner();
}

void DuZozodKiv::on_importDirectFile_clicked()
{
    const QString chosenPath = replaceLinkAndAskForWorkbook(this, "DuZozodKiv", mExcelOpKiv);
    if (chosenPath.isEmpty())
        return;
    setEnabled(false);
    ui->directFilePath->setPlainText(chosenPath);
    const QString path = ui->directFilePath->toPlainText();
    mExcelOpKiv->openWorkBook(path);
    mExcelOpKiv->openSheets();
    const QStringList names = mExcelOpKiv->getSheetNames();
    fillComboBox(names, ui->comboBoxSheet1);
    if (names.size() < 2) {
        ui->comboBoxSheet2->clear();
    } else {
        fillComboBox(names, ui->comboBoxSheet2);
        ui->comboBoxSheet2->setCurrentIndex(1);
    }
    setEnabled(true);
}

void DuZozodKiv::on_adViewButton_clicked()
{
    // The banner handles its own button.
}

void DuZozodKiv::on_comboSheetBox1SelecteChangeKiv(int)
{
    // The index the signal reported may be stale by now: the picker's current one counts.
    refreshColumnTitles(ui->comboBoxSheet1, ui->comboBoxTitle1);
}

void DuZozodKiv::on_comboSheetBox2SelecteChangeKiv(int)
{
    refreshColumnTitles(ui->comboBoxSheet2, ui->comboBoxTitle2);
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
