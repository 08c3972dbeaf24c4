#include "cli/commandline.h"

#include "automation/officeentry.h"
#include "cli/bookjob.h"
#include "cli/progressviews.h"
#include "cli/workerpool.h"
#include "common/language.h"
#include "common/notice.h"
#include "excelop/excelopkiv.h"
#include "tools/splitsheets/sheetfilesjob.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kWrongCommandLine = 2;
constexpr int kDefaultTimeoutSeconds = 120;

struct Command
{
    const char* name;
    const char* summary;
};

const Command kCommands[] = {
    {"compare", "Count how often each row's value occurs in the other sheet's column (written into a new first column "
                "of both sheets)."},
    {"split-column", "One new sheet per distinct value of a column."},
    {"split-sheets", "Every sheet written as a workbook file of its own."},
};

void printTo(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString overview()
{
    QString text = QStringLiteral("Usage: kivexcel-cli <command> BOOK... [options]\n\nCommands:\n");
    for (const Command& command : kCommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command.name), -13)
                    .arg(QString::fromLatin1(command.summary));
    text += QStringLiteral("\n'kivexcel-cli <command> --help' shows a command's options.\n"
                           "Exit status: 0 when every workbook was done and saved, 1 when any was refused or failed, "
                           "2 for a wrong command line.\n");
    return text;
}

struct Invocation
{
    JobSettings settings;
    QStringList books;
    int jobs = 1;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    bool quiet = false;
    bool json = false;
    bool worker = false;
    QStringList forwardedArguments; // what a worker process is started with
};

void addCommonOptions(QCommandLineParser& parser)
{
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("jobs"),
         QStringLiteral("Work on up to N workbooks at once, each in an office of its own (default 1)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("timeout"),
         QStringLiteral(
             "Seconds one call into the office may take before the office is taken for hung and ended (default 120)."),
         QStringLiteral("S"), QString::number(kDefaultTimeoutSeconds)},
        {QStringLiteral("quiet"), QStringLiteral("No progress bar.")},
        {QStringLiteral("json"), QStringLiteral("Print one JSON object per workbook on standard output.")},
    });
    QCommandLineOption worker(QStringLiteral("worker"));
    worker.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(worker);
}

// Where a result that changes the workbook goes.
void addResultSaveOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {QStringLiteral("allow-loss"),
         QStringLiteral(
             "Save over the workbook even when the office cannot keep some of its features (frozen panes, pivot "
             "tables, macros, ...). Without it such a save is refused and the workbook left as it was.")},
        {QStringLiteral("out-file"),
         QStringLiteral(
             "Save the result to this file instead of over the workbook, which is not changed (one workbook only)."),
         QStringLiteral("FILE")},
    });
}

