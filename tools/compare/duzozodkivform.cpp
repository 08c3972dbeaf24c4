#include "tools/compare/duzozodkivform.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolBar>

namespace {

template <typename Widget>
Widget* named(QWidget* parent, const char* objectName)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

QHBoxLayout* namedRow(const char* objectName)
{
    auto* row = new QHBoxLayout();
    row->setSpacing(6);
    row->setObjectName(QString::fromLatin1(objectName));
    return row;
}

void addStretch(QHBoxLayout* row)
{
    row->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
}

QComboBox* pickerBox(QWidget* parent, const char* objectName)
{
    auto* box = named<QComboBox>(parent, objectName);
    box->setEditable(true);
    box->setFixedWidth(110);
    return box;
}

// spacer, label, spacer, picker, spacer, label, spacer, picker, spacer
void fillPickerRow(QHBoxLayout* row, QLabel* label1, QComboBox* box1, QLabel* label2, QComboBox* box2)
{
    addStretch(row);
    row->addWidget(label1);
    addStretch(row);
    row->addWidget(box1);
    addStretch(row);
    row->addWidget(label2);
    addStretch(row);
    row->addWidget(box2);
    addStretch(row);
}

QString instructionsHtml()
{
    const QString justified =
        QStringLiteral("<p align=\"justify\" style=\"margin-top:0px; margin-bottom:0px; margin-left:0px; "
                       "margin-right:0px; -qt-block-indent:0; text-indent:0px;\">%1</p>");
    const QString plain =
        QStringLiteral("<p style=\"margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
                       "-qt-block-indent:0; text-indent:0px;\">%1</p>");
    return QStringLiteral("<html><head><meta name=\"qrichtext\" content=\"1\" /></head>"
                          "<body style=\" font-family:'SimSun'; font-size:9pt;\">"
                          "<div style=\" font-family:'宋体';\">")
           + plain.arg(QCoreApplication::translate("DuZozodKiv", "说明："))
           + justified.arg(QCoreApplication::translate("DuZozodKiv", "1、系统必须安装LibreOffice Calc任意版本；"))
           + justified.arg(QCoreApplication::translate("DuZozodKiv", "2、导入文件的列名必须放在表格的第一行；"))
           + justified.arg(QCoreApplication::translate(
               "DuZozodKiv", "3、点击“开始对比”按钮后该按钮即可开始对比，结果保存在导入的Excel文件里。"))
           + QStringLiteral("</div></body></html>");
}

} // namespace

void DuZozodKivForm::setupUi(QMainWindow* window)
{
    window->setObjectName(QStringLiteral("DuZozodKiv"));
    window->resize(600, 584);
    window->setMinimumSize(600, 500);
    window->setMaximumSize(10000, 10000);

    centralWidget = named<QWidget>(window, "centralWidget");
    gridLayout = new QGridLayout(centralWidget);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(6);
    gridLayout->setContentsMargins(11, 11, 11, 11);

    adViewButton = named<QPushButton>(centralWidget, "adViewButton");
    adViewButton->setFixedSize(150, 100);
    gridLayout->addWidget(adViewButton, 0, 0);
    gridLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 1, 0);

    label = named<QLabel>(centralWidget, "label");
    gridLayout->addWidget(label, 2, 0);
    buildImportRow();
    label_2 = named<QLabel>(centralWidget, "label_2");
    gridLayout->addWidget(label_2, 4, 0);
    buildSheetRow();
    label_5 = named<QLabel>(centralWidget, "label_5");
    gridLayout->addWidget(label_5, 6, 0);
    buildTitleRow();
    gridLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 8, 0);
    label_8 = named<QLabel>(centralWidget, "label_8");
    gridLayout->addWidget(label_8, 9, 0, 1, 3);
    buildRowCountRow();

    startCompareButton = named<QPushButton>(centralWidget, "startCompareButton");
    startCompareButton->setFixedWidth(90);
    startCompareButton->setMinimumHeight(40);
    startCompareButton->setMaximumHeight(80);
    gridLayout->addWidget(startCompareButton, 11, 1);

    textBrowser = named<QTextBrowser>(centralWidget, "textBrowser");
    textBrowser->setMinimumHeight(50);
    textBrowser->setMaximumHeight(100);
    gridLayout->addWidget(textBrowser, 12, 0, 1, 3);

    window->setCentralWidget(centralWidget);
    buildWindowBars(window);
    retranslateUi(window);
}

