#pragma once
// The advertisement list as the banner tests write or serve it, and the banner's progress dialog.

#include "online/kivadviewbutton.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProgressDialog>
#include <QString>
#include <QtTest>

struct Entry
{
    QString type;
    QString name;
    QString url;
    QString logoName;
    QString logoUrl;
    int duration;
    QString nameTmp;
};

// The values go in as given: markup in them must already be written as XML entities.
inline QByteArray listXml(const QList<Entry>& entries, const QByteArray& root = "pcad")
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">\n";
    for (const Entry& e : entries) {
        xml += QString("<ad><TYPE>%1</TYPE><NAME>%2</NAME><URL>%3</URL><LOGONAME>%4</LOGONAME>"
                       "<LOGOURL>%5</LOGOURL><DURATION>%6</DURATION><NAMETMP>%7</NAMETMP></ad>\n")
                   .arg(e.type, e.name, e.url, e.logoName, e.logoUrl)
                   .arg(e.duration)
                   .arg(e.nameTmp)
                   .toUtf8();
    }
    return xml + "</" + root + ">\n";
}

inline void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A banner whose list has just been "downloaded" into the cache folder.
inline void loadList(KivAdViewButton& banner, const QString& cache, const QList<Entry>& entries)
{
    writeFile(cache + "/ad.xml", listXml(entries));
    banner.setSaveDir(cache);
    banner.slotsListDownloadFinished(true, "", cache, "ad.xml", "");
}

inline QProgressDialog* visibleProgressDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QProgressDialog*>(widget);
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}
