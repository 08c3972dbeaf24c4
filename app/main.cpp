#include "app/mainwindow.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    auto application = new QApplication(argc, argv);
    // The forms are laid out for a 9-point interface font.
    QFont interfaceFont = QApplication::font();
    interfaceFont.setPointSize(9);
    QApplication::setFont(interfaceFont);
    auto launcher = new MainWindow;
    launcher->show();
    const int exitCode = application->exec();
    delete launcher;
    delete application;
    return exitCode;
}
