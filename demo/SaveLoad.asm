; The game's save and load screen, run by the novel frame's save and load commands: six slots of
; group 0, each a plate with the save's thumbnail, its number, its time stamp and its caption,
; over a dark panel, with a back button. The frame sets the mode word (user variable 1: 1 save,
; 0 load) before it runs this script and reads the result word (user variable 2) afterwards.
; In save mode a click on a slot saves into it and the slot shows the new save; in load mode a
; click on a slot that holds a save names it as the save to load, sets the result to 2 and ends
; the screen: the frame then ends the page and MAIN loads it. The back button ends the screen
; without a change. Everything the screen made is deleted again before it returns.
;
; Each slot keeps what it made in a record of its own (slot_records); the routines work on the
; record copied into `current` (take_slot) and copy it back when they changed it (keep_slot).
.kind script
  StoreImm 0, var(2)                            ; nothing loaded yet
  CallNative native(241), no_arguments, frame_image
  Copy frame_image, base_insert
  Copy frame_image, thumb_insert
  Copy frame_image, text_insert
  Copy frame_image, panel_off
  Copy frame_image, plates_off
  Copy frame_image, texts_off
  Copy frame_image, panel_on
  Copy frame_image, plates_on
  Copy frame_image, texts_on
  CallNative native(702), frame_image, result   ; the widgets draw on the frame's page
  CallNative native(712), one, attached_before  ; in front of the page's sprites
  CallNative native(713), screen_group, result
  CallNative native(721), no_arguments, result  ; the frame's buttons wait under a level of our own
  CallNative native(742), plate_colours, result
  CallNative native(168), font_face, font
  Copy font, font_colour
  Copy font, back_button+24
  CallNative native(176), font_colour, result
  CallNative native(168), caption_face, caption_font
  Copy caption_font, caption_font_colour
  CallNative native(176), caption_font_colour, result
  CallNative native(404), base_box, base_insert+4
  CallNative native(409), base_insert, result
; The title by the mode, the back button.
  Copy var(1), title_pick+4
title_pick:
  Switch 0, load_title, save_title
load_title:
  StoreImm load_name, text_args
  Jump title_made
save_title:
  StoreImm save_name, text_args
title_made:
  Copy font, text_args+4
  StoreImm 40, text_x
  StoreImm 28, text_y
  Call put_text
  Copy text_sprite, title_image
  Copy text_insert+4, title_sprite
  CallNative native(685), back_button, back_id
  CallNative native(723), back_id, result
  Copy back_id, back_add
  CallNative native(716), back_add, result
; The six slots.
  StoreImm 0, slot_index
make_slot:
  Call take_slot
  Call make_plate
  Call show_slot
  Call keep_slot
  IncMem slot_index
  Copy slot_index, slots_made+4
slots_made:
  Lt 0, 6, result
  Copy result, more_slots+4
more_slots:
  JumpIfZero 0, wait
  Jump make_slot
; Each frame: a right click or Escape goes back as the back button does; else the window takes
; the pointer and the keys, and the id of a fired button chooses: none (-1) waits on, the plates
; are 1 to 6, the back button 7.
wait:
  Yield
  CallNative native(586), no_arguments, result
  CallNative native(572), escape_key, cancelled
  Copy result, either+4
  Copy cancelled, either+8
either:
  Or 0, 0, cancelled
  Copy cancelled, cancel+4
cancel:
  JumpIfZero 0, buttons
  Jump close
buttons:
  CallNative native(706), no_arguments, result
  CallNative native(707), no_arguments, command
  Copy command, command_index+4
command_index:
  Add 0, 1, result
  Copy result, choose+4
choose:
  Switch 0, wait, wait, pick, pick, pick, pick, pick, pick, close
pick:
  Copy command, slot_of_command+4
slot_of_command:
  Sub 0, 1, slot_index
  Call take_slot
  Copy var(1), pick_mode+4
pick_mode:
  Switch 0, load, save
save:
  Call screen_off
  CallNative native(43), r_group, result
  Copy result, save_written+4
  Call screen_on
  Call hide_slot
  Call show_slot
  Call keep_slot
save_written:
  JumpIfZero 0, wait
  CallNative native(58), save_failed, result    ; a save that cannot be written says so
  Jump wait
load:
  Copy r_filled, load_filled+4
load_filled:
  JumpIfZero 0, wait                            ; an empty slot loads nothing
  CallNative native(42), r_group, result
  StoreImm 2, var(2)
; The screen goes: every slot's pictures, the title's, the panel, the widgets, the fonts, and
; the widget manager and the window as they were.
close:
  StoreImm 0, slot_index
drop_slot:
  Call take_slot
  Call hide_slot
  CallNative native(408), thumb_sprite_word, result
  CallNative native(243), thumb_image_word, result
  CallNative native(408), number_sprite_word, result
  CallNative native(243), number_image_word, result
  IncMem slot_index
  Copy slot_index, slots_dropped+4
slots_dropped:
  Lt 0, 6, result
  Copy result, more_dropped+4
