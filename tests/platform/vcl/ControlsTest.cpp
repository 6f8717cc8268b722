// The control tree on real windows: ownership, child lists, fonts and
// ParentFont, alignment, the default and cancel buttons, tab order, memos.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/VclTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace vcl;

// Counts its own destruction, to see who destroys whom.
class Counted : public TComponent {
public:
    Counted(TComponent* owner, int& destroyed) : TComponent(owner), destroyed_(destroyed) {}
    ~Counted() override { ++destroyed_; }

private:
    int& destroyed_;
};

TEST(Components, OwnerKeepsOrderAndDestroysWhatItOwns) {
    int destroyed = 0;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* first = new Counted(owner.get(), destroyed);
    auto* second = new Counted(owner.get(), destroyed);
    auto* third = new Counted(owner.get(), destroyed);
    ASSERT_EQ(3, owner->ComponentCount());
    EXPECT_EQ(first, owner->Components(0));
    EXPECT_EQ(third, owner->Components(2));
    EXPECT_EQ(owner.get(), second->Owner());

    delete second;  // leaves its owner's list
    ASSERT_EQ(2, owner->ComponentCount());
    EXPECT_EQ(third, owner->Components(1));
    owner.reset();
    EXPECT_EQ(3, destroyed) << "the owner destroys the components it still owns";
}

TEST(Controls, ChildListInInsertionOrderIndependentOfOwner) {
    auto form = std::make_unique<TForm>();
    auto* panel = new TPanel(form.get());
    auto* label = new TLabel(form.get());
    auto* button = new TButton(form.get());
    button->SetParent(panel);
    label->SetParent(form.get());
    panel->SetParent(form.get());

    ASSERT_EQ(2, form->ControlCount());
    EXPECT_EQ(label, form->Controls(0));
    EXPECT_EQ(panel, form->Controls(1));
    ASSERT_EQ(1, panel->ControlCount());
    EXPECT_EQ(button, panel->Controls(0));
    EXPECT_EQ(3, form->ComponentCount()) << "the form owns all three, wherever they sit";

    delete panel;  // takes its child control with it
    EXPECT_EQ(1, form->ControlCount());
    EXPECT_EQ(1, form->ComponentCount());
}

TEST(Controls, WindowsAreMadeOnRequestWithTheirParents) {
    auto form = std::make_unique<TForm>();
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto* button = new TButton(form.get());
    button->SetParent(panel);
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(button->HandleAllocated());

    HWND buttonWindow = button->Handle();
    ASSERT_TRUE(IsWindow(buttonWindow));
    EXPECT_TRUE(form->HandleAllocated()) << "asking for a child's window makes its parents'";
    EXPECT_EQ(panel->Handle(), GetParent(buttonWindow));
    EXPECT_EQ(form->Handle(), GetParent(panel->Handle()));
    wchar_t className[64] = {};
    GetClassNameW(buttonWindow, className, 64);
    EXPECT_EQ(0, lstrcmpiW(L"BUTTON", className))
        << "got class " << testing::PrintToString(std::wstring(className));
    EXPECT_EQ(nullptr, FindWindowExW(panel->Handle(), buttonWindow, nullptr, nullptr))
        << "the label has no window of its own";

    // A control given to a parent that has a window gets one at once.
    auto* late = new TButton(form.get());
    late->SetParent(panel);
    EXPECT_TRUE(late->HandleAllocated());
    EXPECT_EQ(panel->Handle(), GetParent(late->Handle()));

    form.reset();
    EXPECT_FALSE(IsWindow(buttonWindow));
}

TEST(Controls, FormInsideAPanelOfAnotherForm) {
    auto outer = std::make_unique<TForm>();
    auto* panel = new TPanel(outer.get());
    panel->SetParent(outer.get());
    auto* inner = new TForm(outer.get());
    inner->SetParent(panel);
    inner->SetVisible(true);
    HWND window = inner->Handle();
    EXPECT_EQ(panel->Handle(), GetParent(window));
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(1, panel->ControlCount());
}

