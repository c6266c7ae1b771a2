#include "winapp/Program.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return kronax::win32::RunWindowProgram();
}
