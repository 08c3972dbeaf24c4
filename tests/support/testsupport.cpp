#include "testsupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>

#include "common/dialogs.h"
#include "common/language.h"
#include "automation/axobject.h"
#include "automation/officeentry.h"
#include "excelop/excelopkiv.h"
#include "common/desktopservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

QList<QStringList> valuesAsTexts(const QVariant& value)
{
    QList<QStringList> rows;
    if (value.type() != QVariant::List) {
        rows.append(QStringList{cellValueToText(value)});
        return rows;
    }
    for (const QVariant& row : value.toList()) {
        QStringList texts;
        for (const QVariant& cell : row.toList())
            texts.append(cellValueToText(cell));
        rows.append(texts);
    }
    return rows;
}

} // namespace

QString corpusFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("KIVEXCEL_CORPUS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir(QStringLiteral(KIVEXCEL_SOURCE_DIR)).filePath(QStringLiteral("../shared/fixtures/corpus"));
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void initTestEnvironment()
{
    // Remembered folders and choices go to a test location, fresh for every test program.
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
    setDialogsHeadlessForTests();
    OfficeServer::registerAsExcel();
    KivDesktopServices::setRecording(true);
    // The texts tests compare are the written Chinese ones, whatever locale CI runs under: the
    // command lines they start see a Chinese LANGUAGE. A test that wants English sets it itself.
    if (userWantsEnglish())
        qputenv("LANGUAGE", "zh_CN");
}

std::unique_ptr<ExcelOpKiv> openedWorkbook(const QString& path)
{
    auto link = std::make_unique<ExcelOpKiv>();
    link->openWorkBook(path);
    link->openSheets();
    return link;
}

QString fixturePath(const QString& name)
{
    return QDir(QStringLiteral(KIVEXCEL_FIXTURES_DIR)).absoluteFilePath(name);
}

QString copyFixture(const QString& name, const QString& folder)
{
    const QString copy = QDir(folder).absoluteFilePath(name);
    QFile::remove(copy);
    QFile::copy(fixturePath(name), copy);
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return copy;
}

QList<SheetContent> readWorkbook(const QString& path)
{
    QList<SheetContent> sheets;
    const OfficeWorkbook opened(path);
    AxObject* workbook = opened.book();
    if (!workbook)
        return sheets;
    std::unique_ptr<AxObject> worksheets(workbook->querySubObject("Worksheets"));
    const int count = worksheets ? worksheets->property("Count").toInt() : 0;
    for (int p = 1; p <= count; ++p) {
        std::unique_ptr<AxObject> sheet(workbook->querySubObject("Worksheets(int)", p));
        std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
        if (!used)
            continue;
        sheets.append({sheet->property("Name").toString(), valuesAsTexts(used->property("Value"))});
    }
    return sheets;
}

SheetContent sheetNamed(const QList<SheetContent>& sheets, const QString& name)
{
    for (const SheetContent& sheet : sheets) {
        if (sheet.name == name)
            return sheet;
    }
    return SheetContent();
}

QStringList sheetNames(const QList<SheetContent>& sheets)
{
    QStringList names;
    for (const SheetContent& sheet : sheets)
        names.append(sheet.name);
    return names;
}

CliRun runCli(const QStringList& arguments, const QString& home)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!home.isEmpty())
        environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KIVEXCEL_CLI), arguments);
    process.waitForFinished(300000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

bool lockByAnotherUser(const QString& path)
{
    const QFileInfo file(path);
    QFile lock(file.absolutePath() + QStringLiteral("/.~lock.") + file.fileName() + QLatin1Char('#'));
    if (!lock.open(QIODevice::WriteOnly))
        return false;
    lock.write("Someone Else,otherhost,otherhost,01.01.2024 10:00,file:///home/someone/.config/libreoffice/4;");
    return true;
}
