#include "app/Pelorin.h"

#include <windows.h>

#include <memory>

#include "app/Pelorin.MainForm.h"
#include "app/mini.dialogs.h"
#include "environment/OEMDEFS.h"
#include "environment/toolbookprocs.h"
#include "look/VistaReady.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace {

constexpr wchar_t ApplicationTitle[] = L"Kalvora Pelorin";

// Runs a module's shutdown when the scope ends, however it ends.
class FinalizeOnExit {
public:
    explicit FinalizeOnExit(void (*finalize)()) : finalize_(finalize) {}
    ~FinalizeOnExit() { finalize_(); }
    FinalizeOnExit(const FinalizeOnExit&) = delete;
    FinalizeOnExit& operator=(const FinalizeOnExit&) = delete;

private:
    void (*finalize_)();
};

}  // namespace

std::wstring LocationMessage() {
    // ClientFolder ends in '\', so the quoted part is the bin folder itself.
    return L"This tool must be copied to folder \"" + toolbookprocs::ClientFolder + L"bin\".";
}

bool IsInClientBinFolderFor(const std::wstring& programPath) {
    using toolbookprocs::UpperCaseText;
    const std::wstring expected =
        toolbookprocs::ClientFolder + L"bin\\" + rtl::ExtractFileName(programPath);
    return UpperCaseText(expected) == UpperCaseText(programPath);
}

bool IsInClientBinFolder() { return IsInClientBinFolderFor(vcl::Application->ExeName()); }

void RunMainRoutine() {
    vcl::Application->Initialize();
    vcl::Application->MainFormOnTaskBar = true;
    vcl::Application->SetTitle(ApplicationTitle);
    if (!IsInClientBinFolder()) {
        ShowErrorBox(LocationMessage(), 0);
        return;
    }
    fmPelorin = vcl::Application->CreateForm(std::make_unique<TfmPelorin>());
    vcl::Application->Run();
    vcl::Application->ReleaseMainForm();
    fmPelorin = nullptr;
}

int RunPelorin() {
    // The client library is looked for beside the program, never in the
    // current folder.
    SetDllDirectoryW(L"");
    OEMDEFS::Initialize();
    FinalizeOnExit brandingDone(&OEMDEFS::Finalize);
    // Armed before the start-up so that a start-up that fails half-way
    // still removes what it made.
    FinalizeOnExit environmentDone(&toolbookprocs::Finalize);
    toolbookprocs::Initialize();
    VistaReady::Initialize();
    FinalizeOnExit lookDone(&VistaReady::Finalize);
    RunMainRoutine();
    return 0;
}
