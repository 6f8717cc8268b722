#include "environment/OEMDEFS.h"

#include <windows.h>

#include <vector>

#include "platform/rtl/FileSystem.h"
#include "platform/vcl/Forms.h"

namespace OEMDEFS {

namespace {

struct SlotInfo {
    const wchar_t* key;
    const wchar_t* defaultText;
};

// The program shows none of these texts except through the folder defaults
// and the registry word, so the rest only need to be neutral.
constexpr SlotInfo Slots[BrandingSlotCount] = {
    {L"OEMCOMPANY", L"Kalvora Software"},
    {L"OEMCOMPSHORT", L"Kalvora"},
    {L"OEMSUPPORTCOMPANY", L"Kalvora Support"},
    {L"OEMSUPPORTADDRESS", L"Kalvora Support\r\nPO Box 1\r\n0000 Harbour Town"},
    {L"OEMSUPPORTPHONE", L"+00 000 000000"},
    {L"OEMSUPPORTFAX", L"+00 000 000001"},
    {L"OEMSUPPORTEMAIL", L"support@kalvora.invalid"},
    {L"OEMSUPPORTWEB", L"www.kalvora.invalid"},
    {L"OEMSYSTEM", L"Kalvora Suite"},
    {L"OEMOFFICE", L"Office"},
    {L"OEMSAFETY", L"Safety"},
    {L"OEMCREW", L"Crew"},
    {L"OEMDOC", L"Documents"},
    {L"OEMMAINT", L"Maintenance"},
    {L"OEMCARGO", L"Cargo"},
    {L"OEMAUDIT", L"Audit"},
    {L"OEMRISK", L"Risk"},
    {L"OEMINCIDENT", L"Incidents"},
    {L"OEMROOTKEY", L"Kalvora"},
    {L"OEMPURCHASE", L"Purchase"},
    {L"OEMTASK", L"Tasks"},
    {L"OEMDRYDOCK", L"Dry Dock"},
    {L"OEMDRILLPLAN", L"Drill Planner"},
    {L"OEMIMPORT", L"Import"},
    {L"", L"Reports"},
    {L"", L"Tools"},
};

TBrandingValues MakeDefaults() {
    TBrandingValues values;
    for (int slot = 0; slot < BrandingSlotCount; ++slot) values[slot] = Slots[slot].defaultText;
    return values;
}

// GetPrivateProfileStringW with the buffer size the branding file has always
// been read with: longer values are cut to 2047 characters.
constexpr DWORD BrandingBufferSize = 2048;

}  // namespace

TBrandingValues BrandingValues = MakeDefaults();

TBrandingValues DefaultBrandingValues() { return MakeDefaults(); }

const wchar_t* BrandingKeyName(TBrandingKey slot) { return Slots[slot].key; }
const wchar_t* DefaultBrandingValue(TBrandingKey slot) { return Slots[slot].defaultText; }

void LoadBrandingFrom(const std::wstring& programFolder) {
    const std::wstring iconPath = programFolder + L"oem.ico";
    if (rtl::FileExists(iconPath)) {
        // A file that is not an icon leaves the built-in icon in place.
        vcl::Application->LoadIconFromFile(iconPath);
    }

    const std::wstring textPath = programFolder + L"oeminfo.dat";
    if (!rtl::FileExists(textPath)) return;
    std::vector<wchar_t> buffer(BrandingBufferSize);
    for (int slot = 0; slot < OverridableSlotCount; ++slot) {
        // The slot's current text is the default, so a missing key keeps it
        // and a key with an empty value empties it.
        const std::wstring current = BrandingValues[slot];
        const DWORD length =
            GetPrivateProfileStringW(L"OEM", Slots[slot].key, current.c_str(), buffer.data(),
                                     BrandingBufferSize, textPath.c_str());
        BrandingValues[slot].assign(buffer.data(), length);
    }
}

void LoadBranding() { LoadBrandingFrom(rtl::ExtractFilePath(vcl::Application->ExeName())); }

void Initialize() { LoadBranding(); }

void Finalize() {
    for (auto& value : BrandingValues) {
        value.clear();
        value.shrink_to_fit();
    }
}

}  // namespace OEMDEFS
