#include <windows.h>

#include "app/Pelorin.h"
#include "app/mini.dialogs.h"
#include "platform/rtl/SysUtils.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return RunPelorin();
    } catch (const rtl::Exception& error) {
        // The modules have shut down by now; say what stopped the program
        // instead of leaving it to the run-time's abort.
        ShowErrorBox(L"Kalvora Pelorin could not start: " + error.Message(), 0);
        return 1;
    }
}