struct SizeCase {
    int height;
    int pixelsPerInch;
    int size;
};

TEST(Font, SizeAndHeightConvertAsMulDivRounds) {
    const SizeCase cases[] = {
        {-11, 96, 8},  {-12, 96, 9},  {-13, 96, 10},  // 9.75 rounds up
        {-15, 120, 9}, {-16, 144, 8}, {-17, 144, 9},  // 8.5 rounds away from zero
        {-16, 96, 12}, {11, 96, -8},                  // cell heights give negative sizes
    };
    for (const SizeCase& c : cases) {
        TFont font;
        font.SetPixelsPerInch(c.pixelsPerInch);
        font.SetHeight(c.height);
        EXPECT_EQ(c.size, font.Size())
            << "height " << c.height << " at " << c.pixelsPerInch << " ppi";
    }
    const SizeCase back[] = {
        {-11, 96, 8}, {-12, 96, 9}, {-15, 120, 9}, {-16, 144, 8}, {-13, 96, 10}};
    for (const SizeCase& c : back) {
        TFont font;
        font.SetPixelsPerInch(c.pixelsPerInch);
        font.SetSize(c.size);
        EXPECT_EQ(c.height, font.Height())
            << "size " << c.size << " at " << c.pixelsPerInch << " ppi";
    }
}

TEST(Font, ColoursAndStyles) {
    EXPECT_NE(clWindowText, TColor{0x00000008}) << "a system colour never equals a plain one";
    EXPECT_NE(clWindowText, ColorToRGB(clWindowText) & 0x00FFFFFF);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ColorToRGB(clBtnFace));
    EXPECT_EQ(COLORREF{0x00993300}, ColorToRGB(0x00993300));

    TFont font;
    EXPECT_EQ(clWindowText, font.Color()) << "fonts start in the window-text colour";
    font.SetStyle({TFontStyle::fsBold, TFontStyle::fsStrikeOut});
    EXPECT_TRUE(font.Style().Contains(TFontStyle::fsBold));
    EXPECT_FALSE(font.Style().Contains(TFontStyle::fsItalic));
    EXPECT_EQ(0x9u, font.Style().Bits());

    LOGFONTW lf{};
    ASSERT_EQ(static_cast<int>(sizeof(lf)), GetObjectW(font.Handle(), sizeof(lf), &lf));
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfStrikeOut);
    EXPECT_FALSE(lf.lfItalic);
}

TEST(ParentFont, TakesFollowsAndLetsGoOnItsOwnFont) {
    auto form = std::make_unique<TForm>();
    form->Font().SetName(L"Tahoma");
    form->Font().SetHeight(-11);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto* button = new TButton(form.get());
    button->SetParent(panel);
    auto* own = new TButton(form.get());
    own->SetParent(panel);
    own->Font().SetName(L"Courier New");

    EXPECT_FALSE(form->ParentFont()) << "a form has its own font";
    EXPECT_TRUE(panel->ParentFont());
    EXPECT_FALSE(own->ParentFont()) << "assigning its own font ends ParentFont";
    EXPECT_EQ(L"Tahoma", button->Font().Name());

    form->Handle();
    form->Font().SetName(L"Arial");
    form->Font().SetHeight(-16);
    form->Font().SetColor(0x00112233);
    // Through the panel to the button: values and the real window's font.
    EXPECT_EQ(L"Arial", panel->Font().Name());
    EXPECT_EQ(L"Arial", button->Font().Name());
    EXPECT_EQ(-16, button->Font().Height());
    EXPECT_EQ(TColor{0x00112233}, button->Font().Color());
    EXPECT_TRUE(button->ParentFont()) << "following the parent keeps ParentFont";
    const auto seen = vcltest::FontOfWindow(button->Handle());
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(L"Arial", seen.face);
    EXPECT_EQ(-16, seen.height);
    EXPECT_EQ(L"Courier New", own->Font().Name()) << "a control with its own font does not follow";

    own->SetParentFont(true);
    EXPECT_EQ(L"Arial", own->Font().Name()) << "ParentFont set again takes the parent's font";
    EXPECT_EQ(L"Arial", vcltest::FontOfWindow(own->Handle()).face);
}

