#include <QApplication>

#include "app/TarvixSettingApp.h"

#ifdef TARVIX_AUTOMATION
#include "tests/e2e/AutomationHook.h"
#endif

int main(int argc, char** argv)
{
    // The program takes no arguments, not even the toolkit's own ("-platform",
    // "-reverse", ...): it starts the same way whatever follows its name.
    int toolkitArgc = argc > 0 ? 1 : 0;
    QApplication application(toolkitArgc, argv);
    CTarvixSettingApp theApp;
    if (!theApp.InitInstance())
        return 0;
#ifdef TARVIX_AUTOMATION
    // Test builds only: the whole-program test drives the window through stdin.
    CAutomationHook hook;
#endif
    return application.exec();
}
