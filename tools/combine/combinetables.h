#pragma once
// The combine window: sheets of one workbook into one sheet, or workbooks into a new workbook.
// Both run through their jobs, as the command line does.

#include "tools/joboutcome.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class ExcelOpKiv;
class QAction;
class QCloseEvent;
namespace Ui {
class CombineTables;
}

class CombineTables : public QMainWindow
{
    Q_OBJECT
public:
    explicit CombineTables(QWidget* parent = nullptr);
    ~CombineTables() override;
    // Takes the workbook as the import button does after its dialog (a drop, "open with").
    void importWorkbook(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_importFileButton_clicked();
    void on_addFilesButton_clicked();
    void on_chooseFolderButton_clicked();
    void on_outputButton_clicked();
    void on_startButton_clicked();

private:
    QStringList checkedSheets() const;
    void startSheetCombination();
    void startFileCombination();
    void runJob(const std::function<JobOutcome(std::unique_ptr<ExcelOpKiv>&)>& job);

    std::unique_ptr<Ui::CombineTables> ui;
    std::unique_ptr<ExcelOpKiv> mExcelOpKiv; // the imported workbook, for its sheets' names
    QString chosenFolder;                    // the files are every workbook in it
    QObject* banner = nullptr;
    QAction* alignTitlesOption = nullptr;        // 选项: 按标题对齐
    QAction* stackOption = nullptr;              // 选项: sheets of one name stacked
    QAction* backupOption = nullptr;             // 选项: the original kept beside the workbook
    QAction* keepBrokenFormulasOption = nullptr; // 选项: formulas pointing at other sheets stay
};
