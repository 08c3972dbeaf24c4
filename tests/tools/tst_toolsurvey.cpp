// The tools over the shared real-world workbooks: a run that says "done" never shows #REF! where a
// plain save of the workbook through the office shows a value, in any cell it was not asked to
// change. Other differences (results the office calculates again after the tool's change, and
// calculates otherwise than Excel did) are listed with the table, not failed on.
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/combine/filecombinejob.h"
#include "tools/compare/comparisonrun.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "tools/splitsheets/sheetfilesjob.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <QSet>

namespace {

bool sameValue(const QString& expected, const QString& actual)
{
    if (expected == actual)
        return true;
    // Results the office calculates again may differ in the last of their 15 to 17 digits.
    bool expectedIsNumber = false;
    bool actualIsNumber = false;
    const double want = expected.toDouble(&expectedIsNumber);
    const double got = actual.toDouble(&actualIsNumber);
    return expectedIsNumber && actualIsNumber
           && std::abs(want - got) <= 1e-12 * std::max(std::abs(want), std::abs(got));
}

// The cells of two sheets that differ, as "A1: x / y"; the second read from column `shift` + 1.
QStringList differences(const SheetContent& expected, const SheetContent& actual, int shift = 0)
{
    QStringList found;
    const int rows = qMax(expected.rows.size(), actual.rows.size());
    for (int r = 0; r < rows; ++r) {
        const QStringList want = expected.rows.value(r);
        const QStringList got = actual.rows.value(r).mid(shift);
        for (int c = 0; c < qMax(want.size(), got.size()); ++c)
            if (!sameValue(want.value(c), got.value(c)))
                found << QStringLiteral("%1%2: %3 / %4")
                             .arg(columnLetters(c + 1))
                             .arg(r + 1)
                             .arg(want.value(c), got.value(c));
    }
    return found;
}

// The first of the first five columns whose data rows (below row 1) hold 2 to 20 distinct values,
// as a user picks a category column; 0 when none does or the sheet is too long to survey quickly.
int categoryColumn(const SheetContent& sheet)
{
    if (sheet.rows.size() < 3 || sheet.rows.size() > 3000)
        return 0;
    for (int c = 0; c < 5; ++c) {
        QSet<QString> values;
        for (int r = 1; r < sheet.rows.size() && values.size() <= 20; ++r)
            if (!sheet.rows.at(r).value(c).isEmpty())
                values.insert(sheet.rows.at(r).value(c));
        if (values.size() >= 2 && values.size() <= 20)
            return c + 1;
    }
    return 0;
}

bool emptyRow(const QStringList& row)
{
    return std::all_of(row.begin(), row.end(), [](const QString& text) { return text.isEmpty(); });
}

// The data rows (below row 1, not entirely empty) of each value of the column, the values in the
// order they first appear: the order the split makes their sheets in.
QList<QList<QStringList>> rowsByValue(const SheetContent& source, int column)
{
    QStringList values;
    QList<QList<QStringList>> groups;
    for (int r = 1; r < source.rows.size(); ++r) {
        const QStringList& row = source.rows.at(r);
        if (emptyRow(row))
            continue;
        const QString value = row.value(column - 1);
        if (!values.contains(value)) {
            values << value;
            groups << QList<QStringList>();
        }
        groups[values.indexOf(value)] << row;
    }
    return groups;
}

// The new sheets of the split (in tab order) against the source rows each came from: row 1 is
// the title, then the rows of its value in their order.
QStringList splitDifferences(const SheetContent& source, const QList<SheetContent>& splits, int column)
{
    const QList<QList<QStringList>> groups = rowsByValue(source, column);
    if (groups.size() != splits.size())
        return {QStringLiteral("sheets: %1 / %2").arg(groups.size()).arg(splits.size())};
    QStringList found;
    for (int k = 0; k < splits.size(); ++k)
        found += differences(SheetContent{splits.at(k).name, QList<QStringList>{source.rows.value(0)} + groups.at(k)},
                             splits.at(k));
    return found;
}

// Sheet files still showing #REF! where a value was, not yet explained (three .xls with macros and
// an encrypted .xlsx): the survey fails on any other workbook, so a new one is caught.
const char* const kStillBroken[] = {
    "44891.xls",
    "57231_MixedGasReport.xls",
    "Basic_Expense_Template_2011.xls",
    "58616.xlsx",
};

bool stillBroken(const QString& book)
{
    return std::any_of(std::begin(kStillBroken), std::end(kStillBroken),
                       [&](const char* known) { return book == QLatin1String(known); });
}

struct Tally
{
    int tried = 0, done = 0, other = 0, differing = 0, broken = 0;
    QStringList differingBooks;
    QStringList brokenBooks;

