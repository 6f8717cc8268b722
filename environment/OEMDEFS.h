#pragma once
// Branding values: the suite's names, support contacts and the registry word,
// each with a built-in default that oeminfo.dat beside the program may replace.

#include <array>
#include <string>

namespace OEMDEFS {

// Slots in table order, which is also the order in which they are read.
enum TBrandingKey {
    OEMCOMPANY,
    OEMCOMPSHORT,
    OEMSUPPORTCOMPANY,
    OEMSUPPORTADDRESS,
    OEMSUPPORTPHONE,
    OEMSUPPORTFAX,
    OEMSUPPORTEMAIL,
    OEMSUPPORTWEB,
    OEMSYSTEM,
    OEMOFFICE,
    OEMSAFETY,
    OEMCREW,
    OEMDOC,
    OEMMAINT,
    OEMCARGO,
    OEMAUDIT,
    OEMRISK,
    OEMINCIDENT,
    OEMROOTKEY,
    OEMPURCHASE,
    OEMTASK,
    OEMDRYDOCK,
    OEMDRILLPLAN,
    OEMIMPORT,
    OEMMODULE25,  // never overridden
    OEMMODULE26,  // never overridden
};

constexpr int BrandingSlotCount = 26;
// Slots OEMCOMPANY .. OEMIMPORT can be overridden; the last two cannot.
constexpr int OverridableSlotCount = 24;

using TBrandingValues = std::array<std::wstring, BrandingSlotCount>;

// The table; holds the defaults from process start and is read-only once
// LoadBranding has run.
extern TBrandingValues BrandingValues;

// A fresh table holding every slot's built-in text.
TBrandingValues DefaultBrandingValues();

// The key name of a slot in oeminfo.dat (empty for the last two slots).
const wchar_t* BrandingKeyName(TBrandingKey slot);
// The built-in text of a slot.
const wchar_t* DefaultBrandingValue(TBrandingKey slot);

// Loads oem.ico and oeminfo.dat from the folder of the running program.
void LoadBranding();
// The same for a given program folder (ending in '\').
void LoadBrandingFrom(const std::wstring& programFolder);

// Module start-up and shutdown.
void Initialize();
void Finalize();

}  // namespace OEMDEFS
