#pragma once
// The column splitter's window: import a workbook, choose a sheet, the data area and the
// reference column, and split the sheet into one new sheet per value of that column.

#include <QMainWindow>
#include <QString>
#include <memory>

class ColumnSplitJob;
class ExcelOpKiv;
class QAction;

namespace Ui {
class SplitSheetFromColumn;
}

class SplitSheetFromColumn : public QMainWindow
{
    Q_OBJECT
public:
    explicit SplitSheetFromColumn(QWidget* parent = nullptr);
    ~SplitSheetFromColumn() override;
    // Imports the workbook as the import button does after its dialog (a drop, "open with").
    void importWorkbook(const QString& path);

protected:
    // The workbook is released with the window: no lock held, no stale copy left in the office.
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_pushButton_clicked();
    void on_importFileButton_clicked();

private:
    void fillDataArea();
    bool planAccepted(ColumnSplitJob& job);

    std::unique_ptr<Ui::SplitSheetFromColumn> ui;
    QObject* banner = nullptr; // the advertisement banner over myAdViewButton
    std::unique_ptr<ExcelOpKiv> mExcelOpKiv;
    QAction* backupOption = nullptr;             // 选项: keep the original beside the workbook
    QAction* lookFirstOption = nullptr;          // 选项: the plan before the run
    QAction* intoFilesOption = nullptr;          // 选项: one file per value in a chosen folder
    QAction* keepBrokenFormulasOption = nullptr; // 选项: formulas losing what they refer to stay
};