void addCommandOptions(const QString& command, QCommandLineParser& parser)
{
    if (command == QLatin1String("compare")) {
        parser.setApplicationDescription(QString::fromLatin1(kCommands[0].summary));
        for (const char* side : {"1", "2"}) {
            const QString n = QString::fromLatin1(side);
            parser.addOptions({
                {QStringLiteral("sheet") + n, QStringLiteral("Sheet %1 (表%1).").arg(n), QStringLiteral("NAME")},
                {QStringLiteral("column") + n,
                 QStringLiteral("Compared column of sheet %1: letters (A, ac) or a 1-based number.").arg(n),
                 QStringLiteral("COL")},
                {QStringLiteral("rows") + n,
                 QStringLiteral(
                     "Last row of sheet %1, title row included (总行数); default: the sheet's last used row.")
                     .arg(n),
                 QStringLiteral("N")},
            });
        }
        parser.addOptions({
            {QStringLiteral("trim"), QStringLiteral("Spaces at both ends of a value do not count.")},
            {QStringLiteral("ignore-case"), QStringLiteral("Letter case does not count (A equals a).")},
            {QStringLiteral("fold-width"),
             QStringLiteral(
                 "Full-width forms equal half-width ones (１２ and 12, Ａ and A, the ideographic space and a space).")},
            {QStringLiteral("match-row"),
             QStringLiteral("A second new column: the row of the first match in the other sheet (empty when none).")},
            {QStringLiteral("highlight"), QStringLiteral("Mark the counts of 0 with one conditional format.")},
            {QStringLiteral("backup"),
             QStringLiteral("Keep the original beside the workbook as <name>.备份<ext> before saving.")},
            {QStringLiteral("allow-3d-change"),
             QStringLiteral(
                 "Compare even when formulas add up a compared sheet through 3-D references (Sheet1:Sheet3!A1): the "
                 "inserted column changes what they give. Without it such a workbook is refused and left as it was.")},
        });
        addResultSaveOptions(parser);
    } else if (command == QLatin1String("split-column")) {
        parser.setApplicationDescription(QString::fromLatin1(kCommands[1].summary));
        parser.addOptions({
            {QStringLiteral("sheet"), QStringLiteral("The sheet to split."), QStringLiteral("NAME")},
            {QStringLiteral("start"), QStringLiteral("起始位置: the title row's cell, such as A1."),
             QStringLiteral("CELL")},
            {QStringLiteral("end"), QStringLiteral("结束于: the last data row's cell, such as J500."),
             QStringLiteral("CELL")},
            {QStringLiteral("column"), QStringLiteral("参考列: the letters of the column whose values split the rows."),
             QStringLiteral("LETTERS")},
            {QStringLiteral("drop-column"), QStringLiteral("删除参考列: remove that column from the new sheets.")},
            {QStringLiteral("to-files"),
             QStringLiteral("One workbook per value in this folder instead of one sheet per value; the workbook itself "
                            "is not changed."),
             QStringLiteral("DIR")},
            {QStringLiteral("dry-run"), QStringLiteral("Print the plan (each value, its rows, its sheet's or file's "
                                                       "name and why a name was changed) and change nothing.")},
            {QStringLiteral("backup"),
             QStringLiteral("Keep the original beside the workbook as <name>.备份<ext> before saving.")},
            {QStringLiteral("keep-broken-formulas"),
             QStringLiteral("Formulas whose cells, rows or column a new sheet or file does not hold stay formulas "
                            "(they show #REF!); by default they are written as the values they show.")},
        });
        addResultSaveOptions(parser);
    } else {
        parser.setApplicationDescription(QString::fromLatin1(kCommands[2].summary));
        parser.addOptions({
            {QStringLiteral("out"),
             QStringLiteral(
                 "Output folder, made when missing; with several workbooks each gets DIR/<name without extension>/."),
             QStringLiteral("DIR")},
            {QStringLiteral("skip-hidden"), QStringLiteral("Hidden sheets get no file.")},
            {QStringLiteral("keep-broken-formulas"),
             QStringLiteral("Formulas that point at other sheets stay formulas (they show #REF! in the files); by "
                            "default they are written as the values they show.")},
            {QStringLiteral("format"),
             QStringLiteral("The files' format: same (the workbook's own, default), xlsx, xls, ods, csv (UTF-8 with a "
                            "byte-order mark, values as shown) or pdf."),
             QStringLiteral("FORMAT"), QStringLiteral("same")},
        });
    }
    parser.addPositionalArgument(QStringLiteral("BOOK"), QStringLiteral("Workbook files (.xlsx, .xls, .ods)."),
                                 QStringLiteral("BOOK..."));
}

// Options a command cannot do without; empty when all are there.
QStringList missingOptions(const QString& command, const QCommandLineParser& parser)
{
    QStringList required;
    if (command == QLatin1String("compare"))
        required = QStringList{QStringLiteral("sheet1"), QStringLiteral("column1"), QStringLiteral("sheet2"),
                               QStringLiteral("column2")};
    else if (command == QLatin1String("split-column"))
        required = QStringList{QStringLiteral("sheet"), QStringLiteral("start"), QStringLiteral("end"),
                               QStringLiteral("column")};
    else
        required = QStringList{QStringLiteral("out")};
    QStringList missing;
    for (const QString& name : required) {
        if (!parser.isSet(name))
            missing.append(QStringLiteral("--") + name);
    }
    return missing;
}

QString valueOrNull(const QCommandLineParser& parser, const QString& name)
{
    return parser.isSet(name) ? parser.value(name) : QString();
}

