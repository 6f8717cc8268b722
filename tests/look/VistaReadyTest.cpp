// Font adaptation, tree-view theme and bar locking, under two recorded icon
// fonts: "Segoe UI" 9 (heading text keeps its look) and "Tahoma" 8 (heading
// labels turn bold in the second heading colour).

#include <gtest/gtest.h>
#include <windows.h>
#include <uxtheme.h>

#include <memory>
#include <string>
#include <vector>

#include "look/VistaReady.h"
#include "platform/dxbars/dxBar.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

using namespace vcl;
using VistaReady::HeadingColor1;
using VistaReady::HeadingColor2;

const TFontStyles Bold{TFontStyle::fsBold};
const TFontStyles BoldItalic{TFontStyle::fsBold, TFontStyle::fsItalic};
const TFontStyles Italic{TFontStyle::fsItalic};

struct IconFont {
    const wchar_t* name;
    int size;
};

void PrintTo(const IconFont& font, std::ostream* os) {
    *os << testing::PrintToString(std::wstring(font.name)) << " " << font.size;
}

// Every call of the theme service during a walk, passed on to the real one.
struct ThemeCall {
    HWND hwnd;
    std::wstring subAppName;
    bool subIdListNull;
};
std::vector<ThemeCall> themeCalls;
SetWindowThemeProc realSetWindowTheme = nullptr;

HRESULT WINAPI RecordingSetWindowTheme(HWND hwnd, LPCWSTR subAppName, LPCWSTR subIdList) {
    themeCalls.push_back({hwnd, subAppName ? subAppName : L"<null>", subIdList == nullptr});
    return realSetWindowTheme ? realSetWindowTheme(hwnd, subAppName, subIdList) : E_NOTIMPL;
}

void Design(TControl* control, const wchar_t* face, int points, TFontStyles style, TColor color) {
    control->Font().SetName(face);
    control->Font().SetSize(points);
    control->Font().SetStyle(style);
    control->Font().SetColor(color);
}

template <class Control>
Control* Add(TWinControl* parent, TComponent* owner) {
    auto* control = new Control(owner);
    control->SetParent(parent);
    return control;
}

struct ExpectedFont {
    std::wstring face;
    int size;
    TFontStyles style;
    TColor color;
};

void ExpectFont(const TControl* control, const ExpectedFont& expected, const std::string& what) {
    const TFont& font = control->Font();
    EXPECT_EQ(expected.face, font.Name()) << what << ": face";
    EXPECT_EQ(expected.size, font.Size()) << what << ": size";
    EXPECT_EQ(expected.style.Bits(), font.Style().Bits()) << what << ": style bits";
    EXPECT_EQ(expected.color, font.Color()) << what << ": colour";
}

class FontAdaptation : public testing::TestWithParam<IconFont> {
protected:
    void SetUp() override {
        VistaReady::RecordIconFont(GetParam().name, GetParam().size);
        themeCalls.clear();
        realSetWindowTheme = ReplaceSetWindowTheme(&RecordingSetWindowTheme);
        form = std::make_unique<TForm>();
        Design(form.get(), L"Tahoma", 8, {}, clWindowText);
    }
    void TearDown() override {
        form.reset();
        ReplaceSetWindowTheme(realSetWindowTheme);
        VistaReady::Finalize();
    }
    std::wstring Icon() const { return GetParam().name; }
    int IconSize() const { return GetParam().size; }
    bool IconIsSegoe() const { return Icon() == L"Segoe UI"; }

    std::unique_ptr<TForm> form;
};

