; The demo game's main script: it makes the sound channels (channel 6 for voices, the frame's
; sound effects from 8 on), loads the frame's sounds (dialog, close, click), plays the
; opening movie in the window until its end or a click, permits saving, loading and the return to the title, makes
; the novel frame, whose picked choices land in the user variable `choice` and which shares the
; save and load screen's mode and result words with "SaveLoad", then shows the title
; scenario until the reader picks "おわる"; "はじめから" plays the story and comes back to the
; title; "つづきから" loads the newest quick save (group 11, the rotating slot) and goes on where
; it was taken, or shows the title again when there is none. A run that a quick load or the load screen
; ended ("retVovExp" 6) loads the save it named and goes on from there; a run that went back to the
; previous choice (5) restores the snapshot taken at that choice and goes on from there; a run
; stopped because the application is ending (793 gives 1) ends the game; any other end goes back
; to the title. A title that cannot run (its message shown) ends the game too.
.kind script
  ; The archives of the game's folders, each mounted at its own name (SYS.DPK holds the files
  ; under SYS\), after SCRIPT.DPK, which the engine mounted.
  CallNative native(107), bg_archive, result
  CallNative native(107), chr_archive, result
  CallNative native(107), sys_archive, result
  CallNative native(107), bgm_archive, result
  CallNative native(107), se_archive, result
  CallNative native(107), voice_archive, result
  CallNative native(107), movie_archive, result
  CallNative native(668), channel_count, result
  CallNative native(671), voice_channel, result
  CallNative native(672), dialog_sound, result
  CallNative native(672), close_sound, result
  CallNative native(672), click_sound, result
  CallNative native(632), opening_movie, result
  Copy result, movie_opened+4
movie_opened:
  JumpIfZero 0, movie_play
  Jump movie_done                               ; no movie (its reason is in the log): on to the title
movie_play:
  CallNative native(639), movie_rect, result    ; the whole window
  CallNative native(635), no_arguments, result
movie_wait:
  Yield
  CallNative native(585), no_arguments, result  ; a click skips the movie
  Copy result, movie_clicked+4
movie_clicked:
  JumpIfZero 0, movie_state
  Jump movie_done
movie_state:
  CallNative native(647), no_arguments, result  ; non-zero: played to its end
  Copy result, movie_running+4
movie_running:
  JumpIfZero 0, movie_wait
  Jump movie_done
movie_done:
  CallNative native(633), no_arguments, result
  CallNative native(4), permit_save, result
  CallNative native(4), permit_load, result
  CallNative native(4), permit_title, result
  CallNative native(794), choice_word, result   ; the frame writes a picked choice into `choice`
  CallNative native(794), save_load_mode_word, result  ; and the save and load screen's mode
  CallNative native(794), save_load_result_word, result  ; and reads the screen's result
  CallNative native(794), config_choice_word, result  ; the settings screen: "Config1"
  CallNative native(794), config_changes_word, result ; the flags it raises for the frame
  CallNative native(791), no_page, result       ; the frame with a page image of its own
title:
  Yield                                         ; a frame for the window between two scenarios
  CallNative native(793), run_title, result
  Copy result, title_ran+4                      ; results and variables reach a test through its operand
title_ran:
  JumpIfZero 0, title_done
  Jump end
title_done:
  Copy var(0), pick+4
pick:
  Switch 0, story, resume, end
end:
  CallNative native(792), no_arguments, result  ; the frame goes (its read-text log is written)
  CallNative native(2), no_arguments, result    ; and the game ends
  Yield
  Return
story:
  CallNative native(793), run_story, result
run_ended:
  Copy result, stopped+4
stopped:
  Eq 0, 1, result                               ; 1: the application is ending
  Copy result, app_ending+4
app_ending:
  JumpIfZero 0, run_result
  Jump end
run_result:
  Copy host(0), quick_loaded+4                  ; "retVovExp": how the run ended
quick_loaded:
  Eq 0, 6, result
  Copy result, to_load+4
to_load:
  JumpIfZero 0, not_loaded
  CallNative native(44), pending_save, result   ; the save the quick load named
  Jump loaded
not_loaded:
  Copy host(0), back_to_choice+4
back_to_choice:
  Eq 0, 5, result                               ; 5: back to the previous choice
  Copy result, to_choice+4
to_choice:
  JumpIfZero 0, title
  CallNative native(51), no_arguments, result   ; the snapshot taken at that choice
  Jump loaded
resume:
  CallNative native(44), newest_quick_save, result
loaded:
  Copy result, load_failed+4
load_failed:
  JumpIfZero 0, go_on
  Jump title
go_on:
  CallNative native(793), run_on, result        ; mode -1: on from the loaded position
  Jump run_ended
  .instructions_end
bg_archive: .word bg_archive_name, 0xFFFFFFFE, 1, 1  ; the game's id, at its name, after the others
chr_archive: .word chr_archive_name, 0xFFFFFFFE, 1, 1
sys_archive: .word sys_archive_name, 0xFFFFFFFE, 1, 1
bgm_archive: .word bgm_archive_name, 0xFFFFFFFE, 1, 1
se_archive: .word se_archive_name, 0xFFFFFFFE, 1, 1
voice_archive: .word voice_archive_name, 0xFFFFFFFE, 1, 1
movie_archive: .word movie_archive_name, 0xFFFFFFFE, 1, 1
bg_archive_name: .string "BG.DPK"
chr_archive_name: .string "CHR.DPK"
sys_archive_name: .string "SYS.DPK"
bgm_archive_name: .string "BGM.DPK"
se_archive_name: .string "SE.DPK"
voice_archive_name: .string "VOICE.DPK"
movie_archive_name: .string "MOVIE.DPK"
permit_save: .word 8, 1                         ; application values 8 to 10: the menu groups
permit_load: .word 9, 1
permit_title: .word 10, 1
choice_word: .word 1, var(0)
save_load_mode_word: .word 2, var(1)
save_load_result_word: .word 3, var(2)
config_changes_word: .word 5, var(3)
config_choice_word: .word 4, var(4)
no_page: .word 0, 0, 0
run_title: .word 0, title_name
run_story: .word 0, story_name
run_on: .word 0xFFFFFFFF, 0
newest_quick_save: .word 11, 0xFFFFFFFF
pending_save: .word 0xFFFFFFFF, 0
no_arguments: .word 0
channel_count: .word 16
voice_channel: .word 6, 4
dialog_sound: .word 1, dialog_name
close_sound: .word 2, close_name
click_sound: .word 3, click_name
opening_movie: .word movie_name, 1, 0
movie_rect: .word 0, 0, 800, 600
result: .word 0
title_name: .string "TITLE"
story_name: .string "STORY"
dialog_name: .string "SE\\SE_DLG.OGG"
close_name: .string "SE\\SE_CLOSE.OGG"
click_name: .string "SE\\SE_CLICK.OGG"
movie_name: .string "MOVIE\\OPENING.AVI"
