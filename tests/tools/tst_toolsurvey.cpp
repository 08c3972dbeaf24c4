// The tools over the shared real-world workbooks: a run that says "done" never shows #REF! where a
// plain save of the workbook through the office shows a value, in any cell it was not asked to
// change. Other differences (results the office calculates again after the tool's change, and
// calculates otherwise than Excel did) are listed with the table, not failed on.
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/compare/comparisonrun.h"
#include "tools/splitsheets/sheetfilesjob.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

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
    return expectedIsNumber && actualIsNumber && std::abs(want - got) <= 1e-12 * std::max(std::abs(want), std::abs(got));
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
                found << QStringLiteral("%1%2: %3 / %4").arg(columnLetters(c + 1)).arg(r + 1).arg(want.value(c), got.value(c));
    }
    return found;
}

// Sheet files still showing #REF! where a value was, not yet explained: the survey fails on any
// other workbook, so a new one is caught. (The comparer's ROW($A1:$IV4) in an .xls: the office
// moves the range's end past the last column an .xls can hold.)
const char* const kStillBroken[] = {
    "44891.xls", "57231_MixedGasReport.xls", "Basic_Expense_Template_2011.xls", "58616.xlsx", "RowFunctionTestCaseData.xls",
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

    void record(const QString& book, const QStringList& differences)
    {
        if (differences.isEmpty())
            return;
        ++differing;
        differingBooks << book + QStringLiteral(" (") + differences.mid(0, 3).join(QStringLiteral("; ")) + QLatin1Char(')');
        QStringList brokenCells;
        for (const QString& difference : differences)
            if (difference.endsWith(QLatin1String(" / #REF!")) && !difference.contains(QLatin1String(": #")))
                brokenCells << difference;
        if (brokenCells.isEmpty())
            return;
        ++broken;
        if (!stillBroken(book))
            brokenBooks << book + QStringLiteral(" (") + brokenCells.mid(0, 3).join(QStringLiteral("; ")) + QLatin1Char(')');
    }
};

} // namespace

class ToolSurveyTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    Tally files;
    Tally comparisons;

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

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void doneMeansTheValuesTheUserSaw()
    {
        const QStringList books = QDir(corpusFolder()).entryList({QStringLiteral("*.xlsx"), QStringLiteral("*.xlsm"),
                                                                   QStringLiteral("*.xls")},
                                                                  QDir::Files, QDir::Name);
        if (books.isEmpty())
            QSKIP("the shared corpus of real-world workbooks is not here");
        const int every = qMax(1, qEnvironmentVariableIntValue("KIVEXCEL_SURVEY_EVERY"));
        for (int i = 0; i < books.size(); i += every) {
            const QString name = books.at(i);
            const QString copy = folder.filePath(QStringLiteral("book.") + QFileInfo(name).suffix());
            QFile::remove(copy);
            QVERIFY(QFile::copy(QDir(corpusFolder()).filePath(name), copy));
            QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            const QList<SheetContent> plain = plainSave(copy);
            if (plain.isEmpty())
                continue;
            surveySheetFiles(name, copy, plain);
            surveyComparison(name, copy, plain);
        }
        qInfo("| tool | tried | done | refused or failed | done, other values | done, #REF! where a value was |");
        qInfo("| sheet-to-files | %d | %d | %d | %d | %d |", files.tried, files.done, files.other, files.differing, files.broken);
        qInfo("| comparer | %d | %d | %d | %d | %d |", comparisons.tried, comparisons.done, comparisons.other,
              comparisons.differing, comparisons.broken);
        for (const QString& book : files.differingBooks)
            qInfo("sheet files: %s", qPrintable(book));
        for (const QString& book : comparisons.differingBooks)
            qInfo("comparer: %s", qPrintable(book));
        QVERIFY2(files.brokenBooks.isEmpty(), qPrintable(files.brokenBooks.join(QLatin1Char('\n'))));
        QVERIFY2(comparisons.brokenBooks.isEmpty(), qPrintable(comparisons.brokenBooks.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(ToolSurveyTest)
#include "tst_toolsurvey.moc"