TEST_P(FontAdaptation, Labels) {
    auto* heading1 = Add<TLabel>(form.get(), form.get());
    Design(heading1, L"Tahoma", 12, BoldItalic, HeadingColor1);
    auto* heading2 = Add<TLabel>(form.get(), form.get());
    Design(heading2, L"Arial", 14, TFontStyles{TFontStyle::fsItalic, TFontStyle::fsUnderline},
           HeadingColor2);
    auto* plain = Add<TLabel>(form.get(), form.get());
    Design(plain, L"Arial", 12, Italic, clWindowText);
    auto* nearlyHeading = Add<TLabel>(form.get(), form.get());
    Design(nearlyHeading, L"Arial", 12, {}, HeadingColor1 + 1);
    auto* inherits = Add<TLabel>(form.get(), form.get());
    ASSERT_TRUE(inherits->ParentFont());
    // A heading-coloured panel keeps its size; its label takes that font.
    auto* headingPanel = Add<TPanel>(form.get(), form.get());
    Design(headingPanel, L"Arial", 14, {}, HeadingColor1);
    auto* inheritsHeading = Add<TLabel>(headingPanel, form.get());
    ASSERT_TRUE(inheritsHeading->ParentFont());

    VistaReady::ApplySystemFonts(form.get());

    if (IconIsSegoe()) {
        ExpectFont(heading1, {Icon(), 12, BoldItalic, HeadingColor1},
                   "heading label 1 under Segoe UI");
        ExpectFont(heading2, {Icon(), 14, heading2->Font().Style(), HeadingColor2},
                   "heading label 2");
        EXPECT_EQ((TFontStyles{TFontStyle::fsItalic, TFontStyle::fsUnderline}),
                  heading2->Font().Style());
    } else {
        ExpectFont(heading1, {Icon(), 12, Bold, HeadingColor2},
                   "heading label 1, bold alone in colour 2");
        ExpectFont(heading2, {Icon(), 14, Bold, HeadingColor2}, "heading label 2, bold alone");
    }
    ExpectFont(plain, {Icon(), IconSize(), Italic, clWindowText}, "window-text label");
    ExpectFont(nearlyHeading, {Icon(), IconSize(), {}, HeadingColor1 + 1},
               "colour next to a heading colour");
    ExpectFont(inherits, {Icon(), IconSize(), {}, clWindowText}, "label taking its parent's font");
    EXPECT_FALSE(inherits->ParentFont()) << "the label got a font of its own, not its parent's";
    ExpectFont(form.get(), {Icon(), IconSize(), {}, clWindowText}, "the form");
    ExpectFont(headingPanel, {Icon(), 14, {}, HeadingColor1}, "heading-coloured panel");
    if (IconIsSegoe()) {
        ExpectFont(inheritsHeading, {Icon(), 14, {}, HeadingColor1}, "label under a heading panel");
    } else {
        ExpectFont(inheritsHeading, {Icon(), 14, Bold, HeadingColor2},
                   "label under a heading panel");
    }
}

TEST_P(FontAdaptation, WindowedControls) {
    auto* panel = Add<TPanel>(form.get(), form.get());  // takes the form's font
    auto* inPanel = Add<TLabel>(panel, form.get());
    Design(inPanel, L"Arial", 12, {}, clWindowText);
    auto* memo = Add<TMemo>(form.get(), form.get());  // takes the form's font
    auto* rich = Add<TRichEdit>(panel, form.get());
    Design(rich, L"Arial", 14, {}, clWindowText);
    auto* headingButton = Add<TButton>(form.get(), form.get());
    Design(headingButton, L"Arial", 12, Italic, HeadingColor1);
    auto* ownButton = Add<TButton>(panel, form.get());
    Design(ownButton, L"Arial", 12, {}, clWindowText);

    VistaReady::ApplySystemFonts(form.get());

    EXPECT_TRUE(panel->ParentFont())
        << "a windowed control that takes its parent's font is left alone";
    ExpectFont(panel, {Icon(), IconSize(), {}, clWindowText}, "panel, following the form");
    ExpectFont(inPanel, {Icon(), IconSize(), {}, clWindowText}, "label inside that panel");
    EXPECT_FALSE(memo->ParentFont()) << "a memo is changed whatever its ParentFont";
    ExpectFont(memo, {Icon(), IconSize(), {}, clWindowText}, "memo");
    ExpectFont(rich, {Icon(), IconSize(), {}, clWindowText}, "rich edit, as a memo");
    ExpectFont(headingButton, {Icon(), 12, Italic, HeadingColor1},
               "heading-coloured button, never bold");
    ExpectFont(ownButton, {Icon(), IconSize(), {}, clWindowText}, "button with its own font");

    // The panel still follows its parent; the memo has a font of its own now.
    form->Font().SetSize(20);
    EXPECT_EQ(20, panel->Font().Size());
    EXPECT_EQ(IconSize(), memo->Font().Size());
}

