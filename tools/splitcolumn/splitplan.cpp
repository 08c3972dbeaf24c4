#include "tools/splitcolumn/splitplan.h"

#include "common/pathutils.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitplan.h"

#include <QCoreApplication>
#include <QSet>

namespace {

constexpr int kLongestSheetName = 31;
const QString kForbiddenInSheetNames = QStringLiteral("[]*?:/\\");

bool holdsAnyOf(const QString& value, const QString& characters)
{
    for (const QChar character : value) {
        if (characters.contains(character) || character.unicode() < 0x20)
            return true;
    }
    return false;
}

} // namespace

QVector<SplitPlanEntry> planSheets(const QVector<ValueRows>& groups, const QStringList& sheetNames)
{
    QStringList taken = sheetNames;
    QVector<SplitPlanEntry> plan;
    for (const ValueRows& group : groups) {
        SplitPlanEntry entry{group.value, int(group.rows.size()), uniqueSheetName(group.value, taken), {}};
        taken.append(entry.name);
        if (group.value.isEmpty())
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "空值"));
        if (holdsAnyOf(group.value, kForbiddenInSheetNames) || group.value.startsWith(QLatin1Char('\''))
            || group.value.endsWith(QLatin1Char('\'')))
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "含有表名不能用的字符"));
        if (group.value.size() > kLongestSheetName)
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "超过31个字符"));
        if (entry.name != legalSheetName(group.value))
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "名字已被占用"));
        plan.append(entry);
    }
    return plan;
}

QVector<SplitPlanEntry> planFiles(const QVector<ValueRows>& groups, const QString& extension)
{
    QSet<QString> taken;
    QVector<SplitPlanEntry> plan;
    for (const ValueRows& group : groups) {
        const QString cleaned = sanitizeFileName(group.value);
        const QString base = cleaned.isEmpty() ? QCoreApplication::translate("ExcelOpKiv", "空") : cleaned;
        SplitPlanEntry entry{group.value, int(group.rows.size()), base + extension, {}};
        if (group.value.isEmpty())
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "空值"));
        else if (base != group.value)
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "含有文件名不能用的字符"));
        if (taken.contains(entry.name))
            entry.whyRenamed.append(QCoreApplication::translate("SplitPlan", "与前面的值同名，会替换它的文件"));
        taken.insert(entry.name);
        plan.append(entry);
    }
    return plan;
}

QStringList planLines(const QVector<SplitPlanEntry>& plan)
{
    QStringList lines;
    for (const SplitPlanEntry& entry : plan) {
        QString line = QCoreApplication::translate("SplitPlan", "“%1”：%2行 → %3")
                           .arg(entry.value)
                           .arg(entry.rowCount)
                           .arg(entry.name);
        if (!entry.whyRenamed.isEmpty())
            line += QCoreApplication::translate("SplitPlan", "（改名：%1）")
                        .arg(entry.whyRenamed.join(QCoreApplication::translate("SplitPlan", "、")));
        lines.append(line);
    }
    return lines;
}
