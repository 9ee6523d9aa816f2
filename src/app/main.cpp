// The program's entry point: start up, run the loop, shut down. The command line is
// never read.
#include "app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (!initialize(instance)) return 0;
    runMainLoop();
    shutdown();
    return 0;
}
