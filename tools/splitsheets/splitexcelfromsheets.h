#pragma once
// The sheet-to-files splitter's window: a target workbook and an output folder; the run writes
// every worksheet of the target as a file of its own into the folder.

#include <QMainWindow>
#include <memory>

class ExcelOpKiv;
class QAction;
class QActionGroup;
namespace Ui {
class splitExcelFromSheets;
}

class splitExcelFromSheets : public QMainWindow
{
    Q_OBJECT
public:
    explicit splitExcelFromSheets(QWidget* parent = nullptr);
    ~splitExcelFromSheets() override;
    // Takes the workbook as the import button does after its dialog (a drop, "open with").
    void importWorkbook(const QString& path);

private slots:
    void on_startButton_clicked();
    void on_importFileButton_clicked();
    void on_selectDirButton_clicked();

private:
    std::unique_ptr<Ui::splitExcelFromSheets> ui;
    std::unique_ptr<ExcelOpKiv> mExcelOpKiv;     // only during an import or a run
    QObject* banner = nullptr;                   // the advertisement banner over myAdViewButton
    QAction* skipHiddenOption = nullptr;         // 选项: hidden sheets get no file
    QAction* keepBrokenFormulasOption = nullptr; // 选项: formulas pointing at other sheets stay
    QActionGroup* formatChoice = nullptr;        // 选项: the files' format
};
