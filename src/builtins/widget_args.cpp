#include "builtins/widget_args.h"

#include "ui/fonts/font.h"
#include "ui/fonts/font_base.h"

namespace widget_args {

CFontBase* AnyFont(const NativeArgs& args, std::uint32_t i) { return args.Handle<CFontBase>(i); }

CFont* GlyphFont(const NativeArgs& args, std::uint32_t i) { return dynamic_cast<CFont*>(AnyFont(args, i)); }

}  // namespace widget_args
