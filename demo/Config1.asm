; The demo's settings screen, which the novel frame runs for the settings button and the system
; menu's settings item: a panel over the page with the text speed and the music and voice volumes
; as sliders, the screen effects as a check box, a close button, and a button that switches
; between the window and full screen (the engine's screen-mode toggle, as the window's maximize
; box sends it; the engine keeps the mode for the next start). Every change applies at once
; and goes into the user's settings (kept when the game ends): the text speed from the next line
; on, the effects from the next system screen on, the volumes to the sounds playing. A changed
; text speed or effects setting raises its change flag (user variable 1, two words, both cleared
; when the screen opens), which the frame reads to lay its window out again.
;
; Text speed: values 0 (slow) to 10 (fast), 6 ms less per character for each step (30 ms, the
; default, is 5; 10 prints a line at once). Volumes: values 0 to 16, a sixteenth of the full
; level (256) each.
.kind script
  StoreImm 0, var(3)                                      ; nothing changed yet
  Add var(3), 4, second_flag
  StoreIndirect 0, second_flag
  CallNative native(241), no_arguments, widget            ; the frame's page
  Copy widget, on_the_page
  CallNative native(702), on_the_page, result
  CallNative native(712), on, attached_before             ; over the page, as the frame's own screens
  Copy attached_before, attached_again
  CallNative native(713), screen_widgets, result
  CallNative native(721), no_arguments, result            ; only this screen's widgets take input
  CallNative native(168), font_args, font
  Copy font, panel_args+16
  Copy font, label_args+16
  Copy font, close_args+24
  Copy font, screen_mode_args+24
  CallNative native(696), panel_args, widget
  Copy widget, panel_opaque
  CallNative native(753), panel_opaque, result            ; the panel's picture as it is drawn
  Copy widget, refresh_box
  CallNative native(755), refresh_box, result
  StoreImm title, label_text+4
  Call make_label
  StoreImm 192, label_args
  StoreImm 170, label_args+4
  StoreImm speed_label, label_text+4
  Call make_label
  StoreImm 240, label_args+4
  StoreImm effects_label, label_text+4
  Call make_label
  StoreImm 310, label_args+4
  StoreImm music_label, label_text+4
  Call make_label
  StoreImm 380, label_args+4
  StoreImm voice_label, label_text+4
  Call make_label

; The sliders jump to a click and step by one value. The text speed from the unread text's
; interval, then the music's and the voices' levels.
  CallNative native(747), slider_style, result
  CallNative native(9), unread_interval, level
  Copy level, interval_steps+4
interval_steps:
  Div 0, 6, steps
  Copy steps, speed_of_steps+8
speed_of_steps:
  Sub 10, 0, slider_range+16
  StoreImm 11, slider_range+8
  StoreImm 174, slider_args+4
  StoreImm 0, widget_id+4
  Call make_slider
  Copy widget, speed_bar
  StoreImm 5, volume_setting+4
  StoreImm 314, slider_args+4
  StoreImm 2, widget_id+4
  Call make_volume_slider
  Copy widget, music_bar
  StoreImm 8, volume_setting+4
  StoreImm 384, slider_args+4
  StoreImm 3, widget_id+4
  Call make_volume_slider
  Copy widget, voice_bar
  CallNative native(747), plain_style, result
; The effects check box, checked while they are on, and the close button.
  CallNative native(688), effects_box_args, widget
  Copy widget, effects_box
  Copy widget, effects_checked
  CallNative native(9), effects_setting, effects_flip   ; the box shows "on", the setting "off": 1 minus each other
  Copy effects_flip, effects_shown+8
effects_shown:
  Sub 1, 0, effects_checked+4
  CallNative native(738), effects_checked, result
  StoreImm 1, widget_id+4
  Call join_screen
  CallNative native(685), close_args, widget
  StoreImm 4, widget_id+4
  Call join_screen
  CallNative native(685), screen_mode_args, widget
  StoreImm 5, widget_id+4
  Call join_screen
  CallNative native(705), no_arguments, result

