/* A client library of the other architecture: a 32-bit DLL that exports the
   entry points the program looks for. A 64-bit program cannot load it, so
   the only fault it shows is its architecture. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) unsigned long __stdcall AdsConnect60(const char* path, unsigned short types,
                                                           const char* user, const char* password,
                                                           unsigned long options, unsigned long* handle) {
    (void)path; (void)types; (void)user; (void)password; (void)options;
    if (handle) *handle = 1;
    return 0;
}

__declspec(dllexport) unsigned long __stdcall AdsGetLastError(unsigned long* code, char* text,
                                                              unsigned short* length) {
    if (code) *code = 0;
    if (text && length && *length > 0) text[0] = '\0';
    if (length) *length = 0;
    return 0;
}
