#pragma once
// Fixtures shared by the test programs: scratch folders, a private registry,
// and a watcher that reads and closes the program's message boxes.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary path, removed with everything
// in it when the object goes. Path() ends in '\'.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Makes a folder the process's current folder for the object's lifetime,
// so that relative paths land there, and then restores the one before.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        GetCurrentDirectoryW(MAX_PATH, saved_);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(saved_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    wchar_t saved_[MAX_PATH] = {};
};

// Creates the folder and any missing parents.
void MakeFolders(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// Writes the text as UTF-8 without byte-order mark.
void WriteText(const std::wstring& path, const std::wstring& text);
std::string ReadBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Removes a tree with the standard library, for clean-up only.
void RemoveTree(const std::wstring& path);

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process onto two
// empty scratch keys for the object's lifetime, so that each test sees a
// registry of its own, with an empty Environment key in the user's hive as
// every profile has. The scratch keys are deleted afterwards. Sandboxes do
// not nest: the predefined keys have only one override at a time.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Writes through the redirected hive, creating the key as needed.
    static void SetString(HKEY hive, const std::wstring& key, const std::wstring& name,
                          const std::wstring& value, DWORD type = REG_SZ);
    static void SetRaw(HKEY hive, const std::wstring& key, const std::wstring& name, DWORD type,
                       const void* data, DWORD size);
    static void CreateKey(HKEY hive, const std::wstring& key);

private:
    std::wstring root_;
};

// What a message box showed.
struct SeenDialog {
    std::wstring caption;
    std::wstring text;
    DWORD helpContext = 0;
    bool hasIcon = false;
    std::vector<std::wstring> buttons;
};

// Reads every dialog box that a thread of this process (or of the given
// process) shows while the watcher lives, then presses its first button.
class DialogWatcher {
public:
    explicit DialogWatcher(DWORD processId = GetCurrentProcessId());
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    std::vector<SeenDialog> Seen();
    // Waits until count dialogs have been seen or the timeout runs out.
    bool WaitFor(size_t count, DWORD timeoutMs);

private:
    void Watch();
    DWORD processId_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_;
    std::thread thread_;
};

// Visible top-level windows of a process, of one window class (or of any
// class when className is empty).
std::vector<HWND> TopLevelWindowsOf(DWORD processId, const std::wstring& className);
std::wstring WindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);

// Reads a dialog box's caption, texts, help context and buttons.
SeenDialog DescribeDialog(HWND dialog);

// The Windows path of a file of the build tree, from its Unix path.
std::wstring WindowsPathOfUnixPath(const std::string& unixPath);

}  // namespace testsupport