JobSettings settingsFrom(const QString& command, const QCommandLineParser& parser)
{
    JobSettings settings;
    settings.command = command;
    if (command == QLatin1String("compare")) {
        settings.sheet1 = parser.value(QStringLiteral("sheet1"));
        settings.column1 = parser.value(QStringLiteral("column1"));
        settings.rows1 = valueOrNull(parser, QStringLiteral("rows1"));
        settings.sheet2 = parser.value(QStringLiteral("sheet2"));
        settings.column2 = parser.value(QStringLiteral("column2"));
        settings.rows2 = valueOrNull(parser, QStringLiteral("rows2"));
        settings.trim = parser.isSet(QStringLiteral("trim"));
        settings.ignoreCase = parser.isSet(QStringLiteral("ignore-case"));
        settings.foldWidth = parser.isSet(QStringLiteral("fold-width"));
        settings.matchRow = parser.isSet(QStringLiteral("match-row"));
        settings.highlight = parser.isSet(QStringLiteral("highlight"));
        settings.backup = parser.isSet(QStringLiteral("backup"));
        settings.allowThreeDChange = parser.isSet(QStringLiteral("allow-3d-change"));
        settings.allowLoss = parser.isSet(QStringLiteral("allow-loss"));
        settings.outFile = valueOrNull(parser, QStringLiteral("out-file"));
    } else if (command == QLatin1String("split-column")) {
        settings.sheet = parser.value(QStringLiteral("sheet"));
        settings.start = parser.value(QStringLiteral("start"));
        settings.end = parser.value(QStringLiteral("end"));
        settings.column = parser.value(QStringLiteral("column"));
        settings.dropColumn = parser.isSet(QStringLiteral("drop-column"));
        settings.toFiles = valueOrNull(parser, QStringLiteral("to-files"));
        settings.dryRun = parser.isSet(QStringLiteral("dry-run"));
        settings.backup = parser.isSet(QStringLiteral("backup"));
        settings.keepBrokenFormulas = parser.isSet(QStringLiteral("keep-broken-formulas"));
        settings.allowLoss = parser.isSet(QStringLiteral("allow-loss"));
        settings.outFile = valueOrNull(parser, QStringLiteral("out-file"));
    } else {
        settings.out = parser.value(QStringLiteral("out"));
        settings.skipHidden = parser.isSet(QStringLiteral("skip-hidden"));
        settings.keepBrokenFormulas = parser.isSet(QStringLiteral("keep-broken-formulas"));
        settings.format = parser.value(QStringLiteral("format")).toLower();
    }
    return settings;
}

bool positiveNumber(const QString& text, int& number)
{
    bool isNumber = false;
    number = text.toInt(&isNumber);
    return isNumber && number > 0;
}

