// A second process that holds something the program needs: the clipboard,
// or a file that the program wants to delete.
//
//   hostile_holder clipboard - <ready> <release> <maxMs>
//   hostile_holder file <path> <ready> <release> <maxMs>
//   hostile_holder file-delete-sharing <path> <ready> <release> <maxMs>
//
// It sets the named event <ready> once it holds, and lets go when the named
// event <release> is set or maxMs have passed, whichever comes first. A file
// is held open for reading; "file" lets others read and write it but not
// delete it, "file-delete-sharing" lets them delete it too, so that the
// deletion is accepted but the file stays until the handle closes.

#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) return 2;
    const std::wstring kind = argv[1];
    const DWORD maxMs = static_cast<DWORD>(std::wcstoul(argv[5], nullptr, 10));
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
    if (!ready || !release) return 3;

    HANDLE file = INVALID_HANDLE_VALUE;
    if (kind == L"clipboard") {
        // With a window of its own: some systems let a second opener in
        // when both ask without a window.
        HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
        if (!window || !OpenClipboard(window)) return 4;
    } else {
        DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        if (kind == L"file-delete-sharing") share |= FILE_SHARE_DELETE;
        file = CreateFileW(argv[2], GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 5;
    }
    SetEvent(ready);
    WaitForSingleObject(release, maxMs);
    if (kind == L"clipboard") CloseClipboard();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return 0;
}
