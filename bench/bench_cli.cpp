// Command line: 8 workbooks of 20,000 rows a side compared with --jobs 1 and --jobs 2 (goal: at
// least 1.6 × faster on 2 cores), and one workbook through kivexcel-cli against the same
// comparison as a library call in a fresh office (goal: at most 1.1 ×). Median of 3.
//   bash scripts/build.sh && build/bench/bench_cli [rows] [repeats]

#include "bench/support/benchutil.h"

#include "automation/officeentry.h"
#include "excelop/excelopkiv.h"
#include "tools/compare/comparisonrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace benchutil;

namespace {

const int kWorkbooks = 8;

QStringList compareArguments()
{
    return {QStringLiteral("compare"), QStringLiteral("--sheet1"), QStringLiteral("Left"),  QStringLiteral("--column1"),
            QStringLiteral("B"),       QStringLiteral("--sheet2"), QStringLiteral("Right"), QStringLiteral("--column2"),
            QStringLiteral("B"),       QStringLiteral("--quiet")};
}

QStringList freshCopies(const QString& source, const QString& folder, int count)
{
    QStringList copies;
    for (int i = 0; i < count; ++i) {
        const QString copy = QDir(folder).filePath(QStringLiteral("book-%1.xlsx").arg(i));
        QFile::remove(copy);
        QFile::copy(source, copy);
        copies.append(copy);
    }
    return copies;
}

bool runCli(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral(KIVEXCEL_CLI), arguments) == 0;
}

double cliSeconds(const QStringList& books, int jobs)
{
    bool ok = true;
    const double seconds = secondsOf([&] {
        ok = runCli(compareArguments() + books + QStringList{QStringLiteral("--jobs"), QString::number(jobs)});
    });
    if (!ok)
        std::printf("  (a comparison failed)\n");
    return seconds;
}

// The same comparison as the command line's, called directly; the first call in this process
// starts its office, as the command line starts one.
double librarySeconds(const QString& book, int rows)
{
    return secondsOf([&] {
        ExcelOpKiv link;
        link.openWorkBook(book);
        link.openSheets();
        ComparisonSettings settings;
        settings.workbookPath = book;
        settings.side1 = {0, QStringLiteral("Left"), 1, QString(), QString::number(rows + 1)};
        settings.side2 = {1, QStringLiteral("Right"), 1, QString(), QString::number(rows + 1)};
        ComparisonRun(link, settings).run();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    const int rows = argc > 1 ? atoi(argv[1]) : 20000;
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("source.xlsx"));
    const QString generator = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_compare");
    if (QProcess::execute(generator, {QStringLiteral("--generate"), source, QString::number(rows)}) != 0) {
        std::printf("could not generate the workbook\n");
        return 1;
    }
    std::printf("Command-line benchmark: %d rows a side, median of %d\n", rows, repeats);

    QList<double> library, single, serial, parallel;
    for (int i = 0; i < repeats; ++i) {
        if (i == 0)
            library.append(librarySeconds(freshCopies(source, folder.path(), 1).first(), rows));
        single.append(cliSeconds(freshCopies(source, folder.path(), 1), 1));
        serial.append(cliSeconds(freshCopies(source, folder.path(), kWorkbooks), 1));
        parallel.append(cliSeconds(freshCopies(source, folder.path(), kWorkbooks), 2));
    }
    const double libraryMedian = medianOf(library);
    const double singleMedian = medianOf(single);
    const double serialMedian = medianOf(serial);
    const double parallelMedian = medianOf(parallel);
    printSeconds(QStringLiteral("one workbook, library call (office start included)"), libraryMedian);
    printSeconds(QStringLiteral("one workbook, kivexcel-cli"), singleMedian);
    printLine(QStringLiteral("command line / library"), QString::number(singleMedian / libraryMedian, 'f', 2));
    printGoal(QStringLiteral("command line at most 1.1 × the library call"), singleMedian <= 1.1 * libraryMedian);
    printSeconds(QStringLiteral("8 workbooks, --jobs 1"), serialMedian);
    printSeconds(QStringLiteral("8 workbooks, --jobs 2"), parallelMedian);
    printLine(QStringLiteral("--jobs 1 / --jobs 2"), QString::number(serialMedian / parallelMedian, 'f', 2));
    printGoal(QStringLiteral("--jobs 2 at least 1.6 × faster"), serialMedian >= 1.6 * parallelMedian);
    return 0;
}