TEST(Align, TopPanelAndClientMemoFollowResizing) {
    auto form = std::make_unique<TForm>();
    form->DesignPixelsPerInch = ScreenPixelsPerInch();  // pixel values as given
    form->ClientWidth = 711;
    form->ClientHeight = 397;
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetHeight(41);
    panel->SetAlign(TAlign::alTop);
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    memo->SetAlign(TAlign::alClient);

    HWND memoWindow = memo->Handle();
    RECT rect = vcltest::RectInParent(memoWindow);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(41, rect.top);
    EXPECT_EQ(711, rect.right);
    EXPECT_EQ(397, rect.bottom);
    EXPECT_EQ(711, vcltest::RectInParent(panel->Handle()).right);

    RECT client{};
    SetWindowPos(form->Handle(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(form->Handle(), &client);
    rect = vcltest::RectInParent(memoWindow);
    EXPECT_EQ(41, rect.top);
    EXPECT_EQ(client.right, rect.right) << "the memo follows the form's new width";
    EXPECT_EQ(client.bottom, rect.bottom);
    EXPECT_EQ(client.right, vcltest::RectInParent(panel->Handle()).right);
}

// A form laid out as the main window is: two buttons on a panel, a memo.
class ButtonsForm : public testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>();
        auto* panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetAlign(TAlign::alTop);
        start = new TButton(form.get());
        start->SetParent(panel);
        start->SetBounds(8, 8, 75, 25);
        start->SetDefault(true);
        start->OnClick = [this] { clicks.push_back(L"start"); };
        exit = new TButton(form.get());
        exit->SetParent(panel);
        exit->SetBounds(84, 8, 75, 25);
        exit->SetCancel(true);
        exit->OnClick = [this] { clicks.push_back(L"exit"); };
        memo = new TMemo(form.get());
        memo->SetParent(form.get());
        memo->SetAlign(TAlign::alClient);
        memo->SetReadOnly(true);
        // Dialog navigation needs the windows, not a form on screen.
        form->Handle();
    }

    // What the message loop does with a key press that the form sees.
    bool PressKey(HWND target, WPARAM key) {
        MSG msg{target, WM_KEYDOWN, key, 0, 0, {}};
        return IsDialogMessageW(form->Handle(), &msg) != FALSE;
    }

    std::unique_ptr<TForm> form;
    TButton* start = nullptr;
    TButton* exit = nullptr;
    TMemo* memo = nullptr;
    std::vector<std::wstring> clicks;
};

