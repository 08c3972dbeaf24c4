#pragma once
// The comparer: for two sheets of one workbook and a column in each, counts for every data row
// how often its value occurs in the other sheet's column, and writes the counts into a new
// first column of both sheets.

#include <QMainWindow>
#include <memory>

class ExcelOpKiv;
class QAction;
class QCloseEvent;
class QComboBox;
class QTextEdit;
class DuZozodKivForm;

class DuZozodKiv : public QMainWindow
{
    Q_OBJECT

public:
    explicit DuZozodKiv(QWidget* parent = nullptr);
    ~DuZozodKiv() override;

    bool hasExcelLink() const { return mExcelOpKiv != nullptr; }
    // Imports the workbook as the import button does after its dialog (a drop, "open with").
    void importWorkbook(const QString& path);

public slots:
    void on_importDirectFile_clicked();
    void on_startCompareButton_clicked();
    void on_adViewButton_clicked();
    void on_comboSheetBox1SelecteChangeKiv(int index);
    void on_comboSheetBox2SelecteChangeKiv(int index);
    void slotsCloseEventKiv(QCloseEvent* event);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refreshColumnTitles(QComboBox* sheetBox, QComboBox* titleBox);
    void fillRowCount(QComboBox* sheetBox, QTextEdit* rowsField);
    struct ComparisonSettings comparisonSettings() const;
    void showPickersAfterInsertion(int titleIndex1, int titleIndex2, int insertedColumns);
    void addOptionsMenu();
    void releaseBanner();

    std::unique_ptr<ExcelOpKiv> mExcelOpKiv;
    bool runInProgress = false;
    // The advertisement banner on adViewButton, deleted deferred (it may have events pending).
    QObject* banner = nullptr;
    std::unique_ptr<DuZozodKivForm> ui;
    // The 选项 menu's choices.
    QAction* trimOption = nullptr;
    QAction* caseOption = nullptr;
    QAction* widthOption = nullptr;
    QAction* matchRowOption = nullptr;
    QAction* highlightOption = nullptr;
    QAction* backupOption = nullptr;
};
