// The program-wide objects that live from before the application object to after it. They are
// defined in this one file because only within a file does C++ fix the order of construction
// (top to bottom) and destruction (the reverse). The full order: built-in function map, message
// box, elapsed timers, background file loader, file handles, file list, animation files,
// animation data files, layout buffers, cell sheets, a text, GUI root window, widget manager,
// layout image; the objects not defined here yet take their places as their classes come.
#include "base/files/async_file_loader.h"
#include "base/files/file_list.h"
#include "base/time/elapsed_timer_array.h"
#include "builtins/memory_builtins.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/gui/gui_root_window.h"
#include "ui/layouts/dgm_buffer_set.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"

CNativeBlockMap g_NativeMap;
CMessageBox g_MessageBox;
CElapsedTimerArray g_ElapsedTimers;
CAsyncFileLoader g_AsyncFileLoader;
CFileList g_FileList;
CDgmBufferSet g_DgmBufferSet;
// The root window is a function's own static: asking for it here builds it before the widget
// manager, so it outlives the widgets, which leave it as they die.
[[maybe_unused]] static CGuiRootWindow& g_RootWindowBeforeWidgets = GuiRootWindow();
CWidgetManager g_WidgetManager;
CDgmImageFile g_DgmImageFile;
