#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    auto application = new QApplication(argc, argv);
    auto launcher = new MainWindow;
    launcher->show();
    const int exitCode = application->exec();
    delete launcher;
    delete application;
    return exitCode;
}
