#include "automation/safesave.h"
#include "fileformat/containercheck.h"
#include "fileformat/whynot.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeSave {

bool isWorkbookFilter(const QString& filterName)
{
    static const char* const kWorkbookFilters[] = {"MS Excel",     "Calc MS Excel",   "Calc Office Open XML",
                                                   "calc8",        "calc_StarOffice", "StarOffice XML (Calc)",
                                                   "calc_MS_Excel"};
    for (const char* prefix : kWorkbookFilters)
        if (filterName.startsWith(QLatin1String(prefix)))
            return true;
    return false;
}

bool containerOfExtension(const QString& suffix, Container& container)
{
    const QString lower = suffix.toLower();
    if (lower == QLatin1String("xlsx") || lower == QLatin1String("xlsm") || lower == QLatin1String("ods"))
        container = Container::Zip;
    else if (lower == QLatin1String("xls"))
        container = Container::Compound;
    else if (lower == QLatin1String("csv"))
        container = Container::Text;
    else if (lower == QLatin1String("pdf"))
        container = Container::Pdf;
    else
        return false;
    return true;
}

bool containerOfFilter(const QString& filterName, Container& container)
{
    if (filterName == QLatin1String("Calc MS Excel 2007 XML") || filterName == QLatin1String("calc8")
        || filterName == QLatin1String("Calc Office Open XML")
        || filterName == QLatin1String("Calc MS Excel 2007 VBA XML")) {
        container = Container::Zip;
        return true;
    }
    if (filterName == QLatin1String("MS Excel 97")) {
        container = Container::Compound;
        return true;
    }
    if (filterName == QLatin1String("Text - txt - csv (StarCalc)")) {
        container = Container::Text;
        return true;
    }
    if (filterName == QLatin1String("calc_pdf_Export")) {
        container = Container::Pdf;
        return true;
    }
    return false;
}

bool isComplete(const QString& path, Container container, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(why, QStringLiteral("cannot read it back"));
    if (container == Container::Text)
        return true; // a sheet without cells gives an empty text
    const qint64 size = file.size();
    if (container == Container::Pdf) {
        const QByteArray head = file.read(8);
        file.seek(std::max<qint64>(0, size - 1024));
        const QByteArray tail = file.read(1024);
        return head.startsWith("%PDF-") && tail.contains("%%EOF") ? true
                                                                  : failed(why, QStringLiteral("not a whole PDF"));
    }
    if (size <= 0)
        return failed(why, QStringLiteral("empty"));
    const uchar* bytes = file.map(0, size);
    if (!bytes)
        return failed(why, QStringLiteral("cannot read it back"));
    const bool complete = container == Container::Zip ? ContainerCheck::isWholeZip(bytes, quint64(size), why)
                                                      : ContainerCheck::isWholeCompound(bytes, quint64(size), why);
    file.unmap(const_cast<uchar*>(bytes));
    return complete;
}

bool prependUtf8Bom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray text = file.readAll();
    const QByteArray bom("\xEF\xBB\xBF");
    if (text.startsWith(bom))
        return true;
    return file.seek(0) && file.write(bom + text) == bom.size() + text.size() && file.flush();
}

QString reserveTemporaryBeside(const QString& target)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString path = info.absoluteDir().filePath(
            QStringLiteral(".~kivexcel-%1.%2.tmp")
                .arg(QString::number(QRandomGenerator::global()->generate(), 36), info.suffix()));
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    return QString();
}

bool replaceWith(const QString& temporary, const QString& target, QString* why)
{
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(target);
    const auto giveUp = [&](const QString& text) {
        ::unlink(from.constData());
        return failed(why, text);
    };
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return giveUp(QStringLiteral("the written file is gone"));
    struct stat original
    {};
    if (::stat(to.constData(), &original) == 0) {
        // The workbook keeps its permissions (and owner, where allowed).
        if (::fchmod(fd, original.st_mode & 07777) != 0) {
            ::close(fd);
            return giveUp(QStringLiteral("cannot give the written file the workbook's permissions"));
        }
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Not ours to give away: the file stays the saving user's, as any save makes it.
        }
    } else {
        ::fchmod(
            fd, 0666 & ~[] {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                return mask;
            }());
    }
    if (::fsync(fd) != 0) {
        ::close(fd);
        return giveUp(QStringLiteral("the written file did not reach the disk"));
    }
    ::close(fd);
    if (::rename(from.constData(), to.constData()) != 0)
        return giveUp(QStringLiteral("cannot put the written file in the workbook's place"));
    // The rename itself reaches the disk with the folder.
    const int folder =
        ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

QStringList officeTemporaries(const QString& folder)
{
    QStringList paths;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("lu*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files)
        paths.append(file.absoluteFilePath());
    return paths;
}

} // namespace SafeSave
