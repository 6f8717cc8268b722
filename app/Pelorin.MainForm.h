#pragma once
// The main window: the log, Start and Exit, and the check run.

#include <string>

#include "platform/ads/AdsData.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

class TfmPelorin : public vcl::TCustomForm {
public:
    // Builds the stored layout; FormCreate runs when the application adopts it.
    TfmPelorin();

    vcl::TPanel* Panel1;
    vcl::TButton* cmStart;
    vcl::TButton* cmExit;
    vcl::TMemo* mLog;
    ads::TAdsConnection con;
    ads::TAdsTable tb;

    void DoCreate() override { FormCreate(); }
    void FormCreate();
    // The check run: every step logs a heading and a result line.
    void cmStartClick();
    void cmExitClick();
    void AddLog(const std::wstring& line);

private:
    void CheckTestFiles();
    bool CheckDictionary(const std::wstring& dictionary);
    void ConnectDatabase(const std::wstring& dictionary);
    void TryConnect();
    void CheckTable();
    void WriteTestRecord();
    void BrowseAndDeleteTestRecord();
    void Finish();
    void CopyLogToClipboard();
};

extern TfmPelorin* fmPelorin;

// The connect path with ":6262" inserted after the first occurrence of its
// third backslash-separated field (the server of a UNC path); the path itself
// when that field is empty. Reads the current default delimiter as the
// check run has set it.
std::wstring AlternativeConnectPath(const std::wstring& path);
