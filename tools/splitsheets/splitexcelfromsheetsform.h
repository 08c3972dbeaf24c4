#pragma once
// The sheet-to-files splitter's form, built in code with absolute geometry.

#include <QCoreApplication>

class QLabel;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QWidget;

namespace Ui {

class splitExcelFromSheets
{
    Q_DECLARE_TR_FUNCTIONS(splitExcelFromSheets)

public:
    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);

    QWidget* centralwidget = nullptr;
    QPushButton* myAdViewButton = nullptr;
    QLabel* label_2 = nullptr;
    QPushButton* importFileButton = nullptr;
    QTextEdit* dealFilePathTextEdit = nullptr;
    QPushButton* selectDirButton = nullptr;
    QTextEdit* outputDirPathTextEdit = nullptr;
    QLabel* label = nullptr;
    QPushButton* startButton = nullptr;
    QMenuBar* menubar = nullptr;
    QStatusBar* statusbar = nullptr;
};

} // namespace Ui
