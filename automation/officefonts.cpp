#include "automation/officefonts.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

// The fallback: a Chinese font the toolbox depends on, which has Latin glyphs too.
const char* const kFallbackFamily = "WenQuanYi Micro Hei";
const char* const kMonospaceFallbackFamily = "WenQuanYi Micro Hei Mono";

// Windows' Chinese fonts under both their names, and the Latin fonts Chinese offices fill with
// Chinese texts. A family that is installed still wins over the fallback.
// clang-format off
const char* const kProportionalFamilies[] = {
    "等线", "等线 Light", "DengXian", "DengXian Light", "宋体", "SimSun", "新宋体", "NSimSun",
    "黑体", "SimHei", "微软雅黑", "微软雅黑 Light", "Microsoft YaHei", "Microsoft YaHei UI",
    "Microsoft YaHei Light", "仿宋", "FangSong", "仿宋_GB2312", "FangSong_GB2312", "楷体",
    "KaiTi", "楷体_GB2312", "KaiTi_GB2312", "隶书", "LiSu", "幼圆", "YouYuan", "华文宋体",
    "STSong", "华文黑体", "STHeiti", "华文楷体", "STKaiti", "华文仿宋", "STFangsong",
    "华文细黑", "STXihei", "方正舒体", "方正姚体", "新細明體", "PMingLiU", "細明體", "MingLiU",
    "標楷體", "DFKai-SB", "微軟正黑體", "Microsoft JhengHei", "Microsoft JhengHei UI",
    "Calibri", "Calibri Light", "Cambria", "Arial", "Arial Narrow", "Arial Unicode MS",
    "Times New Roman", "Tahoma", "Verdana", "Segoe UI", "Georgia", "Century Gothic",
    "Book Antiqua", "Garamond", "Trebuchet MS", "Aptos", "Aptos Narrow",
};
// clang-format on
const char* const kMonospaceFamilies[] = {"Courier New", "Consolas", "Lucida Console"};

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString aliasTo(const QString& family, const QString& fallback)
{
    // "same" binding: the fallback counts as the family itself, so the office's glyph probe
    // sees the fallback's Chinese glyphs under the family's name.
    return QStringLiteral("  <alias binding=\"same\"><family>%1</family><accept><family>%2</family></accept></alias>\n")
        .arg(escaped(family), escaped(fallback));
}

} // namespace

namespace OfficeFonts {

QStringList familiesWithFallback()
{
    QStringList families;
    for (const char* family : kProportionalFamilies)
        families << QString::fromUtf8(family);
    for (const char* family : kMonospaceFamilies)
        families << QString::fromUtf8(family);
    return families;
}

QString configurationText(const QString& baseConfiguration)
{
    QString text =
        QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n");
    text += QStringLiteral("  <include ignore_missing=\"yes\">%1</include>\n").arg(escaped(baseConfiguration));
    for (const char* family : kProportionalFamilies)
        text += aliasTo(QString::fromUtf8(family), QString::fromLatin1(kFallbackFamily));
    for (const char* family : kMonospaceFamilies)
        text += aliasTo(QString::fromUtf8(family), QString::fromLatin1(kMonospaceFallbackFamily));
    text += QStringLiteral("</fontconfig>\n");
    return text;
}

QString writeConfiguration(const QString& folder)
{
    QString base = qEnvironmentVariable("FONTCONFIG_FILE");
    if (base.isEmpty())
        base = QStringLiteral("/etc/fonts/fonts.conf");
    else if (QDir::isRelativePath(base))
        base = QDir(qEnvironmentVariable("FONTCONFIG_PATH", QStringLiteral("/etc/fonts"))).filePath(base);
    const QString path = QDir(folder).filePath(QStringLiteral("fonts.conf"));
    const QByteArray text = configurationText(base).toUtf8();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == text)
        return path;
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return QString();
    return path;
}

} // namespace OfficeFonts
