// What engine code below the application shell may ask of the application object. The
// application installs each hook (the priority hooks in its set-up, the others when it is made)
// and clears them when it goes; a hook is null while no application runs, as in most tests.
#pragma once

// The nested priority hooks of heavy work, as the effects, sprites and widgets call them.
extern int (*g_LowerPriorityHook)();
extern int (*g_RestorePriorityHook)();
// True while the user's settings switch the priority hooks off: effects made by name then never
// ask for them, and layer filters are attached without them.
extern bool (*g_PriorityControlOffHook)();
// Ends every pending no-wait level and high-resolution timer suspension: the frame modes that
// the scripts of a finished run left switched on.
extern void (*g_EndScriptFrameModesHook)();
// Asked by a script run that has made kTransfersPerStopCheck control transfers (jumps, calls,
// returns) since it started or was last asked, so that a script that never yields cannot hold
// the game: true ends the run (the window was closed or the application is ending). On the
// window's thread the application reads the window's messages here, as nothing else does while
// the script runs.
extern bool (*g_ScriptStopCheckHook)();
// The application's current frame procedure, for the waits that keep the frames going while
// they hold the game thread inside a built-in call (the in-game message box): 0 tells them to
// stop waiting (the game ends or returns to the title). Null while no application runs.
extern int (*g_FrameProcedureHook)();