more_dropped:
  JumpIfZero 0, dropped
  Jump drop_slot
dropped:
  CallNative native(408), title_sprite_word, result
  CallNative native(243), title_image_word, result
  CallNative native(408), base_box_word, result
  CallNative native(714), screen_group_only, result
  CallNative native(722), no_arguments, result
  CallNative native(713), no_group, result
  CallNative native(712), attached_before, result
  CallNative native(742), default_plate_colours, result
  CallNative native(169), font_word, result
  CallNative native(169), caption_font_word, result
  Return

; take_slot: the record of slot `slot_index` into `current`; keep_slot: back into its place.
take_slot:
  Copy slot_index, record_offset+4
record_offset:
  Mul 0, 64, result
  Copy result, record_address+4
record_address:
  Add 0, slot_records, take_from+4
  Copy take_from+4, keep_to
  CallNative native(80), take_from, result
  Return
keep_slot:
  CallNative native(80), keep_to, result
  Return

; make_plate: the slot's plate (a button whose id is the slot's number), its thumbnail picture
; and its number below that.
make_plate:
  Copy r_x, plate
  Copy r_y, plate+4
  CallNative native(685), plate, r_plate
  Copy r_plate, plate_id
  Copy r_id, plate_id+4
  CallNative native(723), plate_id, result
  Copy r_plate, plate_add
  CallNative native(716), plate_add, result
  CallNative native(231), thumbnail_size, r_thumb
  Copy r_thumb, thumb_sprite
  Copy r_x, thumb_x+4
thumb_x:
  Add 0, 12, thumb_sprite+20
  Copy r_y, thumb_y+4
thumb_y:
  Add 0, 12, thumb_sprite+24
  CallNative native(402), thumb_sprite, r_thumb_sprite
  Copy r_thumb_sprite, thumb_insert+4
  CallNative native(409), thumb_insert, result
  Copy r_number_name, text_args
  Copy font, text_args+4
  Call put_text_in_slot_12_96
  Copy text_sprite, r_number_image
  Copy text_insert+4, r_number_sprite
  Return

; show_slot: the slot as its save has it (a blank thumbnail, "（空き）" and no caption without
; one); hide_slot deletes its time stamp and caption again.
show_slot:
  StoreImm 0, r_filled
  CallNative native(59), empty_stamp, result
  StoreImm 0, caption_text
  Copy r_thumb, blank
  CallNative native(323), blank, result
  Copy r_slot, header+4
  Copy r_thumb, header+8
  CallNative native(46), header, result
  Copy result, header_read+4
header_read:
  JumpIfZero 0, filled
  Jump texts
filled:
  StoreImm 1, r_filled
texts:
  StoreImm stamp_text, text_args
  Copy font, text_args+4
  StoreImm 126, text_dx
  StoreImm 14, text_dy
  Call put_text_in_slot
  Copy text_sprite, r_date_image
  Copy text_insert+4, r_date_sprite
  StoreImm caption_text, text_args
  Copy caption_font, text_args+4
  StoreImm 46, text_dy
  Call put_text_in_slot
  Copy text_sprite, r_caption_image
  Copy text_insert+4, r_caption_sprite
  Return
hide_slot:
  CallNative native(408), date_sprite_word, result
  CallNative native(243), date_image_word, result
  CallNative native(408), caption_sprite_word, result
  CallNative native(243), caption_image_word, result
  Return

