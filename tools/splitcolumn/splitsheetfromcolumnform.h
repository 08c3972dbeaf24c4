#pragma once
// The column splitter's form, built in code with absolute geometry.

#include <QCoreApplication>

class QCheckBox;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QWidget;

namespace Ui {

class SplitSheetFromColumn
{
    Q_DECLARE_TR_FUNCTIONS(SplitSheetFromColumn)

public:
    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);

    QWidget* centralwidget = nullptr;
    QPushButton* myAdViewButton = nullptr;
    QLabel* label_6 = nullptr;
    QPushButton* importFileButton = nullptr;
    QTextEdit* importFilePath = nullptr;
    QLabel* label_8 = nullptr;
    QComboBox* comboBoxSheets = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* label_3 = nullptr;
    QLabel* label_4 = nullptr;
    QTextEdit* startCellText = nullptr;
    QLabel* label = nullptr;
    QTextEdit* endCellText = nullptr;
    QLabel* label_5 = nullptr;
    QTextEdit* referColText = nullptr;
    QLabel* label_7 = nullptr;
    QCheckBox* deleteReferColAfterDealCheckBox = nullptr;
    QPushButton* pushButton = nullptr;
    QMenuBar* menubar = nullptr;
    QStatusBar* statusbar = nullptr;
};

} // namespace Ui
