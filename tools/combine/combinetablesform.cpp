#include "tools/combine/combinetablesform.h"

#include "common/formwidgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>

namespace Ui {

void CombineTables::setupUi(QMainWindow* window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("CombineTables"));
    window->resize(595, 560);
    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));
    QWidget* form = centralwidget;

    myAdViewButton = placedWidget<QPushButton>(form, "myAdViewButton", QRect(20, 10, 150, 100));
    myAdViewButton->setFixedSize(150, 100);
    functionLabel = placedWidget<QLabel>(form, "functionLabel", QRect(20, 120, 561, 16));
    sheetsModeButton = placedWidget<QRadioButton>(form, "sheetsModeButton", QRect(10, 145, 561, 20));
    importFileButton = placedWidget<QPushButton>(form, "importFileButton", QRect(30, 170, 111, 31));
    importFilePath = placedWidget<QTextEdit>(form, "importFilePath", QRect(150, 170, 431, 31));
    sheetsLabel = placedWidget<QLabel>(form, "sheetsLabel", QRect(30, 210, 111, 16));
    sheetList = placedWidget<QListWidget>(form, "sheetList", QRect(150, 210, 431, 81));
    sourceColumnCheckBox = placedWidget<QCheckBox>(form, "sourceColumnCheckBox", QRect(150, 295, 431, 20));
    filesModeButton = placedWidget<QRadioButton>(form, "filesModeButton", QRect(10, 325, 561, 20));
    addFilesButton = placedWidget<QPushButton>(form, "addFilesButton", QRect(30, 350, 111, 31));
    chooseFolderButton = placedWidget<QPushButton>(form, "chooseFolderButton", QRect(30, 390, 111, 31));
    filesList = placedWidget<QListWidget>(form, "filesList", QRect(150, 350, 431, 71));
    outputButton = placedWidget<QPushButton>(form, "outputButton", QRect(30, 430, 111, 31));
    outputPath = placedWidget<QTextEdit>(form, "outputPath", QRect(150, 430, 431, 31));
    titleRowsLabel = placedWidget<QLabel>(form, "titleRowsLabel", QRect(30, 475, 111, 16));
    titleRowsSpin = placedWidget<QSpinBox>(form, "titleRowsSpin", QRect(150, 470, 61, 26));
    titleRowsSpin->setRange(0, 100);
    titleRowsSpin->setValue(1);
    startButton = placedWidget<QPushButton>(form, "startButton", QRect(230, 500, 141, 41));
    sheetsModeButton->setChecked(true);
    window->setCentralWidget(form);

    addMenuAndStatusBars(window, 595, menubar, statusbar);

    retranslateUi(window);
    widenLabelsToFit(form);
}

void CombineTables::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(tr("KivExcel工具箱：合并多个表/工作簿"));
    functionLabel->setText(tr("功能：把多个表合并为一个表，或把多个工作簿合并为一个新工作簿，格式和公式随行保留。"));
    sheetsModeButton->setText(tr("合并工作表：同一工作簿里选中的表合并为新表“合并”"));
    importFileButton->setText(tr("导入目标文件："));
    sheetsLabel->setText(tr("要合并的表："));
    sourceColumnCheckBox->setText(tr("第一列添加“来源”（每行来自哪个表）"));
    filesModeButton->setText(tr("合并工作簿：多个文件合并为一个新工作簿"));
    addFilesButton->setText(tr("添加文件："));
    chooseFolderButton->setText(tr("选择文件夹："));
    outputButton->setText(tr("新工作簿："));
    titleRowsLabel->setText(tr("标题行数："));
    startButton->setText(tr("开始合并"));
}

} // namespace Ui
