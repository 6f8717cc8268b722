#pragma once
// The application object: title, icon, main form, message loop.

#include <windows.h>

#include <memory>
#include <string>

namespace vcl {

class TCustomForm;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Registers the common controls; safe to call more than once.
    void Initialize();

    // With this set, the main form carries the task-bar button itself.
    bool MainFormOnTaskBar = false;

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title) { title_ = title; }

    // The running program's full path as the system reports it.
    std::wstring ExeName() const;

    // The icon windows show when they have none of their own: the program's
    // built-in icon until LoadIconFromFile replaces it.
    HICON Icon() const { return icon_; }
    // Replaces the application icon with the icon file at path. Returns false
    // and keeps the current icon when the file cannot be read as an icon.
    bool LoadIconFromFile(const std::wstring& path);

    // Takes ownership of the form and makes it the main form if there is none.
    template <class Form>
    Form* CreateForm(std::unique_ptr<Form> form) {
        Form* raw = form.get();
        AdoptForm(std::move(form));
        return raw;
    }

    TCustomForm* MainForm() const { return mainForm_.get(); }

    // Shows the main form and dispatches messages until it is destroyed.
    void Run();
    // Dispatches every message that is pending for this thread, then returns.
    void ProcessMessages();
    // Destroys the main form, as the end of the program does.
    void ReleaseMainForm();

private:
    void AdoptForm(std::unique_ptr<TCustomForm> form);
    bool DispatchOne(const MSG& msg);

    std::wstring title_;
    HICON builtInIcon_ = nullptr;
    HICON icon_ = nullptr;
    HICON loadedIcon_ = nullptr;
    std::unique_ptr<TCustomForm> mainForm_;
};

// The process's application object.
extern TApplication* Application;

// Resource id of the program's built-in icon.
constexpr int MainIconResourceId = 1;

}  // namespace vcl