void DuZozodKivForm::buildImportRow()
{
    horizontalLayout = namedRow("horizontalLayout");
    importDirectFile = named<QPushButton>(centralWidget, "importDirectFile");
    directFilePath = named<QTextEdit>(centralWidget, "directFilePath");
    directFilePath->setReadOnly(true);
    directFilePath->setMaximumHeight(25);
    horizontalLayout->addWidget(importDirectFile);
    addStretch(horizontalLayout);
    horizontalLayout->addWidget(directFilePath);
    gridLayout->addLayout(horizontalLayout, 3, 0, 1, 3);
}

void DuZozodKivForm::buildSheetRow()
{
    horizontalLayout_2 = namedRow("horizontalLayout_2");
    label_4 = named<QLabel>(centralWidget, "label_4");
    comboBoxSheet1 = pickerBox(centralWidget, "comboBoxSheet1");
    label_3 = named<QLabel>(centralWidget, "label_3");
    comboBoxSheet2 = pickerBox(centralWidget, "comboBoxSheet2");
    fillPickerRow(horizontalLayout_2, label_4, comboBoxSheet1, label_3, comboBoxSheet2);
    gridLayout->addLayout(horizontalLayout_2, 5, 0, 1, 3);
}

void DuZozodKivForm::buildTitleRow()
{
    horizontalLayout_3 = namedRow("horizontalLayout_3");
    label_6 = named<QLabel>(centralWidget, "label_6");
    comboBoxTitle1 = pickerBox(centralWidget, "comboBoxTitle1");
    label_7 = named<QLabel>(centralWidget, "label_7");
    comboBoxTitle2 = pickerBox(centralWidget, "comboBoxTitle2");
    fillPickerRow(horizontalLayout_3, label_6, comboBoxTitle1, label_7, comboBoxTitle2);
    gridLayout->addLayout(horizontalLayout_3, 7, 0, 1, 3);
}

void DuZozodKivForm::buildRowCountRow()
{
    horizontalLayout_4 = namedRow("horizontalLayout_4");
    label_9 = named<QLabel>(centralWidget, "label_9");
    label_9->setFixedWidth(80);
    sheet1RowsTextEdit = named<QTextEdit>(centralWidget, "sheet1RowsTextEdit");
    sheet1RowsTextEdit->setFixedSize(40, 40);
    label_10 = named<QLabel>(centralWidget, "label_10");
    label_10->setFixedWidth(80);
    sheet2RowsTextEdit = named<QTextEdit>(centralWidget, "sheet2RowsTextEdit");
    sheet2RowsTextEdit->setFixedSize(40, 40);
    horizontalLayout_4->addWidget(label_9);
    horizontalLayout_4->addWidget(sheet1RowsTextEdit);
    addStretch(horizontalLayout_4);
    horizontalLayout_4->addWidget(label_10);
    horizontalLayout_4->addWidget(sheet2RowsTextEdit);
    gridLayout->addLayout(horizontalLayout_4, 10, 0, 1, 2);
}

void DuZozodKivForm::buildWindowBars(QMainWindow* window)
{
    menuBar = named<QMenuBar>(window, "menuBar");
    window->setMenuBar(menuBar);
    mainToolBar = named<QToolBar>(window, "mainToolBar");
    window->addToolBar(Qt::TopToolBarArea, mainToolBar);
    statusBar = named<QStatusBar>(window, "statusBar");
    window->setStatusBar(statusBar);
}

void DuZozodKivForm::retranslateUi(QMainWindow* window)
{
    window->setWindowTitle(tr("KivEcel工具箱：Excel对比器"));
    adViewButton->setText(QString());
    label->setText(tr("第一步，导入Excel文件："));
    importDirectFile->setText(tr("导入Excel文件"));
    label_2->setText(tr("第二步，选择要比对的Sheet表："));
    label_4->setText(tr("表1"));
    label_3->setText(tr("表2"));
    label_5->setText(tr("第三步，选择要比对的列名："));
    label_6->setText(tr("表1的列："));
    label_7->setText(tr("表2的列："));
    label_8->setText(tr("第四步，请分别填入表1、表2的总行数（必填）："));
    label_9->setText(tr("表1的总行数："));
    label_10->setText(tr("表2的总行数："));
    startCompareButton->setText(tr("开始对比"));
    textBrowser->setHtml(instructionsHtml());
}
