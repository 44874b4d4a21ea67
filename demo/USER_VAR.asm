; The demo's user variables: the index of the last picked choice; the save and load screen's
; mode pair (1 save, 0 load; then a word of its own) and its result (2 when it named a save to
; load), which the novel frame and the screen share; the settings screen's two change flags and
; the frame's choice of settings screen (0: "Config1").
.kind uservar
.var choice 0 0 4
.var save_load_mode 0 0 8
.var save_load_result 0 0 4
.var config_changes 0 0 8
.var config_choice 0 0 4
