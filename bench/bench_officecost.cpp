// What the office costs on a workbook with Chinese texts against the same workbook with ASCII
// texts: its load + store, and its memory after loading and during a tool's typical steps.
//
// Build and run (one command):
//   bash scripts/build.sh && build/bench/bench_officecost
// Optional arguments: rows per sheet (20000), repeats of each timing (3, the median is printed),
// "split" to add the column splitter's job (slow: its row deletions among formulas take minutes).
//
// The workbook is written as Excel writes one (no row heights on default rows, its own fonts,
// a few styled columns, a formula column with cached results, a column of 50 regions), two sheets
// of N rows each.
// Round 1 loads and stores the workbook as written; round 2 the workbook as the office stored it
// in round 1, as the next run of a tool meets it. Every measurement runs in a child program with
// an office of its own, with the office server's measures on and off (KIVEXCEL_OFFICE_PLAIN=1);
// the office's memory is read from /proc of soffice.bin after each step of a tool's typical work.
// Goal: with the measures, the office's peak during those steps at most 3 x its peak after loading.
// The measures (one malloc arena, no undo records, no graphics self-tests) change nothing saved.
//
// For profiling: "--generate <file.xlsx> chinese|ascii <rows>" writes the workbook alone;
// "--load-store <file.xlsx>" prints the office's pid, then loads and stores the file (with
// KIVEXCEL_BENCH_PAUSE=<s> it waits before each, for `perf record -g -p <pid>`).

#include "automation/officeentry.h"
#include "bench/support/benchutil.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitjob.h"
#include "workbookwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>
#include <memory>

using namespace benchutil;

