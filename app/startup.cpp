#include "app/startup.h"

#include "app/mainwindow.h"
#include "automation/officeserver.h"
#include "common/bannerseam.h"
#include "common/dialogs.h"
#include "online/kivadviewbutton.h"

#include <QApplication>
#include <QFont>

void connectWindowSeams()
{
    OfficeServer::registerAsExcel();
    setBannerStarter([](QAbstractButton* button, const QString& cacheSubfolder) -> QObject* {
        return startBannerOn(button, cacheSubfolder);
    });
    showRunProgressAsDialog();
}

int runToolbox(int argc, char* argv[])
{
    auto application = new QApplication(argc, argv);
    // The forms are laid out for a 9-point interface font.
    QFont interfaceFont = QApplication::font();
    interfaceFont.setPointSize(9);
    QApplication::setFont(interfaceFont);
    connectWindowSeams();
    auto launcher = new MainWindow;
    launcher->show();
    const int exitCode = application->exec();
    delete launcher;
    delete application;
    return exitCode;
}
