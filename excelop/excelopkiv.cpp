#include "excelop/excelopkiv.h"

#include "common/notice.h"
#include "automation/automationregistry.h"
#include "automation/axobject.h"
#include "excelop/openfailure.h"

#include <QCoreApplication>
#include <algorithm>
#include <memory>

namespace {

constexpr int kLongestSheetName = 31;
const QString kForbiddenInSheetNames = QStringLiteral("[]*?:/\\");

// Shortens the text to at most `length` characters without splitting a surrogate pair.
QString shortened(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    int cut = length;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

QString withSuffix(const QString& base, int counter)
{
    const QString suffix = QLatin1Char('_') + QString::number(counter);
    return shortened(base, kLongestSheetName - suffix.size()) + suffix;
}

QString replacedForSheetName(const QString& value)
{
    QString name = value;
    for (QChar& character : name) {
        if (kForbiddenInSheetNames.contains(character) || character.unicode() < 0x20)
            character = QLatin1Char('_');
    }
    if (name.startsWith(QLatin1Char('\'')))
        name[0] = QLatin1Char('_');
    name = shortened(name, kLongestSheetName);
    if (name.endsWith(QLatin1Char('\'')))
        name[name.size() - 1] = QLatin1Char('_');
    return name;
}

} // namespace

QString legalSheetName(const QString& value)
{
    //: The name of the sheet for the empty value.
    return value.isEmpty() ? QCoreApplication::translate("ExcelOpKiv", "空") : replacedForSheetName(value);
}

QString uniqueSheetName(const QString& value, const QStringList& takenNames)
{
    // Sheet names are unique whatever their letter case.
    QStringList folded;
    for (const QString& taken : takenNames)
        folded.append(taken.toCaseFolded());
    QString name = legalSheetName(value);
    const QString suffixBase = value.isEmpty() ? QString() : name;
    for (int j = 0; folded.contains(name.toCaseFolded()); ++j)
        name = withSuffix(suffixBase, j);
    return name;
}

ExcelOpKiv::ExcelOpKiv() : excel(std::make_unique<AxObject>(QStringLiteral("Excel.Application")))
{
    if (excel->isNull()) {
        excel.reset();
        return;
    }
    excel->setProperty("Visible", false);
    excel->setProperty("DisplayAlerts", false);
}

ExcelOpKiv::~ExcelOpKiv()
{
    closeWorkbook();
    if (excel)
        excel->setProperty("Visible", true);
}

void ExcelOpKiv::closeWorkbook()
{
    // The entries' sheet objects belong to the workbook about to be closed.
    clearSheets();
    if (workbook) {
        workbook->dynamicCall("Close()");
        workbook.reset();
    }
}

bool ExcelOpKiv::openWorkBook(const QString& path)
{
    if (!excel)
        return false;
    closeWorkbook();
    attemptedPath = path;
    std::unique_ptr<AxObject> workbooks(excel->querySubObject("WorkBooks"));
    if (workbooks)
        workbooks->dynamicCall("Open(const QString&)", path);
    workbook.reset(excel->querySubObject("ActiveWorkBook"));
    if (workbook && keepingSavedResults)
        workbook->setProperty("KeepSavedResults", true);
    return workbook != nullptr;
}

bool ExcelOpKiv::newWorkbook()
{
    if (!excel)
        return false;
    closeWorkbook();
    attemptedPath.clear();
    {
        // The new workbook becomes the active one; the object Add gives goes with its collection.
        std::unique_ptr<AxObject> workbooks(excel->querySubObject("WorkBooks"));
        if (!workbooks || !std::unique_ptr<AxObject>(workbooks->querySubObject("Add")))
            return false;
    }
    workbook.reset(excel->querySubObject("ActiveWorkBook"));
    if (workbook && keepingSavedResults)
        workbook->setProperty("KeepSavedResults", true);
    return workbook != nullptr && openSheets();
}

bool ExcelOpKiv::openSheets()
{
    if (!excel) {
        QString text = QCoreApplication::translate("ExcelOpKiv", "打开Excel文件时出错:(this->excel==null)");
        const QString why = AutomationRegistry::whyNotCreated(QStringLiteral("Excel.Application"));
        if (!why.isEmpty())
            text += QLatin1Char('\n') + why;
        showNotice(text);
        return false;
    }
    if (!workbook) {
        QString text = QCoreApplication::translate("ExcelOpKiv", "打开Excel文件时出错:(this->workbook==null)");
        if (!attemptedPath.isEmpty() && officeState() == OfficeState::Working)
            text += QLatin1Char('\n') + whyWorkbookDidNotOpen(attemptedPath);
        showNotice(text, NoticeKind::Failure);
        return false;
    }
    clearSheets();
    std::unique_ptr<AxObject> worksheets(workbook->querySubObject("Worksheets"));
    const int count = worksheets ? worksheets->property("Count").toInt() : 0;
    for (int p = 1; p <= count; ++p) {
        std::unique_ptr<AxObject> sheet(workbook->querySubObject("Worksheets(int)", p));
        if (!sheet)
            break;
        sheets.push_back(std::make_unique<SheetEntry>(p, std::move(sheet)));
    }
    return true;
}

QStringList ExcelOpKiv::getSheetNames()
{
    if (!excel || !workbook) {
        showNotice(QCoreApplication::translate(
            "ExcelOpKiv", "打开Excel文件获取sheet名字时出错:(this->excel==null)||(this->workbook==null)"));
        return {};
    }
    QStringList names;
    for (const auto& entry : sheets)
        names.append(entry->getSheetName());
    return names;
}

bool ExcelOpKiv::workbookAccepts(const char* call, const QVariant& argument)
{
    return workbook && accepted(workbook.get(), [this, call, &argument] { workbook->dynamicCall(call, argument); });
}

bool ExcelOpKiv::saveWorkbook()
{
    return workbookAccepts("Save()");
}

void ExcelOpKiv::setKeepFeatures(bool keep)
{
    if (workbook)
        workbook->setProperty("KeepFeatures", keep);
}

void ExcelOpKiv::setKeepSavedResults(bool keep)
{
    keepingSavedResults = keep;
    if (workbook)
        workbook->setProperty("KeepSavedResults", keep);
}

QStringList ExcelOpKiv::featuresLostBySave() const
{
    return workbook ? workbook->property("LostFeatures").toStringList() : QStringList();
}

bool ExcelOpKiv::saveWorkbookAs(const QString& path)
{
    return workbookAccepts("SaveAs(const QString&)", path);
}

bool ExcelOpKiv::saveWorkbookCopyAs(const QString& path)
{
    return workbookAccepts("SaveCopyAs(const QString&)", path);
}

int ExcelOpKiv::keepValues(const QList<QPair<QString, QString>>& blocks)
{
    QStringList places;
    for (const auto& block : blocks)
        places << block.first + QLatin1Char('\t') + block.second;
    if (!workbook || places.isEmpty())
        return 0;
    return workbook->dynamicCall("KeepValues(const QStringList&)", places).toInt();
}

bool ExcelOpKiv::holdsMacroCodeNames() const
{
    return workbook && workbook->property("MacroCodeNames").toBool();
}

bool ExcelOpKiv::isReadOnly() const
{
    return workbook && workbook->property("ReadOnly").toBool();
}

bool ExcelOpKiv::isStructureProtected() const
{
    return workbook && workbook->property("ProtectStructure").toBool();
}

QString ExcelOpKiv::loadedFileStamp() const
{
    return workbook ? workbook->property("FileStamp").toString() : QString();
}

QHash<QString, QString> ExcelOpKiv::definedNames() const
{
    QHash<QString, QString> found;
    std::unique_ptr<AxObject> names(workbook ? workbook->querySubObject("Names") : nullptr);
    const int count = names ? names->property("Count").toInt() : 0;
    for (int i = 1; i <= count; ++i) {
        std::unique_ptr<AxObject> name(names->querySubObject("Item(int)", i));
        if (!name)
            return {};
        found.insert(name->property("Name").toString(), name->property("RefersTo").toString());
    }
    return found;
}

bool ExcelOpKiv::formulasMaySpanSheets() const
{
    const QVariant may = workbook ? workbook->property("FormulasMaySpanSheets") : QVariant();
    return !may.isValid() || may.toBool();
}

QHash<QString, QString> ExcelOpKiv::tableRanges() const
{
    QHash<QString, QString> found;
    const QVariantMap tables = workbook ? workbook->property("TableRanges").toMap() : QVariantMap();
    for (auto it = tables.cbegin(); it != tables.cend(); ++it)
        found.insert(it.key(), it.value().toString());
    return found;
}

float ExcelOpKiv::getExcelVersion()
{
    if (!excel)
        return 0;
    bool isNumber = false;
    const float version = excel->property("Version").toString().trimmed().toFloat(&isNumber);
    return isNumber ? version : 0;
}

bool ExcelOpKiv::isXlsxSupported()
{
    return getExcelVersion() >= 12.0f;
}

void ExcelOpKiv::clearSheets()
{
    sheets.clear();
}

SheetEntry* ExcelOpKiv::findSheet(const QString& name) const
{
    for (const auto& entry : sheets) {
        if (entry->getSheetName() == name)
            return entry.get();
    }
    return nullptr;
}

SheetEntry* ExcelOpKiv::sheetAt(int i) const
{
    return i >= 0 && i < int(sheets.size()) ? sheets.at(i).get() : nullptr;
}

OfficeState ExcelOpKiv::officeState() const
{
    if (!excel)
        return OfficeState::Ended;
    if (excel->property("Ready").toBool())
        return OfficeState::Working;
    return excel->property("StoppedAnswering").toBool() ? OfficeState::StoppedAnswering : OfficeState::Ended;
}

QString officeLostText(OfficeState state)
{
    switch (state) {
    case OfficeState::StoppedAnswering:
        return QCoreApplication::translate(
            "ExcelOpKiv", "电子表格程序长时间没有响应，已被结束。这个工作簿没有处理完，结果没有保存。");
    case OfficeState::Ended:
        return QCoreApplication::translate("ExcelOpKiv",
                                           "电子表格程序意外退出了。这个工作簿没有处理完，结果没有保存。");
    case OfficeState::Working:
        break;
    }
    return QString();
}

QString ExcelOpKiv::copySheet(const QString& sourceName, const QString& newName)
{
    if (!workbook)
        return QString();
    QStringList takenNames;
    for (const auto& entry : sheets)
        takenNames.append(entry->getSheetName());
    const QString name = uniqueSheetName(newName, takenNames);

    // The copy goes before the sheet it copies.
    std::unique_ptr<AxObject> source(workbook->querySubObject("Sheets(QString)", sourceName));
    if (!source)
        return QString();
    const QVariant beforeValue = source->asVariant();
    if (!accepted(source.get(), [&] { source->dynamicCall("Copy (const QVariant&)", beforeValue); })) {
        openSheets();
        return QString();
    }
    std::unique_ptr<AxObject> copy(workbook->querySubObject("ActiveSheet"));
    QString givenName;
    if (copy) {
        copy->setProperty("Name", name);
        givenName = copy->property("Name").toString();
    }
    // The copy went right before its source: the list follows without reading every sheet again.
    const auto at = std::find_if(sheets.begin(), sheets.end(),
                                 [&sourceName](const auto& entry) { return entry->getSheetName() == sourceName; });
    if (!copy || givenName.isEmpty() || at == sheets.end()) {
        openSheets();
        return givenName;
    }
    auto entry = std::make_unique<SheetEntry>(int(at - sheets.begin()) + 1, std::move(copy));
    entry->setKnownName(givenName);
    sheets.insert(at, std::move(entry));
    return givenName;
}

QString ExcelOpKiv::importSheet(ExcelOpKiv& from, const QString& sourceName, const QString& newName)
{
    if (!workbook || !from.workbook || sheets.empty())
        return QString();
    const QString name = uniqueSheetName(newName, getSheetNames());
    std::unique_ptr<AxObject> source(from.workbook->querySubObject("Sheets(QString)", sourceName));
    std::unique_ptr<AxObject> last(workbook->querySubObject("Sheets(QString)", sheets.back()->getSheetName()));
    if (!source || !last)
        return QString();
    const QVariant afterValue = last->asVariant();
    const bool copied = accepted(source.get(), [&] { source->dynamicCall("Copy(QVariant,bool)", afterValue, true); });
    std::unique_ptr<AxObject> copy(copied ? workbook->querySubObject("ActiveSheet") : nullptr);
    QString givenName;
    if (copy) {
        copy->setProperty("Name", name);
        givenName = copy->property("Name").toString();
    }
    copy.reset();
    openSheets();
    return givenName;
}

bool ExcelOpKiv::deleteSheet(const QString& name)
{
    deleteWorksheet(name);
    const bool saved = saveWorkbook();
    openSheets();
    return saved;
}

QString ExcelOpKiv::renameSheet(const QString& name, const QString& newName)
{
    std::unique_ptr<AxObject> sheet(workbook ? workbook->querySubObject("Sheets(QString)", name) : nullptr);
    if (!sheet)
        return QString();
    sheet->setProperty("Name", newName);
    const QString given = sheet->property("Name").toString();
    if (SheetEntry* entry = findSheet(name))
        entry->setKnownName(given);
    return given;
}

bool ExcelOpKiv::moveSheetBefore(const QString& name, const QString& beforeName)
{
    std::unique_ptr<AxObject> sheet(workbook ? workbook->querySubObject("Sheets(QString)", name) : nullptr);
    std::unique_ptr<AxObject> before(workbook ? workbook->querySubObject("Sheets(QString)", beforeName) : nullptr);
    if (!sheet || !before)
        return false;
    const QVariant beforeValue = before->asVariant();
    const bool moved = accepted(sheet.get(), [&] { sheet->dynamicCall("Move(const QVariant&)", beforeValue); });
    const auto named = [](const QString& wanted) {
        return [wanted](const std::unique_ptr<SheetEntry>& entry) { return entry->getSheetName() == wanted; };
    };
    const auto from = std::find_if(sheets.begin(), sheets.end(), named(name));
    if (!moved || from == sheets.end()) {
        openSheets();
        return moved;
    }
    std::unique_ptr<SheetEntry> entry = std::move(*from);
    sheets.erase(from);
    sheets.insert(std::find_if(sheets.begin(), sheets.end(), named(beforeName)), std::move(entry));
    return true;
}

bool ExcelOpKiv::removeSheet(const QString& name)
{
    const bool removed = deleteWorksheet(name);
    if (!removed) {
        openSheets();
        return false;
    }
    sheets.erase(std::remove_if(sheets.begin(), sheets.end(),
                                [&name](const auto& entry) { return entry->getSheetName() == name; }),
                 sheets.end());
    return true;
}

bool ExcelOpKiv::deleteWorksheet(const QString& name)
{
    SheetEntry* entry = findSheet(name);
    return entry && accepted(entry->sheet.get(), [entry] { entry->sheet->dynamicCall("Delete"); });
}

bool ExcelOpKiv::deleteSheetAt(int i)
{
    SheetEntry* entry = sheetAt(i);
    return entry && entry->sheet && accepted(entry->sheet.get(), [entry] { entry->sheet->dynamicCall("Delete"); });
}

bool ExcelOpKiv::deleteSheetsUndoably(const QStringList& names)
{
    return deleteSheetGroup(names, "Delete");
}

bool ExcelOpKiv::deleteSheetsForGood(const QStringList& names)
{
    return deleteSheetGroup(names, "DeleteForGood");
}

bool ExcelOpKiv::deleteSheetGroup(const QStringList& names, const char* deletion)
{
    if (!workbook)
        return false;
    std::unique_ptr<AxObject> group(workbook->querySubObject("Sheets(QStringList)", names));
    const bool deleted = group && accepted(group.get(), [&group, deletion] { group->dynamicCall(deletion); });
    forgetSheetNames();
    return deleted;
}

bool ExcelOpKiv::undoLastStep()
{
    const bool undone = workbookAccepts("Undo");
    forgetSheetNames();
    return undone;
}

// Sheets went or came back past the list: its entries read their names again.
void ExcelOpKiv::forgetSheetNames()
{
    for (const auto& entry : sheets)
        entry->setKnownName(QString());
}

void replaceLink(std::unique_ptr<ExcelOpKiv>& link)
{
    link.reset();
    link = std::make_unique<ExcelOpKiv>();
}