TEST_F(ButtonsForm, EnterPressesDefaultEscPressesCancel) {
    EXPECT_TRUE(GetWindowLongPtrW(start->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    // From the read-only log too: it has no use for either key.
    SetFocus(memo->Handle());
    EXPECT_TRUE(PressKey(memo->Handle(), VK_RETURN));
    EXPECT_TRUE(PressKey(memo->Handle(), VK_ESCAPE));
    SetFocus(start->Handle());
    EXPECT_TRUE(PressKey(start->Handle(), VK_ESCAPE));
    const std::vector<std::wstring> expected{L"start", L"exit", L"exit"};
    EXPECT_EQ(expected, clicks);

    exit->SetEnabled(false);
    clicks.clear();
    PressKey(memo->Handle(), VK_ESCAPE);
    EXPECT_TRUE(clicks.empty()) << "a disabled cancel button is not pressed";
}

TEST_F(ButtonsForm, ClickOnTheRealButtonRunsOnClick) {
    SendMessageW(exit->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(L"exit", clicks[0]);
}

TEST_F(ButtonsForm, TabOrderIsTheDialogNavigationOrder) {
    EXPECT_EQ(0, start->TabOrder());
    EXPECT_EQ(1, exit->TabOrder());
    HWND dialog = form->Handle();
    EXPECT_EQ(exit->Handle(), GetNextDlgTabItem(dialog, start->Handle(), FALSE));
    exit->SetTabOrder(0);
    EXPECT_EQ(0, exit->TabOrder());
    EXPECT_EQ(1, start->TabOrder());
    EXPECT_EQ(start->Handle(), GetNextDlgTabItem(dialog, exit->Handle(), FALSE));
}

TEST_F(ButtonsForm, DisablingReachesTheWindow) {
    start->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(start->Handle()));
    start->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(start->Handle()));
}

TEST(Memo, UpdatesHoldTheWindowBackUntilTheLastEndUpdate) {
    auto form = std::make_unique<TForm>();
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    memo->Lines.Add(L"first");
    HWND window = memo->Handle();
    memo->Lines.BeginUpdate();
    memo->Lines.BeginUpdate();
    memo->Lines.Add(L"second");
    memo->Lines.EndUpdate();
    memo->Lines.Add(L"third");
    EXPECT_EQ(L"first", testsupport::WindowText(window)) << "the window changed during the update";
    EXPECT_EQ(L"first\r\nsecond\r\nthird\r\n", memo->Text());
    memo->Lines.EndUpdate();
    EXPECT_EQ(L"first\r\nsecond\r\nthird", testsupport::WindowText(window));
    memo->Lines.EndUpdate();  // one too many changes nothing
    memo->Lines.Add(L"fourth");
    EXPECT_EQ(L"first\r\nsecond\r\nthird\r\nfourth", testsupport::WindowText(window));
}

TEST(Memo, LinesTextAndWindow) {
    auto form = std::make_unique<TForm>();
    auto* memo = new TMemo(form.get());
    memo->SetParent(form.get());
    memo->SetReadOnly(true);
    memo->ScrollBars = TScrollStyle::ssVertical;
    memo->WordWrap = true;
    memo->SetColor(clBtnFace);
    memo->Lines.Add(L"placeholder");
    memo->Lines.Clear();
    memo->Lines.Add(L"first");
    HWND window = memo->Handle();
    memo->Lines.Add(L"second");
    memo->Lines.Add(L"");

    EXPECT_EQ(3, memo->Lines.Count());
    EXPECT_EQ(L"first\r\nsecond\r\n\r\n", memo->Text()) << "every line followed by CR LF";
    EXPECT_EQ(L"first\r\nsecond\r\n", testsupport::WindowText(window));
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_FALSE(style & ES_AUTOHSCROLL) << "word wrap: no horizontal scrolling";

    // The parent answers the memo's colour question with the button face.
    HDC dc = GetDC(window);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form->Handle(), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(window)));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), brush);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc));
    ReleaseDC(window, dc);

    memo->Lines.Clear();
    EXPECT_EQ(L"", memo->Text());
    EXPECT_EQ(0, GetWindowTextLengthW(window));
}

TEST(Label, PaintedByItsParentInItsColour) {
    auto form = std::make_unique<TForm>();
    form->DesignPixelsPerInch = ScreenPixelsPerInch();  // pixel values as given
    form->ClientWidth = 200;
    form->ClientHeight = 100;
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(10, 10, 150, 60);
    label->SetCaption(L"WWWW");
    label->Font().SetHeight(-40);
    label->Font().SetStyle({TFontStyle::fsBold});
    label->Font().SetColor(0x000000FF);  // red
    form->Show();
    HWND window = form->Handle();
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    HDC dc = GetDC(window);
    int red = 0, outside = 0;
    for (int y = 0; y < 100; y += 2) {
        for (int x = 0; x < 200; x += 2) {
            if (GetPixel(dc, x, y) != RGB(255, 0, 0)) continue;
            const bool inLabel = x >= 10 && x < 160 && y >= 10 && y < 70;
            (inLabel ? red : outside)++;
        }
    }
    ReleaseDC(window, dc);
    EXPECT_GT(red, 20) << "the label's text in its colour inside its bounds";
    EXPECT_EQ(0, outside) << "nothing drawn outside the label";
}

