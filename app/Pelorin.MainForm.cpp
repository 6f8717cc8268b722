#include "app/Pelorin.MainForm.h"

#include "platform/vcl/Forms.h"

TfmPelorin* fmPelorin = nullptr;

TfmPelorin::TfmPelorin() {
    ClientWidth = 711;
    ClientHeight = 397;
    CenterOnScreen = true;
}

void TfmPelorin::FormCreate() { SetCaption(vcl::Application->Title()); }