; Once a frame: the widgets take the input, and the one that changed says what to do.
wait:
  Yield
  CallNative native(706), no_arguments, result
  CallNative native(707), no_arguments, command
  Copy command, below_first+4
below_first:
  Lt 0, 0, result
  Copy result, nothing_fired+4
nothing_fired:
  JumpIfZero 0, in_range
  Jump wait
in_range:
  Copy command, above_last+4
above_last:
  Gt 0, 5, result
  Copy result, unknown_fired+4
unknown_fired:
  JumpIfZero 0, fired
  Jump wait
fired:
  Copy command, dispatch+4
dispatch:
  Switch 0, speed_changed, effects_changed, music_changed, voice_changed, closing, screen_mode_switched

speed_changed:
  Copy speed_bar, widget_value
  CallNative native(739), widget_value, steps
  Copy steps, slower_by+8
slower_by:
  Sub 10, 0, steps
  Copy steps, interval_of_steps+4
interval_of_steps:
  Mul 0, 6, unread_interval_set+8
  Copy unread_interval_set+8, read_interval_set+8
  CallNative native(8), unread_interval_set, result
  CallNative native(8), read_interval_set, result
  StoreImm 1, var(3)                                      ; the text settings changed
  Jump wait

effects_changed:
  Copy effects_box, widget_value
  CallNative native(739), widget_value, effects_flip
  Copy effects_flip, effects_kept+8
effects_kept:
  Sub 1, 0, effects_setting_set+8
  CallNative native(8), effects_setting_set, result
  Add var(3), 4, second_flag
  StoreIndirect 1, second_flag                            ; the screen settings changed
  Jump wait

music_changed:
  Copy music_bar, widget_value
  Call level_of_slider
  Copy level, music_level_set+8
  Copy level, bgm_level+4
  CallNative native(8), music_level_set, result
  CallNative native(655), bgm_level, result               ; the music playing now
  Jump wait

voice_changed:
  Copy voice_bar, widget_value
  Call level_of_slider
  Copy level, voice_level_set+8
  Copy level, voice_volume+8
  CallNative native(8), voice_level_set, result
  CallNative native(652), voice_volume, result            ; the voices from now on
  Jump wait

; The engine's screen-mode toggle (menu command 4), posted to the window: the screen stays open.
screen_mode_switched:
  CallNative native(24), screen_mode_command, result
  Jump wait

; The close sound, then the screen goes and the frame's window comes back.
closing:
  CallNative native(675), close_sound, result
  CallNative native(714), screen_widgets, result
  CallNative native(722), no_arguments, result
  CallNative native(169), font_cell, result
  CallNative native(713), first_group, result
  CallNative native(712), attached_again, result
  Return

; A label at `label_args` with the text of `label_text`, on a clear background.
make_label:
  CallNative native(696), label_args, widget
  Copy widget, clear_label
  CallNative native(753), clear_label, result
  Copy widget, refresh_box
  CallNative native(755), refresh_box, result
  Copy widget, label_text
  CallNative native(738), label_text, result
  Return

; A volume slider (`slider_args`, `widget_id`) at the level of the setting `volume_setting`.
make_volume_slider:
  CallNative native(9), volume_setting, level
  Copy level, volume_steps+4
volume_steps:
  Div 0, 16, slider_range+16
  StoreImm 17, slider_range+8
  Call make_slider
  Return

; A slider at `slider_args` over `slider_range` (its total and value filled in) joins the screen
; with the id in `widget_id`; `widget` the slider.
make_slider:
  CallNative native(693), slider_args, widget
  Copy widget, slider_range
  CallNative native(695), slider_range, result
  Call join_screen
  Return

; `widget` takes the id in `widget_id` and joins the screen.
join_screen:
  Copy widget, widget_id
  CallNative native(723), widget_id, result
  Copy widget, widget_joins
  CallNative native(716), widget_joins, result
  Return