; put_text: the text and font of text_args drawn into a picture (text_sprite's first word) shown
; by a sprite (text_insert's second word) at (text_x, text_y); put_text_in_slot places it at
; (text_dx, text_dy) from the current slot's corner, put_text_in_slot_12_96 at (12, 96).
put_text_in_slot_12_96:
  StoreImm 12, text_dx
  StoreImm 96, text_dy
put_text_in_slot:
  Copy r_x, slot_x+4
  Copy text_dx, slot_x+8
slot_x:
  Add 0, 0, text_x
  Copy r_y, slot_y+4
  Copy text_dy, slot_y+8
slot_y:
  Add 0, 0, text_y
put_text:
  CallNative native(236), text_args, text_sprite
  CallNative native(402), text_sprite, text_insert+4
  CallNative native(409), text_insert, result
  Copy text_insert+4, text_place
  Copy text_x, text_place+4
  Copy text_y, text_place+8
  CallNative native(439), text_place, result
  Return

; The save's thumbnail is the page as it shows: the screen's own pictures step aside for it.
screen_off:
  CallNative native(417), panel_off, result
  CallNative native(417), plates_off, result
  CallNative native(417), texts_off, result
  Return
screen_on:
  CallNative native(417), panel_on, result
  CallNative native(417), plates_on, result
  CallNative native(417), texts_on, result
  Return
  .instructions_end

no_arguments: .word 0
save_failed: .word 5, save_failed_notice        ; the notice with a picture of its text
save_failed_notice: .string "SYS\\NT_SAVE.ELG"
one: .word 1
result: .word 0
command: .word 0
cancelled: .word 0
escape_key: .word 0x01
frame_image: .word 0
attached_before: .word 0
slot_index: .word 0
screen_group: .word 85
screen_group_only: .word 85, 0
no_group: .word 0
; The plates' face colour and focus tint, and the widget manager's own.
plate_colours: .word 0x2A3A60, 0x400080FF
default_plate_colours: .word 0xD4D0C8, 0x400080FF
font_face: .word face_name, 16
font: .word 0
font_word: .word font
font_colour: .word 0, 0xF0, 0xF0, 0xF8
; The captions' smaller letters: four lines of 17 beside the thumbnail.
caption_face: .word face_name, 13
caption_font: .word 0
caption_font_word: .word caption_font
caption_font_colour: .word 0, 0xE0, 0xE4, 0xF0
; The screen's pictures by their priorities (smaller ones lie in front): the panel over the
; whole screen, the plates and buttons, the thumbnails and texts; the pictures the script puts
; into the page's list carry the tag 85. With these it hides them and shows them again.
base_box: .word 800, 600, 0xE8101828, 0, 0
base_insert: .word 0, 0, 161, 85, 1
base_box_word: .word base_insert+4
panel_off: .word 0, 0, 161, 85, 0xFFFFFFFF, 0
plates_off: .word 0, 0, 152, 65535
texts_off: .word 0, 0, 143, 85, 0xFFFFFFFF, 0
panel_on: .word 0, 1, 161, 85, 0xFFFFFFFF, 0
plates_on: .word 0, 1, 152, 65535
texts_on: .word 0, 1, 143, 85, 0xFFFFFFFF, 0
title_image: .word 0
title_sprite: .word 0
title_image_word: .word title_image
title_sprite_word: .word title_sprite
back_button: .word 680, 20, 96, 32, 0, back_name, 0, 152
back_id: .word 0, 7
back_add: .word 0, 0xFFFFFFFF
; A text's picture, its sprite and their place.
text_args: .word 0, 0, 0
text_sprite: .word 0, 65535
text_insert: .word 0, 0, 143, 85, 1
text_place: .word 0, 0, 0
text_x: .word 0
text_y: .word 0
text_dx: .word 0
text_dy: .word 0
; The current slot's widgets and pictures.
plate: .word 0, 0, 360, 150, 0, 0, 0, 152
plate_id: .word 0, 0
plate_add: .word 0, 0xFFFFFFFF
thumbnail_size: .word 100, 75, 32, 0
blank: .word 0, 0xFF404048, 65535
thumb_sprite: .word 0, 0, 0, 100, 75, 0, 0
thumb_insert: .word 0, 0, 143, 85, 1
header: .word 0, 0, 0, 0, caption_text, 0, 1, stamp_text
empty_stamp: .word stamp_text, empty_name
thumb_sprite_word: .word r_thumb_sprite
thumb_image_word: .word r_thumb
number_sprite_word: .word r_number_sprite
number_image_word: .word r_number_image
date_sprite_word: .word r_date_sprite
date_image_word: .word r_date_image
caption_sprite_word: .word r_caption_sprite
caption_image_word: .word r_caption_image
; The current slot's record (64 bytes): group and slot of its save, the id of its plate, the
; plate's corner, its number's text, then what the screen made for it and whether it holds a save.
current:
r_group: .word 0
r_slot: .word 0
r_id: .word 0
r_x: .word 0
r_y: .word 0
r_number_name: .word 0
r_plate: .word 0
r_filled: .word 0
r_thumb: .word 0
r_thumb_sprite: .word 0
r_number_image: .word 0
r_number_sprite: .word 0
r_date_image: .word 0
r_date_sprite: .word 0
r_caption_image: .word 0
r_caption_sprite: .word 0
take_from: .word current, 0, 64
keep_to: .word 0, current, 64
; The six slots in two columns of three, 380 and 170 pixels apart.
slot_records:
  .word 0, 0, 1, 30, 70, number_1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  .word 0, 1, 2, 410, 70, number_2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  .word 0, 2, 3, 30, 240, number_3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  .word 0, 3, 4, 410, 240, number_4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  .word 0, 4, 5, 30, 410, number_5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  .word 0, 5, 6, 410, 410, number_6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
; The texts are Shift-JIS: "セーブ", "ロード", "もどる", "ＭＳ ゴシック" and "（空き）".
save_name: .string "\x83\x5A\x81\x5B\x83\x75"
load_name: .string "\x83\x8D\x81\x5B\x83\x68"
back_name: .string "\x82\xE0\x82\xC7\x82\xE9"
face_name: .string "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"
empty_name: .string "\x81\x69\x8B\xF3\x82\xAB\x81\x6A"
number_1: .string "No.1"
number_2: .string "No.2"
number_3: .string "No.3"
number_4: .string "No.4"
number_5: .string "No.5"
number_6: .string "No.6"
; Room for the longest time stamp and caption a save's header gives.
stamp_text: .word 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
caption_text: .word 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
  .word 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0
