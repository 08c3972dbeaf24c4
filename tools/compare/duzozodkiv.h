#pragma once
// The comparer: for two sheets of one workbook and a column in each, counts for every data row
// how often its value occurs in the other sheet's column, and writes the counts into a new
// first column of both sheets.

#include <QMainWindow>
#include <memory>

class ExcelOpKiv;
class QCloseEvent;
class QComboBox;
class QTextEdit;
class SheetEntry;
class DuZozodKivForm;

class DuZozodKiv : public QMainWindow
{
    Q_OBJECT

public:
    explicit DuZozodKiv(QWidget* parent = nullptr);
    ~DuZozodKiv() override;

    // Reads both columns, then writes for each row the number of equal values in the other
    // column. False when the user cancelled or the office refused a write; what was written
    // before stays in the sheets.
    bool countOccurrences(SheetEntry* sheet1, int firstRow1, int readColumn1, int writeColumn1,
                          int lastRow1, SheetEntry* sheet2, int firstRow2, int readColumn2,
                          int writeColumn2, int lastRow2);

    bool hasExcelLink() const { return mExcelOpKiv != nullptr; }

public slots:
    void on_importDirectFile_clicked();
    void on_startCompareButton_clicked();
    void on_adViewButton_clicked();
    void on_comboSheetBox1SelecteChangeKiv(int index);
    void on_comboSheetBox2SelecteChangeKiv(int index);
    void slotsCloseEventKiv(QCloseEvent* event);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct CompareChoice;

    void refreshColumnTitles(QComboBox* sheetBox, QComboBox* titleBox);
    QString firstInputProblem(CompareChoice& choice);
    QString firstChoiceProblem(CompareChoice& choice) const;
    int checkedRowCount(QTextEdit* field);
    void prepareSheets(const CompareChoice& choice);
    void finishRun(bool finished);
    void releaseBanner();

    std::unique_ptr<ExcelOpKiv> mExcelOpKiv;
    bool runInProgress = false;
    // The advertisement banner on adViewButton, deleted deferred (it may have events pending).
    QObject* banner = nullptr;
    std::unique_ptr<DuZozodKivForm> ui;
};
