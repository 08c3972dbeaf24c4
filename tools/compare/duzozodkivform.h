#pragma once
// The comparer's form, built in code: every widget carries its object name so that the window's
// on_<objectName>_<signal> slots bind by name.

#include <QCoreApplication>

class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTextBrowser;
class QTextEdit;
class QToolBar;
class QWidget;

class DuZozodKivForm
{
    Q_DECLARE_TR_FUNCTIONS(DuZozodKiv)

public:
    // Builds the widgets on the window and sets their texts; does not connect anything.
    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);

    QWidget* centralWidget = nullptr;
    QGridLayout* gridLayout = nullptr;
    QPushButton* adViewButton = nullptr;
    QLabel* label = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QPushButton* importDirectFile = nullptr;
    QTextEdit* directFilePath = nullptr;
    QLabel* label_2 = nullptr;
    QHBoxLayout* horizontalLayout_2 = nullptr;
    QLabel* label_4 = nullptr;
    QComboBox* comboBoxSheet1 = nullptr;
    QLabel* label_3 = nullptr;
    QComboBox* comboBoxSheet2 = nullptr;
    QLabel* label_5 = nullptr;
    QHBoxLayout* horizontalLayout_3 = nullptr;
    QLabel* label_6 = nullptr;
    QComboBox* comboBoxTitle1 = nullptr;
    QLabel* label_7 = nullptr;
    QComboBox* comboBoxTitle2 = nullptr;
    QLabel* label_8 = nullptr;
    QHBoxLayout* horizontalLayout_4 = nullptr;
    QLabel* label_9 = nullptr;
    QTextEdit* sheet1RowsTextEdit = nullptr;
    QLabel* label_10 = nullptr;
    QTextEdit* sheet2RowsTextEdit = nullptr;
    QPushButton* startCompareButton = nullptr;
    QTextBrowser* textBrowser = nullptr;
    QMenuBar* menuBar = nullptr;
    QToolBar* mainToolBar = nullptr;
    QStatusBar* statusBar = nullptr;

private:
    void buildImportRow();
    void buildSheetRow();
    void buildTitleRow();
    void buildRowCountRow();
    void buildWindowBars(QMainWindow* window);
};
