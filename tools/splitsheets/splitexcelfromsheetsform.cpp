#include "tools/splitsheets/splitexcelfromsheetsform.h"

#include "common/formwidgets.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

namespace Ui {

void splitExcelFromSheets::setupUi(QMainWindow* window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("splitExcelFromSheets"));
    window->resize(595, 339);
    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));

    myAdViewButton = placedWidget<QPushButton>(centralwidget, "myAdViewButton", QRect(20, 10, 150, 100));
    myAdViewButton->setMinimumSize(150, 100);
    myAdViewButton->setMaximumSize(150, 100);
    label_2 = placedWidget<QLabel>(centralwidget, "label_2", QRect(30, 120, 521, 16));
    importFileButton = placedWidget<QPushButton>(centralwidget, "importFileButton", QRect(10, 140, 111, 31));
    dealFilePathTextEdit = placedWidget<QTextEdit>(centralwidget, "dealFilePathTextEdit", QRect(130, 140, 451, 31));
    selectDirButton = placedWidget<QPushButton>(centralwidget, "selectDirButton", QRect(10, 180, 111, 31));
    outputDirPathTextEdit = placedWidget<QTextEdit>(centralwidget, "outputDirPathTextEdit", QRect(130, 180, 451, 31));
    label = placedWidget<QLabel>(centralwidget, "label", QRect(20, 220, 441, 16));
    startButton = placedWidget<QPushButton>(centralwidget, "startButton", QRect(220, 250, 141, 41));
    window->setCentralWidget(centralwidget);

    addMenuAndStatusBars(window, 595, menubar, statusbar);

    retranslateUi(window);
    widenLabelsToFit(centralwidget);
}

void splitExcelFromSheets::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(tr("KivExcel工具箱：Excel表格拆分器"));
    myAdViewButton->setText(QString());
    label_2->setText(tr("功能：将目标文件里的每个工作表分别保存为单独的文件，并存放于导出文件夹内。"));
    importFileButton->setText(tr("导入目标文件："));
    selectDirButton->setText(tr("选择导出文件夹："));
    label->setText(tr("注意：如果导出文件夹里有和表名相同的文件，将会覆盖掉。"));
    startButton->setText(tr("开始处理"));
}

} // namespace Ui
