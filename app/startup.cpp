#include "app/startup.h"

#include "app/mainwindow.h"
#include "automation/officeentry.h"
#include "common/bannerseam.h"
#include "common/dialogs.h"
#include "common/language.h"
#include "online/kivadviewbutton.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

void connectWindowSeams()
{
    OfficeServer::registerAsExcel();
    setBannerStarter([](QAbstractButton* button, const QString& cacheSubfolder) -> QObject* {
        return startBannerOn(button, cacheSubfolder);
    });
    showRunProgressAsDialog();
}

namespace {

QPointer<QTranslator>& qtChineseTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}

void removeQtChineseTexts()
{
    if (QTranslator* previous = qtChineseTranslator()) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
}

} // namespace

bool installQtChineseTexts()
{
    removeQtChineseTexts();
    auto translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                         folder)
        && QCoreApplication::installTranslator(translator)) {
        qtChineseTranslator() = translator;
        return true;
    }
    delete translator;
    return false;
}

bool installWindowLanguage()
{
    if (installTranslations()) {
        removeQtChineseTexts(); // Qt's built-in texts are English
        return true;
    }
    installQtChineseTexts();
    return false;
}

int runToolbox(int argc, char* argv[])
{
    auto application = new QApplication(argc, argv);
    // The forms are laid out for a 9-point interface font.
    QFont interfaceFont = QApplication::font();
    interfaceFont.setPointSize(9);
    QApplication::setFont(interfaceFont);
    QApplication::setOrganizationName(QStringLiteral("DuZozodKiv"));
    QApplication::setApplicationName(QStringLiteral("KivExcel"));
    // Qt's own dialogs and buttons ("Open", "Look in", "OK") speak the toolbox's language.
    installWindowLanguage();
    connectWindowSeams();
    auto launcher = new MainWindow;
    // "Open with" from a file manager: KivExcel <workbook>.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1 && QFileInfo(arguments.at(1)).isFile())
        launcher->setWorkbookToOpen(QFileInfo(arguments.at(1)).absoluteFilePath());
    launcher->show();
    const int exitCode = application->exec();
    delete launcher;
    delete application;
    return exitCode;
}