// Parses the command line; returns -1 when the work may go on, otherwise the exit status.
int parse(const QStringList& arguments, Invocation& invocation)
{
    const QString command = arguments.value(1);
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        printTo(stdout, QStringLiteral("kivexcel-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        printTo(stdout, overview());
        return 0;
    }
    bool known = false;
    for (const Command& entry : kCommands)
        known = known || command == QLatin1String(entry.name);
    if (!known) {
        printTo(stderr, (command.isEmpty() ? QStringLiteral("No command given.\n")
                                           : QStringLiteral("Unknown command '%1'.\n").arg(command))
                            + overview());
        return kWrongCommandLine;
    }
    QCommandLineParser parser;
    addCommonOptions(parser);
    addCommandOptions(command, parser);
    QStringList rest = arguments;
    rest.removeAt(1);
    rest[0] = arguments.at(0) + QLatin1Char(' ') + command;
    if (!parser.parse(rest)) {
        printTo(stderr, parser.errorText() + QLatin1Char('\n') + parser.helpText());
        return kWrongCommandLine;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        printTo(stdout, parser.helpText());
        return 0;
    }
    invocation.worker = parser.isSet(QStringLiteral("worker"));
    const QStringList missing = missingOptions(command, parser);
    if (!missing.isEmpty()) {
        printTo(stderr, QStringLiteral("Missing: %1\n").arg(missing.join(QStringLiteral(", "))) + parser.helpText());
        return kWrongCommandLine;
    }
    if (parser.positionalArguments().isEmpty() && !invocation.worker) {
        printTo(stderr, QStringLiteral("No workbook given.\n") + parser.helpText());
        return kWrongCommandLine;
    }
    if (command != QLatin1String("split-sheets") && parser.isSet(QStringLiteral("out-file"))
        && parser.positionalArguments().size() != 1) {
        printTo(stderr, QStringLiteral("--out-file takes one workbook.\n"));
        return kWrongCommandLine;
    }
    if (!positiveNumber(parser.value(QStringLiteral("jobs")), invocation.jobs)
        || !positiveNumber(parser.value(QStringLiteral("timeout")), invocation.timeoutSeconds)) {
        printTo(stderr, QStringLiteral("--jobs and --timeout take a whole number above 0.\n"));
        return kWrongCommandLine;
    }
    invocation.settings = settingsFrom(command, parser);
    if (command == QLatin1String("split-sheets") && !SheetFilesJob::formats().contains(invocation.settings.format)) {
        printTo(
            stderr,
            QStringLiteral("--format takes one of: %1.\n").arg(SheetFilesJob::formats().join(QStringLiteral(", "))));
        return kWrongCommandLine;
    }
    invocation.books = parser.positionalArguments();
    invocation.quiet = parser.isSet(QStringLiteral("quiet"));
    invocation.json = parser.isSet(QStringLiteral("json"));
    // A worker gets the same command and options; its workbooks arrive on its standard input.
    invocation.forwardedArguments = arguments.mid(1);
    for (const QString& book : qAsConst(invocation.books))
        invocation.forwardedArguments.removeOne(book);
    return -1;
}

QList<BookRequest> requestsFor(const Invocation& invocation)
{
    QList<BookRequest> requests;
    const bool ownFolders = invocation.books.size() > 1;
    for (const QString& book : invocation.books) {
        BookRequest request{book, invocation.settings.out};
        if (invocation.settings.command == QLatin1String("split-sheets")) {
            if (ownFolders)
                request.outputFolder = QDir(invocation.settings.out).filePath(QFileInfo(book).completeBaseName());
            // Made as mkdir -p would; one that cannot be made is refused by the job's own check.
            QDir().mkpath(request.outputFolder);
        }
        requests.append(request);
    }
    return requests;
}

void connectOffice(int timeoutSeconds)
{
    OfficeServer::registerAsExcel();
    OfficeServer::setCallTimeout(timeoutSeconds);
}

// Workbooks one after the other, through one office.
QList<BookResult> runHere(const Invocation& invocation, const QList<BookRequest>& requests, const ResultSink& report)
{
    if (!invocation.quiet && isatty(STDERR_FILENO))
        showProgressOnTerminal();
    QList<BookResult> results;
    std::unique_ptr<ExcelOpKiv> link;
    for (const BookRequest& request : requests) {
        setProgressBook(request.book);
        results.append(runBookJob(invocation.settings, request, link));
        report(results.last());
    }
    return results;
}

// A worker: requests as JSON lines on standard input, progress and results as JSON lines out.
int serveAsWorker(const Invocation& invocation)
{
    reportProgressToParent();
    std::unique_ptr<ExcelOpKiv> link;
    QTextStream input(stdin);
    input.setCodec("UTF-8");
    QString line;
    while (input.readLineInto(&line)) {
        const QJsonObject request = QJsonDocument::fromJson(line.toUtf8()).object();
        const BookRequest book{request.value(QStringLiteral("book")).toString(),
                               request.value(QStringLiteral("out")).toString()};
        setProgressBook(book.book);
        const BookResult result = runBookJob(invocation.settings, book, link);
        const QJsonObject answer{{QStringLiteral("result"), result.toJson()}};
        printTo(stdout, QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
    }
    return 0;
}

} // namespace

int runCommandLine(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivexcel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KIVEXCEL_VERSION));
    // The tools' messages in the user's language; the command line's own help is English.
    installTranslations();
    Invocation invocation;
    const int parsed = parse(QCoreApplication::arguments(), invocation);
    if (parsed >= 0)
        return parsed;
    // Messages of the spreadsheet layer outside a workbook's job go straight to standard error.
    setNoticeHandler([](const QString& text, NoticeKind) { printTo(stderr, text + QLatin1Char('\n')); });
    connectOffice(invocation.timeoutSeconds);
    if (invocation.worker)
        return serveAsWorker(invocation);

    const bool several = invocation.books.size() > 1;
    const ResultSink report = [&invocation, several](const BookResult& result) {
        // A plan is what was asked for: it goes to standard output, unless JSON carries it.
        FILE* messagesTo = result.outcome.plan.isEmpty() ? stderr : (invocation.json ? nullptr : stdout);
        for (const QString& message : result.outcome.messages)
            if (messagesTo)
                printTo(messagesTo,
                        (several ? result.book + QStringLiteral(": ") : QString()) + message + QLatin1Char('\n'));
        if (invocation.json)
            printTo(stdout, QString::fromUtf8(QJsonDocument(result.toJson()).toJson(QJsonDocument::Compact))
                                + QLatin1Char('\n'));
    };
    const QList<BookRequest> requests = requestsFor(invocation);
    const int workers = qMin(invocation.jobs, requests.size());
    const QList<BookResult> results = workers > 1 ? runInWorkers(invocation.forwardedArguments, requests, workers,
                                                                 !invocation.quiet && isatty(STDERR_FILENO), report)
                                                  : runHere(invocation, requests, report);
    return exitStatusOf(results);
}
