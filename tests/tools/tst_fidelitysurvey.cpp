// The real-world workbooks of the shared corpus through the office: a save over each one either
// keeps every feature it had or is refused with the file left byte for byte as it was, and the
// survey prints, feature by feature, how often a plain save kept it.
#include "fileformat/featureinventory.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/resultsave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {
struct Tally
{
    int had = 0;  // workbooks with the feature
    int kept = 0; // of those, kept by a plain save
};

} // namespace

class FidelitySurveyTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestEnvironment(); }

    void everySaveKeepsOrIsRefused()
    {
        const QStringList books = QDir(corpusFolder())
                                      .entryList({QStringLiteral("*.xlsx"), QStringLiteral("*.xlsm"),
                                                  QStringLiteral("*.xls"), QStringLiteral("*.ods")},
                                                 QDir::Files, QDir::Name);
        if (books.isEmpty())
            QSKIP("the shared corpus of real-world workbooks is not here");
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QMap<QString, Tally> tallies;
        int opened = 0;
        int refused = 0;
        QStringList notSaved;
        for (const QString& name : books) {
            const QString copy = folder.filePath(name);
            QFile::remove(copy);
            QVERIFY(QFile::copy(QDir(corpusFolder()).filePath(name), copy));
            QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            const QByteArray before = fileBytes(copy);
            const FeatureInventory::Inventory source = FeatureInventory::of(copy);
            ExcelOpKiv book;
            if (!book.openWorkBook(copy) || book.isReadOnly())
                continue;
            ++opened;
            book.setKeepFeatures(true);
            const bool saved = book.saveWorkbook();
            const QStringList lost = book.featuresLostBySave();
            book.closeWorkbook();
            if (saved) {
                // A save that went ahead lost only what is no reason to stop one, and said so.
                QCOMPARE(FeatureInventory::lost(source, FeatureInventory::of(copy)), lost);
                QVERIFY2(std::none_of(lost.cbegin(), lost.cend(), FeatureInventory::stopsASave),
                         qPrintable(name + QStringLiteral(": ") + lost.join(',')));
            } else if (!lost.isEmpty()) {
                ++refused;
                QVERIFY2(fileBytes(copy) == before, qPrintable(name));
            } else {
                notSaved << name;
                QVERIFY2(fileBytes(copy) == before, qPrintable(name));
                continue;
            }
            for (auto count = source.counts.cbegin(); count != source.counts.cend(); ++count) {
                if (count.value() == 0)
                    continue;
                ++tallies[count.key()].had;
                if (!lost.contains(count.key()))
                    ++tallies[count.key()].kept;
            }
            QFile::remove(copy);
        }
        qInfo("%d of %d workbooks opened; %d saves refused for what they would lose; not saved: %s", opened,
              int(books.size()), refused, qPrintable(notSaved.join(QStringLiteral(", "))));
        qInfo("| feature | workbooks with it | kept by a plain save |");
        for (const QString& key : FeatureInventory::keys()) {
            const Tally tally = tallies.value(key);
            if (tally.had > 0)
                qInfo("| %s | %d | %d |", qPrintable(ResultSaver::plainNames({key}).value(0)), tally.had, tally.kept);
        }
        QVERIFY(opened > 0);
    }
};

QTEST_MAIN(FidelitySurveyTest)
#include "tst_fidelitysurvey.moc"