TEST_P(FontAdaptation, FormInsidePanelWithOwnedBars) {
    auto* panel = Add<TPanel>(form.get(), form.get());
    auto* inner = Add<TForm>(panel, form.get());
    inner->SetParentFont(true);
    inner->SetVisible(true);
    auto* innerLabel = Add<TLabel>(inner, inner);
    Design(innerLabel, L"Arial", 14, {}, clWindowText);
    auto* innerBar = new dxbars::TdxBar(inner);
    auto* outerBar = new dxbars::TdxBar(form.get());
    // Bars owned by something that is not a form are not reached.
    auto* dataModule = new TComponent(form.get());
    auto* strayBar = new dxbars::TdxBar(dataModule);

    VistaReady::ApplySystemFonts(form.get());

    EXPECT_FALSE(inner->ParentFont()) << "a form's own font is adapted whatever its ParentFont";
    ExpectFont(inner, {Icon(), IconSize(), {}, clWindowText}, "inner form");
    ExpectFont(innerLabel, {Icon(), IconSize(), {}, clWindowText}, "inner form's label");
    EXPECT_FALSE(innerBar->AllowClose) << "the inner form's bar is locked";
    EXPECT_EQ(31u, innerBar->NotDocking.Bits());
    EXPECT_FALSE(outerBar->AllowClose);
    EXPECT_TRUE(strayBar->AllowClose) << "a bar owned by a non-form stays as it is";
    EXPECT_TRUE(strayBar->NotDocking.Empty());
}

// Not a bar, though it has a setting of the same name.
class ToolbarLike : public TComponent {
public:
    using TComponent::TComponent;
    bool AllowClose = true;
};

TEST_P(FontAdaptation, BarManagerAndBars) {
    auto* manager = new dxbars::TdxBarManager(form.get());
    auto* bar1 = new dxbars::TdxBar(form.get());
    auto* other = new ToolbarLike(form.get());
    auto* bar2 = new dxbars::TdxBar(form.get());

    VistaReady::ApplySystemFonts(form.get());

    for (dxbars::TdxBar* bar : {bar1, bar2}) {
        EXPECT_FALSE(bar->AllowClose);
        EXPECT_FALSE(bar->AllowCustomizing);
        EXPECT_FALSE(bar->AllowQuickCustomizing);
        EXPECT_FALSE(bar->AllowReset);
        EXPECT_FALSE(bar->ShowMark);
        EXPECT_FALSE(bar->UseRecentItems);
        EXPECT_EQ(31u, bar->NotDocking.Bits()) << "all five docking styles";
    }
    EXPECT_FALSE(manager->CanCustomize);
    EXPECT_EQ(31u, manager->NotDocking.Bits());
    EXPECT_FALSE(manager->AllowReset);
    EXPECT_FALSE(manager->MenusShowRecentItemsFirst);
    EXPECT_FALSE(manager->Scaled);
    EXPECT_FALSE(manager->ShowFullMenusAfterDelay);
    EXPECT_TRUE(other->AllowClose) << "other components are not touched";
}

TEST_P(FontAdaptation, FormWithoutChildren) {
    Design(form.get(), L"Tahoma", 8, Italic, 0x00123456);
    VistaReady::ApplySystemFonts(form.get());
    ExpectFont(form.get(), {Icon(), IconSize(), Italic, 0x00123456}, "the lone form");
    EXPECT_EQ(0, form->ControlCount());
}

