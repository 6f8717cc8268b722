#pragma once
// The program's start sequence and main routine.

#include <string>

// The location message shown when the program is not in ClientFolder + "bin".
std::wstring LocationMessage();

// True when the running program file is ClientFolder + "bin\" + its own name.
bool IsInClientBinFolder();
// The same test for a given program path.
bool IsInClientBinFolderFor(const std::wstring& programPath);

// Sets the title, runs the location guard, and either shows the error box or
// runs the main window until it closes.
void RunMainRoutine();

// The whole program: module start-up, main routine, module shutdown in
// reverse order on every path. Returns the process exit code.
int RunPelorin();
