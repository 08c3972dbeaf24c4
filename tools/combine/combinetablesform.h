#pragma once
// The combine window's form, built in code with absolute geometry.

#include <QCoreApplication>

class QCheckBox;
class QLabel;
class QListWidget;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTextEdit;
class QWidget;

namespace Ui {

class CombineTables
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);

    QWidget* centralwidget = nullptr;
    QPushButton* myAdViewButton = nullptr;
    QLabel* functionLabel = nullptr;
    QRadioButton* sheetsModeButton = nullptr;
    QPushButton* importFileButton = nullptr;
    QTextEdit* importFilePath = nullptr;
    QLabel* sheetsLabel = nullptr;
    QListWidget* sheetList = nullptr;
    QCheckBox* sourceColumnCheckBox = nullptr;
    QRadioButton* filesModeButton = nullptr;
    QPushButton* addFilesButton = nullptr;
    QPushButton* chooseFolderButton = nullptr;
    QListWidget* filesList = nullptr;
    QPushButton* outputButton = nullptr;
    QTextEdit* outputPath = nullptr;
    QLabel* titleRowsLabel = nullptr;
    QSpinBox* titleRowsSpin = nullptr;
    QPushButton* startButton = nullptr;
    QMenuBar* menubar = nullptr;
    QStatusBar* statusbar = nullptr;
};

} // namespace Ui