TEST_P(FontAdaptation, SecondWalkChangesNothing) {
    auto* heading = Add<TLabel>(form.get(), form.get());
    Design(heading, L"Tahoma", 12, BoldItalic, HeadingColor1);
    auto* plain = Add<TLabel>(form.get(), form.get());
    auto* panel = Add<TPanel>(form.get(), form.get());
    auto* button = Add<TButton>(panel, form.get());
    Design(button, L"Arial", 12, {}, HeadingColor2);

    VistaReady::ApplySystemFonts(form.get());
    const std::vector<TControl*> controls{form.get(), heading, plain, panel, button};
    std::vector<TFont> once;
    std::vector<bool> parentFontOnce;
    for (TControl* c : controls) {
        once.push_back(c->Font());
        parentFontOnce.push_back(c->ParentFont());
    }
    VistaReady::ApplySystemFonts(form.get());
    for (size_t i = 0; i < controls.size(); ++i) {
        ExpectFont(controls[i], {once[i].Name(), once[i].Size(), once[i].Style(), once[i].Color()},
                   "control " + std::to_string(i) + " after the second walk");
        EXPECT_EQ(parentFontOnce[i], controls[i]->ParentFont()) << "control " << i;
    }
}

TEST_P(FontAdaptation, TreeViewsGetTheExplorerThemeInWalkOrder) {
    auto* panel = Add<TPanel>(form.get(), form.get());
    auto* first = Add<TTreeView>(panel, form.get());
    auto* second = Add<TTreeView>(panel, form.get());
    auto* third = Add<TTreeView>(form.get(), form.get());
    ASSERT_TRUE(first->ParentFont());
    ASSERT_FALSE(first->HandleAllocated());

    VistaReady::ApplySystemFonts(form.get());

    ASSERT_EQ(3u, themeCalls.size());
    const TCustomTreeView* order[] = {first, second, third};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(order[i]->HandleAllocated()) << "tree view " << i << " got its window";
        EXPECT_EQ(const_cast<TCustomTreeView*>(order[i])->Handle(), themeCalls[i].hwnd)
            << "call " << i << ": depth-first, by index";
        EXPECT_EQ(L"explorer", themeCalls[i].subAppName);
        EXPECT_TRUE(themeCalls[i].subIdListNull);
    }
    EXPECT_TRUE(first->ParentFont()) << "the theme does not depend on the font step";
    EXPECT_EQ(Icon(), first->Font().Name());
    EXPECT_EQ(form->Font().Height(), first->Font().Height()) << "the tree view follows the form";
    EXPECT_EQ(form->Font().Height(), vcltest::FontOfWindow(first->Handle()).height);
}

// A tree view whose window cannot be made: its class does not exist.
class BrokenTreeView : public TCustomTreeView {
public:
    using TCustomTreeView::TCustomTreeView;

protected:
    void CreateParams(TCreateParams& params) override {
        TCustomTreeView::CreateParams(params);
        params.className = L"NoSuchWindowClass";
    }
};

TEST_P(FontAdaptation, ErrorEndsTheWalkAtThatControl) {
    auto* before = Add<TLabel>(form.get(), form.get());
    Design(before, L"Arial", 12, {}, clWindowText);
    Add<BrokenTreeView>(form.get(), form.get());
    auto* after = Add<TLabel>(form.get(), form.get());
    Design(after, L"Arial", 12, {}, clWindowText);

    EXPECT_THROW(VistaReady::ApplySystemFonts(form.get()), rtl::Exception);
    EXPECT_EQ(Icon(), before->Font().Name()) << "controls visited before keep their changes";
    EXPECT_EQ(L"Arial", after->Font().Name()) << "the walk ended at the failing control";
    EXPECT_TRUE(themeCalls.empty());
}

INSTANTIATE_TEST_SUITE_P(IconFonts, FontAdaptation,
                         testing::Values(IconFont{L"Segoe UI", 9}, IconFont{L"Tahoma", 8}),
                         [](const testing::TestParamInfo<IconFont>& info) {
                             return info.param.size == 9 ? std::string("SegoeUI9")
                                                         : std::string("Tahoma8");
                         });

