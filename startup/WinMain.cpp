// The process's entry point hands control to the forms runtime, which calls
// the program's Main.
#include "AppModul.h"
#include "Application.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return forms::Run(AppModul::Main);
}
