#include "tools/splitcolumn/splitsheetfromcolumnform.h"

#include "common/formwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

namespace Ui {

namespace {

QTextEdit* cellEntry(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* entry = placedWidget<QTextEdit>(parent, objectName, geometry);
    entry->setInputMethodHints(Qt::ImhNone);
    return entry;
}

} // namespace

void SplitSheetFromColumn::setupUi(QMainWindow* window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("SplitSheetFromColumn"));
    window->resize(561, 553);
    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));

    myAdViewButton = placedWidget<QPushButton>(centralwidget, "myAdViewButton", QRect(20, 10, 150, 100));
    myAdViewButton->setMinimumSize(150, 100);
    myAdViewButton->setMaximumSize(150, 100);
    label_6 = placedWidget<QLabel>(centralwidget, "label_6", QRect(10, 120, 301, 16));
    importFileButton = placedWidget<QPushButton>(centralwidget, "importFileButton", QRect(10, 140, 91, 31));
    importFilePath = placedWidget<QTextEdit>(centralwidget, "importFilePath", QRect(110, 140, 431, 31));
    importFilePath->setReadOnly(true);
    importFilePath->setAcceptDrops(true);
    label_8 = placedWidget<QLabel>(centralwidget, "label_8", QRect(10, 190, 301, 16));
    comboBoxSheets = placedWidget<QComboBox>(centralwidget, "comboBoxSheets", QRect(40, 210, 121, 22));
    label_2 = placedWidget<QLabel>(centralwidget, "label_2", QRect(10, 250, 391, 16));
    label_3 = placedWidget<QLabel>(centralwidget, "label_3", QRect(70, 270, 91, 16));
    label_4 = placedWidget<QLabel>(centralwidget, "label_4", QRect(210, 270, 91, 16));
    startCellText = cellEntry(centralwidget, "startCellText", QRect(80, 290, 51, 31));
    label = placedWidget<QLabel>(centralwidget, "label", QRect(170, 290, 21, 31));
    QFont colonFont = label->font();
    colonFont.setPointSize(12);
    label->setFont(colonFont);
    endCellText = cellEntry(centralwidget, "endCellText", QRect(220, 290, 51, 31));
    label_5 = placedWidget<QLabel>(centralwidget, "label_5", QRect(10, 340, 391, 16));
    referColText = cellEntry(centralwidget, "referColText", QRect(150, 370, 41, 31));
    label_7 = placedWidget<QLabel>(centralwidget, "label_7", QRect(10, 420, 391, 16));
    deleteReferColAfterDealCheckBox =
        placedWidget<QCheckBox>(centralwidget, "deleteReferColAfterDealCheckBox", QRect(40, 440, 261, 16));
    deleteReferColAfterDealCheckBox->setChecked(false);
    pushButton = placedWidget<QPushButton>(centralwidget, "pushButton", QRect(210, 470, 101, 31));
    window->setCentralWidget(centralwidget);

    addMenuAndStatusBars(window, 561, menubar, statusbar);

    retranslateUi(window);
    widenLabelsToFit(centralwidget);
}

void SplitSheetFromColumn::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(tr("KivExcel工具箱：Excel按列分割器"));
    myAdViewButton->setText(QString());
    label_6->setText(tr("一、导入文件"));
    importFileButton->setText(tr("导入Excel文件"));
    label_8->setText(tr("二、请选择要处理的Sheet表："));
    label_2->setText(tr("三、请输入Excel的处理实际数据区域,即标题行和数据区域。（必填）："));
    label_3->setText(tr("起始位置：如A2"));
    label_4->setText(tr("结束于：如H50"));
    label->setText(tr(":"));
    label_5->setText(tr("四、请输入分割的参考列（必填）： 例如以A列为参考写A即可"));
    label_7->setText(tr("五、是否删除参考列（非必选）"));
    deleteReferColAfterDealCheckBox->setText(tr("如勾选此处，处理完毕后将删除参考列。"));
    pushButton->setText(tr("开始分割"));
}

} // namespace Ui