    // The book's name may carry what was asked of the tool after a space.
    void record(const QString& book, const QStringList& differences)
    {
        if (differences.isEmpty())
            return;
        ++differing;
        differingBooks << book + QStringLiteral(" (") + differences.mid(0, 3).join(QStringLiteral("; "))
                              + QLatin1Char(')');
        QStringList brokenCells;
        for (const QString& difference : differences)
            if (difference.endsWith(QLatin1String(" / #REF!")) && !difference.contains(QLatin1String(": #"))
                && !difference.contains(QLatin1String(": Err:")))
                brokenCells << difference;
        if (brokenCells.isEmpty())
            return;
        ++broken;
        if (!stillBroken(book.section(QLatin1Char(' '), 0, 0)))
            brokenBooks << book + QStringLiteral(" (") + brokenCells.mid(0, 3).join(QStringLiteral("; "))
                               + QLatin1Char(')');
    }
};

} // namespace

class ToolSurveyTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    Tally files;
    Tally combined;
    Tally comparisons;
    Tally splits;

    // A writable copy of the corpus workbook in the folder; empty when it could not be made.
    QString freshCopy(const QString& name)
    {
        const QString copy = folder.filePath(QStringLiteral("book.") + QFileInfo(name).suffix());
        QFile::remove(copy);
        if (!QFile::copy(QDir(corpusFolder()).filePath(name), copy))
            return QString();
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }

    // What a plain save through the office gives, read back; empty when the workbook does not open.
    QList<SheetContent> plainSave(const QString& book)
    {
        const QString plain = folder.filePath(QStringLiteral("plain.") + QFileInfo(book).suffix());
        QFile::remove(plain);
        ExcelOpKiv link;
        if (!link.openWorkBook(book) || !link.saveWorkbookCopyAs(plain))
            return {};
        link.closeWorkbook();
        return readWorkbook(plain);
    }

    void surveySheetFiles(const QString& name, const QString& book, const QList<SheetContent>& plain)
    {
        const QString out = folder.filePath(QStringLiteral("files"));
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome outcome = SheetFilesJob({book, out, false, QString()}).run(link);
        ++files.tried;
        if (outcome.kind != JobOutcome::Kind::Done) {
            ++files.other;
            return;
        }
        ++files.done;
        QStringList found;
        for (const QString& file : outcome.written) {
            // The sheet comes first; an .xls with macros may add the office's placeholders.
            const QList<SheetContent> written = readWorkbook(file);
            found += differences(sheetNamed(plain, written.value(0).name), written.value(0));
        }
        files.record(name, found);
        surveyCombinedFiles(name, outcome.written, plain);
    }

    // The sheet files combined again give back the workbook's sheets.
    void surveyCombinedFiles(const QString& name, const QStringList& sheetFiles, const QList<SheetContent>& plain)
    {
        FileCombineRequest request;
        request.files = sheetFiles;
        request.resultPath = folder.filePath(QStringLiteral("combined.") + QFileInfo(sheetFiles.value(0)).suffix());
        QFile::remove(request.resultPath);
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome outcome = FileCombineJob(request).run(link);
        ++combined.tried;
        if (outcome.kind != JobOutcome::Kind::Done) {
            ++combined.other;
            return;
        }
        ++combined.done;
        const QList<SheetContent> back = readWorkbook(request.resultPath);
        QStringList found;
        for (const SheetContent& sheet : plain)
            if (sheetNames(back).contains(sheet.name))
                found += differences(sheet, sheetNamed(back, sheet.name));
        combined.record(name, found);
    }

    void surveyComparison(const QString& name, const QString& book, const QList<SheetContent>& plain)
    {
        if (plain.size() < 2)
            return;
        auto link = openedWorkbook(book);
        if (!link || link->sheetCount() < 2)
            return;
        ComparisonSettings settings;
        settings.workbookPath = book;
        for (ComparisonSide* side : {&settings.side1, &settings.side2}) {
            const int index = side == &settings.side1 ? 0 : 1;
            side->sheetIndex = index;
            side->sheetName = link->sheetAt(index)->getSheetName();
            side->titleIndex = 0;
            side->rowsText = QString::number(qMax(1, link->sheetAt(index)->usedRowCount()));
        }
        settings.onLoss = [](const QStringList&, const QString&) { return LossChoice::Overwrite; };
        const ComparisonOutcome outcome = ComparisonRun(*link, settings).run();
        link.reset();
        ++comparisons.tried;
        if (outcome.kind != ComparisonOutcome::Kind::Finished || !outcome.saved) {
            ++comparisons.other;
            return;
        }
        ++comparisons.done;
        const QList<SheetContent> result = readWorkbook(book);
        QStringList found;
        for (const SheetContent& sheet : result) {
            const bool compared = sheet.name == settings.side1.sheetName || sheet.name == settings.side2.sheetName;
            found += differences(sheetNamed(plain, sheet.name), sheet, compared ? 1 : 0);
        }
        comparisons.record(name, found);
    }

    void surveyColumnSplit(const QString& name, const QString& book, const QList<SheetContent>& plain)
    {
        const SheetContent& source = plain.first();
        const int column = categoryColumn(source);
        if (column == 0)
            return;
        int width = 0;
        for (const QStringList& row : source.rows)
            width = qMax(width, row.size());
        ColumnSplitRequest request;
        request.workbookPath = book;
        request.sheetName = source.name;
        request.startCellText = QStringLiteral("A1");
        request.endCellText = columnLetters(qMax(width, column)) + QString::number(source.rows.size());
        request.referColumnText = columnLetters(column);
        request.onLoss = [](const QStringList&, const QString&) { return LossChoice::Overwrite; };
        std::unique_ptr<ExcelOpKiv> link;
        const JobOutcome outcome = ColumnSplitJob(request).run(link);
        link.reset();
        ++splits.tried;
        if (outcome.kind != JobOutcome::Kind::Done) {
            ++splits.other;
            return;
        }
        ++splits.done;
        const QStringList before = sheetNames(plain);
        QStringList found;
        QList<SheetContent> splitSheets;
        for (const SheetContent& sheet : readWorkbook(book)) {
            if (before.contains(sheet.name))
                found += differences(sheetNamed(plain, sheet.name), sheet);
            else
                splitSheets << sheet;
        }
        found += splitDifferences(source, splitSheets, column);
        splits.record(name + QStringLiteral(" by ") + request.referColumnText, found);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void doneMeansTheValuesTheUserSaw()
    {
        QStringList books =
            QDir(corpusFolder())
                .entryList({QStringLiteral("*.xlsx"), QStringLiteral("*.xlsm"), QStringLiteral("*.xls")}, QDir::Files,
                           QDir::Name);
        if (books.isEmpty())
            QSKIP("the shared corpus of real-world workbooks is not here");
        // While looking into one case: KIVEXCEL_SURVEY_ONLY=name, or every n-th: KIVEXCEL_SURVEY_EVERY=n.
        const QString only = qEnvironmentVariable("KIVEXCEL_SURVEY_ONLY");
        if (!only.isEmpty())
            books = books.filter(only);
        const int every = qMax(1, qEnvironmentVariableIntValue("KIVEXCEL_SURVEY_EVERY"));
        // KIVEXCEL_SURVEY_HALF=1 or 2: every other workbook, from the first or the second, so two
        // runs side by side share the folder.
        const int half = qEnvironmentVariableIntValue("KIVEXCEL_SURVEY_HALF");
        for (int i = half == 2 ? every : 0; i<books.size(); i += half> 0 ? 2 * every : every) {
            const QString name = books.at(i);
            const QString copy = freshCopy(name);
            QVERIFY(!copy.isEmpty());
            const QList<SheetContent> plain = plainSave(copy);
            if (plain.isEmpty())
                continue;
            surveySheetFiles(name, copy, plain);
            surveyComparison(name, copy, plain);
            // The comparer saved over the copy: the split starts from the user's file again.
            QVERIFY(!freshCopy(name).isEmpty());
            surveyColumnSplit(name, copy, plain);
        }
        qInfo("| tool | tried | done | refused or failed | done, other values | done, #REF! where a value was |");
        qInfo("| sheet-to-files | %d | %d | %d | %d | %d |", files.tried, files.done, files.other, files.differing,
              files.broken);
        qInfo("| sheet files combined again | %d | %d | %d | %d | %d |", combined.tried, combined.done, combined.other,
              combined.differing, combined.broken);
        qInfo("| comparer | %d | %d | %d | %d | %d |", comparisons.tried, comparisons.done, comparisons.other,
              comparisons.differing, comparisons.broken);
        qInfo("| column splitter | %d | %d | %d | %d | %d |", splits.tried, splits.done, splits.other, splits.differing,
              splits.broken);
        for (const QString& book : files.differingBooks)
            qInfo("sheet files: %s", qPrintable(book));
        for (const QString& book : combined.differingBooks)
            qInfo("combined again: %s", qPrintable(book));
        for (const QString& book : comparisons.differingBooks)
            qInfo("comparer: %s", qPrintable(book));
        for (const QString& book : splits.differingBooks)
            qInfo("column split: %s", qPrintable(book));
        QVERIFY2(files.brokenBooks.isEmpty(), qPrintable(files.brokenBooks.join(QLatin1Char('\n'))));
        QVERIFY2(combined.brokenBooks.isEmpty(), qPrintable(combined.brokenBooks.join(QLatin1Char('\n'))));
        QVERIFY2(comparisons.brokenBooks.isEmpty(), qPrintable(comparisons.brokenBooks.join(QLatin1Char('\n'))));
        QVERIFY2(splits.brokenBooks.isEmpty(), qPrintable(splits.brokenBooks.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(ToolSurveyTest)
#include "tst_toolsurvey.moc"
