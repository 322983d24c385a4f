#include <QApplication>

#include "app/TarvixSettingApp.h"

#ifdef TARVIX_AUTOMATION
#include "tests/e2e/AutomationHook.h"
#endif

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CTarvixSettingApp theApp;
    if (!theApp.InitInstance())
        return 0;
#ifdef TARVIX_AUTOMATION
    // Test builds only: the whole-program test drives the window through stdin.
    CAutomationHook hook;
#endif
    return application.exec();
}