; `level`: the value of the slider `widget_value` in sixteenths of the full level.
level_of_slider:
  CallNative native(739), widget_value, level
  Copy level, level_of_value+4
level_of_value:
  Mul 0, 16, level
  Return
  .instructions_end

no_arguments: .word 0
on: .word 1
screen_widgets: .word 8, 0                              ; the screen's widget group (not inverted)
first_group: .word 0
attached_before: .word 0
attached_again: .word 0
on_the_page: .word 0
result: .word 0
command: .word 0
steps: .word 0
level: .word 0
second_flag: .word 0
widget: .word 0
widget_id: .word 0, 0
widget_joins: .word 0, 0xFFFFFFFF
widget_value: .word 0
font: .word 0
font_cell: .word font
font_args: .word face, 20
face: .string "SimSun"
; The panel (a picture of its own size) and its labels, above the page's window.
panel_args: .word 160, 96, 480, 408, 0, 0, panel_picture, 0, 0, 60
panel_picture: .string "SYS\\CF_BASE.ELG"
label_args: .word 184, 112, 200, 28, 0, 0xFFFFFFFF
label_text: .word 0, 0
panel_opaque: .word 0, 1, 0, 255                        ; the picture's own alpha, untouched
clear_label: .word 0, 0, 0, 0                           ; no background
refresh_box: .word 0
title: .string "\x90\xDD\x92\xE8"
speed_label: .string "\x95\xB6\x8E\x9A\x82\xCC\x91\xAC\x82\xB3"
effects_label: .string "\x89\xE6\x96\xCA\x8C\xF8\x89\xCA"
music_label: .string "\x89\xB9\x8A\x79\x82\xCC\x89\xB9\x97\xCA"
voice_label: .string "\x90\xBA\x82\xCC\x89\xB9\x97\xCA"
; Sliders: horizontal, 16 high, a light thumb on a dark track, 240 long.
slider_style: .word 1, 1
plain_style: .word 0, 0
slider_args: .word 370, 0, 0, 16, 0xFF9FB8E0, 0xFF2A3A60, 0xFFC8D8F0, 0xFF7A96C8, 0xFF18284A, 40
slider_range: .word 0, 240, 11, 1, 0, 0, 16            ; bar, length, total, visible, value, inset, thumb
speed_bar: .word 0
music_bar: .word 0
voice_bar: .word 0
; The effects check box: six cells (unchecked, hovered, pressed, then checked alike).
effects_box_args: .word 370, 234, check_picture, 0, 65535
check_picture: .string "SYS\\CF_CHECK.ELG"
effects_box: .word 0
effects_checked: .word 0, 0
effects_flip: .word 0
; The close button: a plain labelled button.
close_args: .word 340, 452, 120, 32, 0, close_label, 0, 40
close_label: .string "\x95\xC2\x82\xB6\x82\xE9"
; The screen-mode button beside it: "画面モード切替".
screen_mode_args: .word 472, 452, 152, 32, 0, screen_mode_label, 0, 40
screen_mode_label: .string "\x89\xE6\x96\xCA\x83\x82\x81\x5B\x83\x68\x90\xD8\x91\xD6"
screen_mode_command: .word 4, 0                         ; the screen-mode toggle, posted
close_sound: .word 2, 0
; The user's settings: group 1 items 1 and 3 the unread and read text's intervals, group 3 items
; 5 and 8 the music's and the voices' levels, group 0 item 10 the screen effects (1: off).
unread_interval: .word 1, 1
volume_setting: .word 3, 0
effects_setting: .word 0, 10
unread_interval_set: .word 1, 1, 0
read_interval_set: .word 1, 3, 0
music_level_set: .word 3, 5, 0
voice_level_set: .word 3, 8, 0
effects_setting_set: .word 0, 10, 0
bgm_level: .word 0xFFFFFFFF, 0
voice_volume: .word 4, 2, 0
