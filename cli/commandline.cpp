#include "cli/commandline.h"

#include "automation/officeentry.h"
#include "cli/bookjob.h"
#include "cli/commands/commandregistry.h"
#include "cli/progressviews.h"
#include "cli/workerpool.h"
#include "common/language.h"
#include "common/notice.h"
#include "excelop/excelopkiv.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kWrongCommandLine = 2;
constexpr int kDefaultTimeoutSeconds = 120;

void printTo(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString overview()
{
    QString text = QStringLiteral("Usage: kivexcel-cli <command> BOOK... [options]\n\nCommands:\n");
    for (const std::unique_ptr<Command>& command : allCommands())
        text += QStringLiteral("  %1  %2\n").arg(command->name(), -13).arg(command->description());
    text += QStringLiteral("\n'kivexcel-cli <command> --help' shows a command's options.\n"
                           "Exit status: 0 when every workbook was done and saved, 1 when any was refused or failed, "
                           "2 for a wrong command line.\n");
    return text;
}

struct Invocation
{
    std::unique_ptr<Command> command; // with its options taken
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
         QStringLiteral(
             "Work on up to N workbooks at once, each in an office of its own (default 1); "
             "split-sheets of one workbook, and split-column of one workbook --to-files, share the files among N "
             "offices (default: up to one per core, at most 2, for a workbook of 1 MiB or more)."),
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
    std::unique_ptr<Command> chosen = commandNamed(command);
    if (!chosen) {
        printTo(stderr, (command.isEmpty() ? QStringLiteral("No command given.\n")
                                           : QStringLiteral("Unknown command '%1'.\n").arg(command))
                            + overview());
        return kWrongCommandLine;
    }
    QCommandLineParser parser;
    addCommonOptions(parser);
    parser.setApplicationDescription(chosen->description());
    parser.addOptions(chosen->options());
    parser.addPositionalArgument(QStringLiteral("BOOK"), QStringLiteral("Workbook files (.xlsx, .xls, .ods)."),
                                 QStringLiteral("BOOK..."));
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
    QStringList missing;
    for (const QString& name : chosen->requiredOptions())
        if (!parser.isSet(name))
            missing.append(QStringLiteral("--") + name);
    if (!missing.isEmpty()) {
        printTo(stderr, QStringLiteral("Missing: %1\n").arg(missing.join(QStringLiteral(", "))) + parser.helpText());
        return kWrongCommandLine;
    }
    if (chosen->booksOf(parser).isEmpty() && !invocation.worker) {
        printTo(stderr, QStringLiteral("No workbook given.\n") + parser.helpText());
        return kWrongCommandLine;
    }
    if (!positiveNumber(parser.value(QStringLiteral("jobs")), invocation.jobs)
        || !positiveNumber(parser.value(QStringLiteral("timeout")), invocation.timeoutSeconds)) {
        printTo(stderr, QStringLiteral("--jobs and --timeout take a whole number above 0.\n"));
        return kWrongCommandLine;
    }
    const QString mistake = chosen->mistakeIn(parser);
    if (!mistake.isEmpty()) {
        printTo(stderr, mistake + QLatin1Char('\n'));
        return kWrongCommandLine;
    }
    chosen->takeOptions(parser);
    invocation.command = std::move(chosen);
    invocation.books = invocation.command->booksOf(parser);
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
    for (const QString& book : invocation.books)
        requests.append(invocation.command->requestFor(book, invocation.books.size()));
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
        results.append(runBookJob(*invocation.command, request, link));
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
        const BookResult result = runBookJob(*invocation.command, book, link);
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
