#pragma once
// The launcher: the only window at start; opens the four tools.

#include <QMainWindow>
#include <QPointer>

class QLabel;
class QPushButton;
class QTextEdit;
class DuZozodKiv;
class SplitSheetFromColumn;
class splitExcelFromSheets;
class CombineTables;
class KivAdViewButton;
class UpdateFunKiv;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    DuZozodKiv* comparerWindow() const { return excelCompareWindow; }
    SplitSheetFromColumn* columnSplitterWindow() const { return splitByColumnWindow; }
    splitExcelFromSheets* sheetSplitterWindow() const { return splitBySheetWindow; }
    CombineTables* combinerWindow() const { return combineWindow; }

    // A workbook the program was started with ("open with" in a file manager): the first tool
    // the user opens imports it.
    void setWorkbookToOpen(const QString& path) { workbookToOpen = path; }

private slots:
    void on_ExcelCompareFunButton_clicked();
    void on_splitExcelByColFunButtonpl_clicked();
    void on_splithExcelBySeetFunButton_clicked();
    void on_combineFunButton_clicked();

private:
    struct Form;
    void buildForm();
    void retranslateForm();

    const int versionCode = 1;
    const QString updateDocumentUrl;
    Form* ui = nullptr;
    KivAdViewButton* adViewButton = nullptr;
    DuZozodKiv* excelCompareWindow = nullptr;
    SplitSheetFromColumn* splitByColumnWindow = nullptr;
    splitExcelFromSheets* splitBySheetWindow = nullptr;
    CombineTables* combineWindow = nullptr;
    UpdateFunKiv* updateCheck = nullptr;
    QString workbookToOpen;

    template <typename Tool>
    void showTool(Tool*& window);
};

// Shows a tool window application-modal, as every tool button does.
void showToolWindow(QWidget* window);