// The real call on a real tree view. Wine's built-in visual style has no
// Explorer variant of the tree view, so the sub-application name cannot be
// seen from outside; what can be seen is that the window still has a theme
// after the call. The call's arguments are checked by the recording tests,
// which pass every call on to the real service.
TEST(TreeViewTheme, RealCallLeavesTheWindowThemed) {
    VistaReady::RecordIconFont(L"Tahoma", 8);
    auto form = std::make_unique<TForm>();
    auto* tree = Add<TTreeView>(form.get(), form.get());
    ASSERT_NE(nullptr, ThemeSetWindowTheme()) << "uxtheme.dll binds here";
    VistaReady::ApplySystemFonts(form.get());
    if (!IsThemeActive())
        GTEST_SKIP() << "no visual style is active: GetWindowTheme has nothing to report";
    EXPECT_NE(nullptr, GetWindowTheme(tree->Handle()));
}

TEST(TreeViewTheme, NoThemeServiceIsSkippedQuietly) {
    VistaReady::RecordIconFont(L"Tahoma", 8);
    const SetWindowThemeProc saved = ReplaceSetWindowTheme(nullptr);
    auto form = std::make_unique<TForm>();
    auto* tree = Add<TTreeView>(form.get(), form.get());
    EXPECT_NO_THROW(VistaReady::ApplySystemFonts(form.get()));
    EXPECT_TRUE(tree->HandleAllocated());
    EXPECT_EQ(L"Tahoma", tree->Font().Name());
    ReplaceSetWindowTheme(saved);
}

// A form laid out as the main window: Tahoma at -11 pixels (8 points at 96
// pixels per inch), a top panel with two buttons, a memo below. After the
// walk and the memo's own step the real windows carry the fonts. As the
// main window is, the form has its window (at the monitor's resolution)
// before the walk.
TEST_P(FontAdaptation, MainWindowLikeFormOnRealWindows) {
    form->Font().SetName(L"Tahoma");
    form->Font().SetHeight(-11);
    form->ClientWidth = 711;
    form->ClientHeight = 397;
    auto* panel = Add<TPanel>(form.get(), form.get());
    panel->SetAlign(TAlign::alTop);
    panel->SetHeight(41);
    panel->SetBevelOuter(TPanelBevel::bvNone);
    auto* start = Add<TButton>(panel, form.get());
    start->SetCaption(L"Start");
    start->SetBounds(8, 8, 75, 25);
    auto* exit = Add<TButton>(panel, form.get());
    exit->SetCaption(L"Exit");
    exit->SetBounds(84, 8, 75, 25);
    auto* log = Add<TMemo>(form.get(), form.get());
    log->SetAlign(TAlign::alClient);
    log->SetReadOnly(true);
    ASSERT_EQ(8, form->Font().Size());
    form->Handle();  // windows first: the fonts must reach existing windows
    ASSERT_EQ(L"Tahoma", vcltest::FontOfWindow(start->Handle()).face);
    const int dpi = form->PixelsPerInch();

    VistaReady::ApplySystemFonts(form.get());
    log->Font().SetName(L"Consolas");
    log->Font().SetSize(log->Font().Size() + 1);

    const LONG iconHeight = -MulDiv(IconSize(), dpi, 72);
    for (TWinControl* c : std::vector<TWinControl*>{form.get(), panel, start, exit}) {
        const auto seen = vcltest::FontOfWindow(c->Handle());
        ASSERT_TRUE(seen.found) << "WM_GETFONT gave no font";
        EXPECT_EQ(Icon(), seen.face);
        EXPECT_EQ(iconHeight, seen.height);
        EXPECT_EQ(FW_NORMAL, seen.weight);
    }
    EXPECT_TRUE(panel->ParentFont());
    EXPECT_TRUE(start->ParentFont());
    const auto seen = vcltest::FontOfWindow(log->Handle());
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(L"Consolas", seen.face);
    EXPECT_EQ(-MulDiv(IconSize() + 1, dpi, 72), seen.height);
    EXPECT_EQ(IconSize() + 1, log->Font().Size());
}

}  // namespace
