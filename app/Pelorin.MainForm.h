#pragma once
// The main window.

#include "platform/vcl/CustomForm.h"

class TfmPelorin : public vcl::TCustomForm {
public:
    TfmPelorin();
    void DoCreate() override { FormCreate(); }
    void FormCreate();
};

extern TfmPelorin* fmPelorin;