TEST(Classes, TestsAcceptDescendants) {
    auto form = std::make_unique<TForm>();
    TControl* richEdit = new TRichEdit(form.get());
    TControl* tree = new TTreeView(form.get());
    EXPECT_NE(nullptr, dynamic_cast<TCustomMemo*>(richEdit)) << "a rich edit counts as a memo";
    EXPECT_NE(nullptr, dynamic_cast<TWinControl*>(tree));
    EXPECT_NE(nullptr, dynamic_cast<TCustomTreeView*>(tree));
    EXPECT_EQ(nullptr, dynamic_cast<TCustomMemo*>(tree));
    // Both make their real windows.
    static_cast<TWinControl*>(richEdit)->SetParent(form.get());
    static_cast<TWinControl*>(tree)->SetParent(form.get());
    wchar_t className[64] = {};
    GetClassNameW(static_cast<TWinControl*>(tree)->Handle(), className, 64);
    EXPECT_EQ(std::wstring(WC_TREEVIEWW), className);
    GetClassNameW(static_cast<TWinControl*>(richEdit)->Handle(), className, 64);
    EXPECT_EQ(0, lstrcmpiW(L"RichEdit20W", className))
        << testing::PrintToString(std::wstring(className));
}

}  // namespace

namespace {

using namespace vcl;

// A layout made at half this screen's resolution comes out twice as large:
// the same code path as a 96-dpi layout on a 192-dpi monitor.
TEST(DpiScaling, LayoutScaledToTheWindowsResolutionAtCreation) {
    const int screen = ScreenPixelsPerInch();
    auto form = std::make_unique<TForm>();
    form->DesignPixelsPerInch = screen / 2;
    form->ClientWidth = 300;
    form->ClientHeight = 200;
    // Pixel heights of the layout, at the layout's resolution.
    form->Font().SetPixelsPerInch(screen / 2);
    form->Font().SetHeight(-6);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetAlign(TAlign::alTop);
    panel->SetHeight(20);
    auto* button = new TButton(form.get());
    button->SetParent(panel);
    button->SetBounds(4, 4, 40, 12);
    auto* own = new TButton(form.get());
    own->SetParent(panel);
    own->Font().SetPixelsPerInch(screen / 2);
    own->Font().SetHeight(-7);
    // Set in points at 96 before the window exists: converted, not scaled.
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->Font().SetSize(12);

    HWND window = form->Handle();
    ASSERT_EQ(screen, form->PixelsPerInch()) << "this test assumes one resolution for all monitors";
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(600, client.right);
    EXPECT_EQ(400, client.bottom);
    EXPECT_EQ(40, vcltest::RectInParent(panel->Handle()).bottom);
    const RECT buttonRect = vcltest::RectInParent(button->Handle());
    EXPECT_EQ(8, buttonRect.left);
    EXPECT_EQ(8, buttonRect.top);
    EXPECT_EQ(80, buttonRect.right - buttonRect.left);
    EXPECT_EQ(24, buttonRect.bottom - buttonRect.top);
    EXPECT_EQ(-12, vcltest::FontOfWindow(button->Handle()).height) << "parent's font, scaled";
    EXPECT_EQ(-14, vcltest::FontOfWindow(own->Handle()).height) << "own font, scaled";
    EXPECT_EQ(screen, button->Font().PixelsPerInch());
    EXPECT_TRUE(button->ParentFont());
    EXPECT_EQ(12, label->Font().Size());
    EXPECT_EQ(-MulDiv(12, screen, 72), label->Font().Height());
    EXPECT_EQ(screen, label->Font().PixelsPerInch());
}

}  // namespace