namespace {

// ---------------------------------------------------------------------------------------------
// The workbook: two sheets of customers, amounts, dates and a formula.

enum class Texts { Chinese, Ascii };

const QStringList kChineseCities = {"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "南京", "西安", "重庆"};
const QStringList kAsciiCities = {"Beijing", "Shanghai", "Guangzhou", "Shenzhen", "Hangzhou",
                                  "Chengdu", "Wuhan",    "Nanjing",   "Xian",     "Chongqing"};
const QString kChineseSyllables = QStringLiteral("华信恒达鑫源宏远金泰瑞丰天成海润博通中科新创永安东方明辉嘉禾");
const QStringList kAsciiSyllables = {"Hua",  "Xin",   "Heng", "Da",  "Yuan", "Hong", "Jin",   "Tai", "Rui",    "Feng",
                                     "Tian", "Cheng", "Hai",  "Run", "Bo",   "Tong", "Zhong", "Ke",  "Chuang", "Yong"};
const QStringList kChineseTrades = {"科技", "贸易", "物流", "电子", "建材", "食品", "医药", "机械"};
const QStringList kAsciiTrades = {"Technology", "Trading", "Logistics", "Electronics",
                                  "Materials",  "Foods",   "Pharma",    "Machinery"};
const QString kChineseNames = QStringLiteral("王李张刘陈杨赵黄周吴徐孙胡朱高林何郭马罗");
const QString kChineseGiven = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平");
const QStringList kChineseRoads = {"建国路", "人民路", "中山路", "解放路", "长江路", "黄河路"};
const QStringList kAsciiRoads = {"Jianguo Road", "Renmin Road",     "Zhongshan Road",
                                 "Jiefang Road", "Changjiang Road", "Huanghe Road"};

QString companyName(Texts texts, int n)
{
    QRandomGenerator pick(quint32(n) * 2654435761u + 7);
    if (texts == Texts::Chinese)
        return kChineseCities.at(pick.bounded(kChineseCities.size()))
               + kChineseSyllables.at(pick.bounded(kChineseSyllables.size()))
               + kChineseSyllables.at(pick.bounded(kChineseSyllables.size()))
               + kChineseTrades.at(pick.bounded(kChineseTrades.size())) + QStringLiteral("有限公司");
    return kAsciiCities.at(pick.bounded(kAsciiCities.size())) + QLatin1Char(' ')
           + kAsciiSyllables.at(pick.bounded(kAsciiSyllables.size()))
           + kAsciiSyllables.at(pick.bounded(kAsciiSyllables.size())).toLower() + QLatin1Char(' ')
           + kAsciiTrades.at(pick.bounded(kAsciiTrades.size())) + QStringLiteral(" Co., Ltd.");
}

QString personName(Texts texts, QRandomGenerator& random)
{
    if (texts == Texts::Chinese)
        return QString(kChineseNames.at(random.bounded(kChineseNames.size())))
               + kChineseGiven.at(random.bounded(kChineseGiven.size()))
               + (random.bounded(2) ? QString(kChineseGiven.at(random.bounded(kChineseGiven.size()))) : QString());
    return kAsciiSyllables.at(random.bounded(kAsciiSyllables.size())) + QLatin1Char(' ')
           + kAsciiSyllables.at(random.bounded(kAsciiSyllables.size()));
}

// Chinese addresses carry digits among the characters, as real ones do.
QString address(Texts texts, QRandomGenerator& random)
{
    const int city = random.bounded(kChineseCities.size());
    const int road = random.bounded(kChineseRoads.size());
    const int number = 1 + random.bounded(300);
    const int building = 1 + random.bounded(20);
    if (texts == Texts::Chinese)
        return kChineseCities.at(city) + QStringLiteral("市") + kChineseRoads.at(road) + QString::number(number)
               + QStringLiteral("号") + QString::number(building) + QStringLiteral("栋");
    return QStringLiteral("No. %1 %2, Building %3, %4")
        .arg(number)
        .arg(kAsciiRoads.at(road))
        .arg(building)
        .arg(kAsciiCities.at(city));
}

// One of 50 regions: the column the splitter splits by.
QString region(Texts texts, QRandomGenerator& random)
{
    const int city = random.bounded(kChineseCities.size());
    const int part = random.bounded(5);
    if (texts == Texts::Chinese)
        return kChineseCities.at(city) + QStringList{"东区", "西区", "南区", "北区", "中区"}.at(part);
    return kAsciiCities.at(city) + QStringList{" East", " West", " South", " North", " Centre"}.at(part);
}

SheetContent costSheet(const QString& name, Texts texts, int rows, quint32 seed)
{
    QRandomGenerator random(seed);
    const int distinct = std::max(1, rows / 4);
    SheetContent sheet{
        name,
        {texts == Texts::Chinese
             ? QStringList{"序号", "客户名称", "联系人", "地址", "金额", "日期", "含税金额", "区域"}
             : QStringList{"No", "Customer", "Contact", "Address", "Amount", "Date", "Gross", "Region"}}};
    for (int r = 2; r <= rows + 1; ++r) {
        const double amount = double(random.bounded(10000000)) / 100;
        const QString company = companyName(texts, random.bounded(distinct));
        const QString person = personName(texts, random);
        const QString place = address(texts, random);
        const int day = 44927 + random.bounded(730);
        sheet.rows.append({QString::number(r - 1), company, person, place, QString::number(amount, 'f', 2),
                           QString::number(day), QString::number(amount * 1.13, 'g', 15), region(texts, random)});
    }
    return sheet;
}

SheetLook costLook()
{
    SheetLook look;
    look.style = [](int row, int column) {
        static const int kColumnFormats[] = {0, 0, 0, 2, 3, 4, 5, 0};
        return row == 1 ? 1 : kColumnFormats[column - 1];
    };
    look.formula = [](int row, int column) {
        return row > 1 && column == 7 ? QStringLiteral("E%1*1.13").arg(row) : QString();
    };
    look.head = "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"14.25\"/>"
                "<cols><col min=\"1\" max=\"1\" width=\"8\" customWidth=\"1\"/>"
                "<col min=\"2\" max=\"2\" width=\"30\" customWidth=\"1\"/>"
                "<col min=\"3\" max=\"3\" width=\"10\" customWidth=\"1\"/>"
                "<col min=\"4\" max=\"4\" width=\"32\" style=\"2\" customWidth=\"1\"/>"
                "<col min=\"5\" max=\"5\" width=\"12\" style=\"3\" customWidth=\"1\"/>"
                "<col min=\"6\" max=\"6\" width=\"12\" style=\"4\" customWidth=\"1\"/>"
                "<col min=\"7\" max=\"7\" width=\"12\" style=\"5\" customWidth=\"1\"/>"
                "<col min=\"8\" max=\"8\" width=\"14\" customWidth=\"1\"/></cols>";
    look.tail = "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>";
    return look;
}

// Fonts as a Chinese Excel writes them: 等线 (its default) and 宋体; neither is on the machine.
const QByteArray kCostStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
    "<fonts count=\"3\">"
    "<font><sz val=\"11\"/><color theme=\"1\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/>"
    "<scheme val=\"minor\"/></font>"
    "<font><b/><sz val=\"11\"/><color theme=\"1\"/><name val=\"等线\"/><family val=\"2\"/>"
    "<charset val=\"134\"/><scheme val=\"minor\"/></font>"
    "<font><sz val=\"11\"/><color rgb=\"FF1F4E79\"/><name val=\"宋体\"/><family val=\"3\"/>"
    "<charset val=\"134\"/></font></fonts>"
    "<fills count=\"4\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/><bgColor indexed=\"64\"/>"
    "</patternFill></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFDDEBF7\"/><bgColor indexed=\"64\"/>"
    "</patternFill></fill></fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left style=\"thin\"><color auto=\"1\"/></left><right style=\"thin\"><color auto=\"1\"/></right>"
    "<top style=\"thin\"><color auto=\"1\"/></top><bottom style=\"thin\"><color auto=\"1\"/></bottom>"
    "<diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"6\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"3\" borderId=\"1\" xfId=\"0\" applyFont=\"1\" applyFill=\"1\" "
    "applyBorder=\"1\" applyAlignment=\"1\"><alignment horizontal=\"center\"/></xf>"
    "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" "
    "applyFill=\"1\"/>"
    "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"4\" fontId=\"1\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyNumberFormat=\"1\" "
    "applyFont=\"1\" applyBorder=\"1\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

bool writeCostWorkbook(const QString& path, Texts texts, int rows)
{
    const QStringList sheetNames =
        texts == Texts::Chinese ? QStringList{"客户表", "对账表"} : QStringList{"Customers", "Ledger"};
    XlsxLook look;
    look.styles = kCostStyles;
    look.sheets = {costLook(), costLook()};
    look.head = "<bookViews><workbookView activeTab=\"0\"/></bookViews>";
    look.tail = "<calcPr calcId=\"191029\"/>";
    look.writtenByExcel = true;
    return writeXlsx(
        path, {costSheet(sheetNames.at(0), texts, rows, 20240607), costSheet(sheetNames.at(1), texts, rows, 20240608)},
        look);
}

// ---------------------------------------------------------------------------------------------
// Children: each measurement runs in a program of its own with an office of its own, so that
// the office's peak memory is that of the measured work alone.

struct OfficeMemory
{
    double peak = 0; // VmHWM, MiB
    double now = 0;  // VmRSS, MiB
};

OfficeMemory officeMemory()
{
    QFile status(QStringLiteral("/proc/%1/status").arg(OfficeServer::officeProcessForTests()));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString text = QString::fromLatin1(status.readAll());
    const auto field = [&text](const QString& name) {
        const QRegularExpression line(QStringLiteral("^%1:\\s*(\\d+)\\s*kB").arg(name),
                                      QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(text);
        return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : 0.0;
    };
    return {field(QStringLiteral("VmHWM")), field(QStringLiteral("VmRSS"))};
}

// Lines the parent reads: "<kind> <label> <numbers...>".
void report(const char* kind, const QString& label, const QList<double>& numbers)
{
    std::printf("%s %s", kind, qPrintable(label));
    for (double number : numbers)
        std::printf(" %.3f", number);
    std::printf("\n");
    std::fflush(stdout);
}

// Seconds to wait, when KIVEXCEL_BENCH_PAUSE is set, so that a profiler can attach to the office
// (perf record -g -p <pid>, the pid printed first).
void pauseForProfiler()
{
    if (qEnvironmentVariableIsSet("KIVEXCEL_BENCH_PAUSE"))
        QThread::sleep(qEnvironmentVariableIntValue("KIVEXCEL_BENCH_PAUSE"));
}

int loadAndStoreChild(const QString& path)
{
    ExcelOpKiv link;
    std::printf("office %d\n", int(OfficeServer::officeProcessForTests()));
    std::fflush(stdout);
    pauseForProfiler();
    bool opened = false;
    const Timing load = timingOf([&] { opened = link.openWorkBook(path); });
    pauseForProfiler();
    bool saved = false;
    const Timing store = timingOf([&] { saved = link.saveWorkbook(); });
    if (!opened || !saved)
        return 1;
    report("time", QStringLiteral("load"), {load.wall, load.cpu});
    report("time", QStringLiteral("store"), {store.wall, store.cpu});
    return 0;
}

QStringList countsOf(const QStringList& values, const QStringList& others)
{
    QHash<QString, int> tally;
    for (const QString& other : others)
        ++tally[other];
    QStringList counts;
    counts.reserve(values.size());
    for (const QString& value : values)
        counts.append(QString::number(tally.value(value)));
    return counts;
}

// The comparer's steps on both sheets, then a splitter's on a copy of one: the office's memory
// after each, and the time each took.
int toolStepsChild(const QString& path, int rows)
{
    std::unique_ptr<ExcelOpKiv> started;
    const auto step = [](const QString& label, const std::function<bool()>& work) {
        bool done = false;
        const Timing timing = timingOf([&] { done = work(); });
        const OfficeMemory memory = officeMemory();
        report("step", label, {memory.peak, memory.now, timing.wall, timing.cpu});
        return done;
    };
    if (!step(QStringLiteral("office started"), [&] {
            started = std::make_unique<ExcelOpKiv>();
            return started->hasApplication();
        }))
        return 1;
    ExcelOpKiv& link = *started;
    if (!step(QStringLiteral("workbook loaded"), [&] { return link.openWorkBook(path) && link.openSheets(); }))
        return 1;
    SheetEntry* left = link.sheetAt(0);
    SheetEntry* right = link.sheetAt(1);
    QStringList leftKeys, rightKeys;
    SheetEntry* copied = nullptr;
    const bool done = step(QStringLiteral("key columns read (Range Value)"),
                           [&] {
                               leftKeys = left->readColumnTexts(2, 2, rows + 1);
                               rightKeys = right->readColumnTexts(2, 2, rows + 1);
                               return leftKeys.size() == rows && rightKeys.size() == rows;
                           })
                      && step(QStringLiteral("column 1 inserted, filter set"),
                              [&] {
                                  return left->insertColumn(1) && right->insertColumn(1) && left->setAutoFilter(1)
                                         && right->setAutoFilter(1);
                              })
                      && step(QStringLiteral("counts written"),
                              [&] {
                                  return left->writeColumnTexts(1, 2, countsOf(leftKeys, rightKeys))
                                         && right->writeColumnTexts(1, 2, countsOf(rightKeys, leftKeys));
                              })
                      && step(QStringLiteral("saved"), [&] { return link.saveWorkbook(); })
                      && step(QStringLiteral("sheet copied, sorted by a key column"),
                              [&] {
                                  copied =
                                      link.findSheet(link.copySheet(right->getSheetName(), QStringLiteral("copy")));
                                  QStringList keys;
                                  for (int r = 0; r < rows; ++r)
                                      keys.append(QString::number(qint64(r) * 7919 % rows));
                                  return copied && copied->writeColumnTexts(10, 2, keys)
                                         && copied->sortRowsByColumn(2, rows + 1, 10, 10) && copied->deleteColumn(10);
                              })
                      && step(QStringLiteral("half its rows deleted"),
                              [&] {
                                  return copied->deleteRowBlocks({{rows / 2 + 2, rows + 1}});
                              })
                      && step(QStringLiteral("saved again"), [&] { return link.saveWorkbook(); });
    return done ? 0 : 1;
}

// The column splitter's job on the first sheet by its region column (50 new sheets), in an office
// that loaded the workbook once before: its peak after that load, and after the job.
int splitChild(const QString& path, int rows)
{
    auto link = std::make_unique<ExcelOpKiv>();
    const auto step = [](const QString& label, bool done) {
        const OfficeMemory memory = officeMemory();
        report("step", label, {memory.peak, memory.now});
        return done;
    };
    if (!step(QStringLiteral("office started"), link->hasApplication()))
        return 1;
    const bool loaded = link->openWorkBook(path) && link->openSheets();
    const QString sheet = loaded ? link->sheetAt(0)->getSheetName() : QString();
    link->closeWorkbook();
    if (!step(QStringLiteral("workbook loaded"), loaded))
        return 1;
    JobOutcome outcome;
    const Timing timing = timingOf([&] {
        outcome = ColumnSplitJob({path, sheet, "A1", QStringLiteral("H%1").arg(rows + 1), "H", false}).run(link);
    });
    report("time", QStringLiteral("split"), {timing.wall, timing.cpu});
    return step(QStringLiteral("split by region and saved"), outcome.kind == JobOutcome::Kind::Done) ? 0 : 1;
}

// ---------------------------------------------------------------------------------------------
// The parent: workbooks, children, medians, the table.

struct ChildRun
{
    bool ok = false;
    QHash<QString, QList<double>> lines; // "time load" -> numbers, "step saved" -> numbers
    QStringList order;
};

ChildRun runChild(const QStringList& arguments, bool measures)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (measures)
        environment.remove(QStringLiteral("KIVEXCEL_OFFICE_PLAIN"));
    else
        environment.insert(QStringLiteral("KIVEXCEL_OFFICE_PLAIN"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    ChildRun run;
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit)
        return run;
    run.ok = child.exitCode() == 0;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() < 3 || (fields.first() != QLatin1String("time") && fields.first() != QLatin1String("step")))
            continue;
        QList<double> numbers;
        while (fields.size() > 2) {
            bool isNumber = false;
            const double number = fields.last().toDouble(&isNumber);
            if (!isNumber)
                break;
            numbers.prepend(number);
            fields.removeLast();
        }
        const QString key = fields.join(QLatin1Char(' '));
        run.lines.insert(key, numbers);
        run.order.append(key);
    }
    return run;
}

QString copyOf(const QString& source, const QString& copy)
{
    QFile::remove(copy);
    QFile::copy(source, copy);
    return copy;
}

struct LoadStore
{
    Timing load;
    Timing store;
    double cpu() const { return load.cpu + store.cpu; }
};

Timing medianOf(const QList<Timing>& timings)
{
    QList<double> walls, cpus;
    for (const Timing& timing : timings) {
        walls.append(timing.wall);
        cpus.append(timing.cpu);
    }
    return {benchutil::medianOf(walls), benchutil::medianOf(cpus)};
}

// Load + store of the workbook as written (round 1), and of the workbook as the office stored it
// in round 1 (round 2: what the next run of a tool meets).
QPair<LoadStore, LoadStore> measureRounds(const QString& source, const QString& folder, bool measures, int repeats)
{
    QPair<LoadStore, LoadStore> result;
    for (int round = 1; round <= 2; ++round) {
        QList<Timing> loads, stores;
        const QString roundSource = round == 1 ? source : folder + QStringLiteral("/stored-once.xlsx");
        for (int i = 0; i < repeats; ++i) {
            const QString copy = copyOf(roundSource, folder + QStringLiteral("/measured.xlsx"));
            const ChildRun run = runChild({QStringLiteral("--load-store"), copy}, measures);
            if (!run.ok)
                std::printf("  a load + store failed\n");
            const QList<double> load = run.lines.value(QStringLiteral("time load"), {0, 0});
            const QList<double> store = run.lines.value(QStringLiteral("time store"), {0, 0});
            loads.append({load.value(0), load.value(1)});
            stores.append({store.value(0), store.value(1)});
            if (round == 1 && i == 0)
                copyOf(copy, folder + QStringLiteral("/stored-once.xlsx"));
        }
        LoadStore& measured = round == 1 ? result.first : result.second;
        measured = {medianOf(loads), medianOf(stores)};
    }
    return result;
}

QString seconds(const Timing& timing)
{
    return QStringLiteral("%1 / %2").arg(timing.wall, 6, 'f', 2).arg(timing.cpu, 6, 'f', 2);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    OfficeServer::registerAsExcel();
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--generate" && argc == 5)
        return writeCostWorkbook(QString::fromLocal8Bit(argv[2]),
                                 QByteArray(argv[3]) == "ascii" ? Texts::Ascii : Texts::Chinese, atoi(argv[4]))
                   ? 0
                   : 1;
    if (mode == "--load-store" && argc == 3)
        return loadAndStoreChild(QString::fromLocal8Bit(argv[2]));
    if (mode == "--tool-steps" && argc == 4)
        return toolStepsChild(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
    if (mode == "--split" && argc == 4)
        return splitChild(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));

    const int rows = argc > 1 ? std::max(10, atoi(argv[1])) : 20000;
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    const bool withSplit = argc > 3 && QByteArray(argv[3]) == "split";
    QTemporaryDir folder;
    const QString chinese = folder.filePath(QStringLiteral("chinese.xlsx"));
    const QString ascii = folder.filePath(QStringLiteral("ascii.xlsx"));
    if (!writeCostWorkbook(chinese, Texts::Chinese, rows) || !writeCostWorkbook(ascii, Texts::Ascii, rows)) {
        std::printf("could not write the workbooks\n");
        return 1;
    }
    std::printf("Office cost of Chinese texts: 2 sheets x %d rows, 8 columns (3 styled, 1 formula); "
                "median of %d; times wall / cpu in s (cpu: the office and this program)\n",
                rows, repeats);

    std::printf("\nLoad + store (round 1: the workbook as Excel writes it; round 2: as the office stored it)\n");
    std::printf("  %-8s %-9s %-6s %-17s %-17s %s\n", "texts", "measures", "round", "load", "store", "load+store cpu");
    QHash<QString, double> cpuOf;
    for (const bool measures : {false, true}) {
        for (const QString& source : {chinese, ascii}) {
            const QString texts = source == chinese ? QStringLiteral("Chinese") : QStringLiteral("ASCII");
            const QString work = folder.filePath(texts);
            QDir().mkpath(work);
            const QPair<LoadStore, LoadStore> rounds = measureRounds(source, work, measures, repeats);
            int round = 1;
            for (const LoadStore& measured : {rounds.first, rounds.second}) {
                std::printf("  %-8s %-9s %-6d %-17s %-17s %6.2f\n", qPrintable(texts), measures ? "on" : "off", round,
                            qPrintable(seconds(measured.load)), qPrintable(seconds(measured.store)), measured.cpu());
                std::fflush(stdout);
                cpuOf.insert(QStringLiteral("%1 %2 %3").arg(texts).arg(measures).arg(round), measured.cpu());
                ++round;
            }
        }
    }
    for (const bool measures : {false, true})
        for (int round = 1; round <= 2; ++round)
            printLine(
                QStringLiteral("Chinese / ASCII, measures %1, round %2 (cpu)").arg(measures ? "on" : "off").arg(round),
                QString::number(
                    cpuOf.value(QStringLiteral("Chinese %1 %2").arg(measures).arg(round))
                        / std::max(0.001, cpuOf.value(QStringLiteral("ASCII %1 %2").arg(measures).arg(round))),
                    'f', 2));
    for (int round = 1; round <= 2; ++round)
        printLine(QStringLiteral("Chinese, measures off / on, round %1 (cpu)").arg(round),
                  QString::number(cpuOf.value(QStringLiteral("Chinese 0 %1").arg(round))
                                      / std::max(0.001, cpuOf.value(QStringLiteral("Chinese 1 %1").arg(round))),
                                  'f', 2));

    std::printf("\nOffice memory (soffice.bin VmHWM / VmRSS in MiB) and time of each tool step, Chinese workbook\n");
    for (const bool measures : {false, true}) {
        const ChildRun run = runChild(
            {QStringLiteral("--tool-steps"), copyOf(chinese, folder.filePath("steps.xlsx")), QString::number(rows)},
            measures);
        std::printf("  measures %s%s\n", measures ? "on" : "off", run.ok ? "" : " (a step FAILED)");
        double peakAfterLoad = 0;
        double peakOfRun = 0;
        for (const QString& key : run.order) {
            const QList<double> numbers = run.lines.value(key);
            const QString label = key.mid(5);
            std::printf("    %-40s peak %7.1f   now %7.1f   step %7.2f / %6.2f s\n", qPrintable(label),
                        numbers.value(0), numbers.value(1), numbers.value(2), numbers.value(3));
            if (label == QLatin1String("workbook loaded"))
                peakAfterLoad = numbers.value(0);
            peakOfRun = std::max(peakOfRun, numbers.value(0));
        }
        std::fflush(stdout);
        printLine(QStringLiteral("peak of the run / peak after loading"),
                  QString::number(peakOfRun / std::max(1.0, peakAfterLoad), 'f', 2));
        printGoal(
            QStringLiteral("measures %1: run's peak at most 3 x the peak after loading").arg(measures ? "on" : "off"),
            peakAfterLoad > 0 && peakOfRun <= 3 * peakAfterLoad);
    }

    if (!withSplit)
        return 0;
    std::printf(
        "\nOffice memory (VmHWM in MiB) in the column splitter's job: sheet 1 split by region into 50 sheets\n");
    for (const bool measures : {false, true}) {
        const ChildRun run =
            runChild({QStringLiteral("--split"), copyOf(chinese, folder.filePath("split.xlsx")), QString::number(rows)},
                     measures);
        const double afterLoad = run.lines.value(QStringLiteral("step workbook loaded")).value(0);
        const double afterSplit = run.lines.value(QStringLiteral("step split by region and saved")).value(0);
        const QList<double> time = run.lines.value(QStringLiteral("time split"));
        std::printf(
            "  measures %-3s  after loading %7.1f   after the split %7.1f   ratio %5.2f   split %6.2f / %6.2f s%s\n",
            measures ? "on" : "off", afterLoad, afterSplit, afterSplit / std::max(1.0, afterLoad), time.value(0),
            time.value(1), run.ok ? "" : "   (FAILED)");
        std::fflush(stdout);
        printGoal(
            QStringLiteral("measures %1: split's peak at most 3 x the peak after loading").arg(measures ? "on" : "off"),
            afterLoad > 0 && afterSplit <= 3 * afterLoad);
    }
    return 0;
}
