; The demo's user variables: the index of the last picked choice; the settings screen's two change
; flags and the frame's choice of settings screen (0: "Config1").
.kind uservar
.var choice 0 0 4
.var config_changes 0 0 8
.var config_choice 0 0 4
