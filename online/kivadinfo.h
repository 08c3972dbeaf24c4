#pragma once
// One advertisement entry of the banner, and the reader of the advertisement list document.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class KivAdInfo : public QObject
{
public:
    KivAdInfo();
    KivAdInfo(const QString& type, const QString& name, const QString& url, const QString& logoName,
              const QString& logoUrl, int duration, const QString& nameTmp);
    KivAdInfo(const KivAdInfo& other);
    KivAdInfo& operator=(const KivAdInfo& other);
    ~KivAdInfo() override;

    // The entries of the list file in document order; empty when the file cannot be read or
    // is not well-formed XML.
    static QList<KivAdInfo> getKivAdInfoLists(const QString& path);
    static QList<KivAdInfo> listFromXml(const QByteArray& xml);

    bool isWebLink() const;

    const QString tagType = QStringLiteral("TYPE");
    const QString tagName = QStringLiteral("NAME");
    const QString tagUrl = QStringLiteral("URL");
    const QString tagLogoName = QStringLiteral("LOGONAME");
    const QString tagLogoUrl = QStringLiteral("LOGOURL");
    const QString tagDuration = QStringLiteral("DURATION");
    const QString tagNameTmp = QStringLiteral("NAMETMP");
    const QString typePcApp = QStringLiteral("pc-app");
    const QString typeWebLink = QStringLiteral("web-link");

    QString type;
    QString name;
    QString url;
    QString logoName;
    QString logoUrl;
    int duration = 5;
    QString nameTmp;

private:
    void readField(const QString& tag, const QString& text);
};
