#pragma once
// The bar and bar-manager components, as holders of the settings the program
// assigns to them. They draw nothing.

#include "platform/rtl/Sets.h"
#include "platform/vcl/Controls.h"

namespace dxbars {

enum class TdxDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxDockingStyles = rtl::Set<TdxDockingStyle>;

// Every docking style: bits 0 to 4, value 31.
constexpr TdxDockingStyles AllDockingStyles{TdxDockingStyle::dsNone, TdxDockingStyle::dsLeft,
                                            TdxDockingStyle::dsTop, TdxDockingStyle::dsRight,
                                            TdxDockingStyle::dsBottom};

class TdxBar : public vcl::TComponent {
public:
    using TComponent::TComponent;
    bool AllowClose = true;
    bool AllowCustomizing = true;
    bool AllowQuickCustomizing = true;
    bool AllowReset = true;
    bool ShowMark = true;
    bool UseRecentItems = true;
    TdxDockingStyles NotDocking;
};

class TdxBarManager : public vcl::TComponent {
public:
    using TComponent::TComponent;
    bool CanCustomize = true;
    TdxDockingStyles NotDocking;
    bool AllowReset = true;
    bool MenusShowRecentItemsFirst = true;
    bool Scaled = true;
    bool ShowFullMenusAfterDelay = true;
};

}  // namespace dxbars
