#include "online/kivadinfo.h"

#include "online/xmlguard.h"

#include <QDomDocument>
#include <QFile>

KivAdInfo::KivAdInfo() = default;

KivAdInfo::KivAdInfo(const QString& type, const QString& name, const QString& url, const QString& logoName,
                     const QString& logoUrl, int duration, const QString& nameTmp)
    : type(type), name(name), url(url), logoName(logoName), logoUrl(logoUrl), duration(duration), nameTmp(nameTmp)
{}

KivAdInfo::KivAdInfo(const KivAdInfo& other)
    : QObject(),
      type(other.type),
      name(other.name),
      url(other.url),
      logoName(other.logoName),
      logoUrl(other.logoUrl),
      duration(other.duration),
      nameTmp(other.nameTmp)
{}

KivAdInfo& KivAdInfo::operator=(const KivAdInfo& other)
{
    type = other.type;
    name = other.name;
    url = other.url;
    logoName = other.logoName;
    logoUrl = other.logoUrl;
    duration = other.duration;
    nameTmp = other.nameTmp;
    return *this;
}

KivAdInfo::~KivAdInfo() = default;

bool KivAdInfo::isWebLink() const
{
    return type == typeWebLink;
}

void KivAdInfo::readField(const QString& tag, const QString& text)
{
    if (tag == tagType)
        type = text;
    else if (tag == tagName)
        name = text;
    else if (tag == tagUrl)
        url = text;
    else if (tag == tagLogoName)
        logoName = text;
    else if (tag == tagLogoUrl)
        logoUrl = text;
    else if (tag == tagDuration)
        duration = text.trimmed().toInt(nullptr, 10); // 0 when not a number
    else if (tag == tagNameTmp)
        nameTmp = text;
}

QList<KivAdInfo> KivAdInfo::getKivAdInfoLists(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray xml = file.readAll();
    file.close();
    return listFromXml(xml);
}

QList<KivAdInfo> KivAdInfo::listFromXml(const QByteArray& xml)
{
    QList<KivAdInfo> entries;
    QDomDocument document(QStringLiteral("pcad"));
    if (!isNestingWithin(xml) || !document.setContent(xml, false))
        return entries;
    for (QDomNode entryNode = document.documentElement().firstChild(); !entryNode.isNull();
         entryNode = entryNode.nextSibling()) {
        KivAdInfo entry;
        for (QDomNode field = entryNode.firstChild(); !field.isNull(); field = field.nextSibling()) {
            const QDomElement element = field.toElement();
            entry.readField(element.tagName(), element.text());
        }
        entries.append(entry);
    }
    return entries;
}
