#include <QApplication>

#include "app/TarvixSettingApp.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CTarvixSettingApp theApp;
    if (!theApp.InitInstance())
        return 0;
    return application.exec();
}
