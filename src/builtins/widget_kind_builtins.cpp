#include "builtins/widget_kind_builtins.h"

#include "builtins/widget_args.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/click_area.h"
#include "ui/widgets/list_box.h"
#include "ui/widgets/scroll_bar.h"

using widget_args::kMinusOne;
using widget_args::Result;

namespace {

// Runs `operation` on the widget of args[0] when it is a Widget of type `type`; `none` otherwise.
template <class Widget, class Operation>
std::uint32_t With(const NativeArgs& args, std::int32_t type, std::uint32_t none, Operation operation) {
  Widget* widget = widget_args::Of<Widget>(args, 0, {type});
  return widget != nullptr ? operation(*widget) : none;
}

}  // namespace

std::uint32_t NativeSetScrollBarValues(const NativeArgs& args) {
  return With<CScrollBar>(args, CBarBase::kType, kMinusOne, [&](CScrollBar& bar) {
    return Result(bar.SetRange(args.I32(1), args.I32(2), args.I32(3), args.I32(4), args.I32(5), args.I32(6)));
  });
}

std::uint32_t NativeGetScrollBarPair(const NativeArgs& args) {
  CBarBase* bar = widget_args::Of<CBarBase>(args, 0, {CBarBase::kType});
  args.Out(1).Set(bar != nullptr ? Result(bar->GetValue()) : 0);
  args.Out(2).Set(bar != nullptr ? Result(bar->GetMaximum()) : 0);
  return bar != nullptr ? 1 : 0;
}

std::uint32_t NativeSetCheckButtonValue(const NativeArgs& args) {
  return With<CCheckButton>(args, CCheckButton::kType, kMinusOne,
                            [&](CCheckButton& button) { return button.SelectIndex(args.I32(1)); });
}

std::uint32_t NativeGetCheckGroupValue(const NativeArgs& args) {
  return With<CCheckButton>(args, CCheckButton::kType, kMinusOne, [](CCheckButton& button) {
    const std::int32_t selected = button.GetSelectedIndex();
    return selected < 0 ? 0U : Result(selected);
  });
}

std::uint32_t NativeSetClickAreaHotPoint(const NativeArgs& args) {
  return With<CClickArea>(args, CClickArea::kType, 0, [&](CClickArea& area) {
    area.SetHotPoint(args.I32(1), args.I32(2));
    return 1U;
  });
}

std::uint32_t NativeListBoxAddItem(const NativeArgs& args) {
  return With<CListBox>(args, CListBox::kType, kMinusOne,
                        [&](CListBox& box) { return box.AddItem(args.Str(1), args.Str(2), args.Flag(3)); });
}

std::uint32_t NativeListBoxRefresh(const NativeArgs& args) {
  return With<CListBox>(args, CListBox::kType, 0, [&](CListBox& box) {
    if (args.Flag(1)) {
      box.Refit();
    } else {
      box.Redraw();
    }
    return 1U;
  });
}

std::uint32_t NativeListBoxSetText(const NativeArgs& args) {
  return With<CListBox>(args, CListBox::kType, kMinusOne, [&](CListBox& box) {
    return box.SetIconState(args.I32(1), args.Flag(2) ? 1 : 0, args.Flag(3));
  });
}

std::uint32_t NativeListBoxQuery(const NativeArgs& args) {
  return With<CListBox>(args, CListBox::kType, 0, [&](CListBox& box) { return Result(box.GetIconState(args.I32(1))); });
}

std::uint32_t NativeListBoxGetSelection(const NativeArgs& args) {
  return With<CListBox>(args, CListBox::kType, 0, [](CListBox& box) { return Result(box.GetSelection()); });
}
