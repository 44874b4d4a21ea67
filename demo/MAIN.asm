; The demo game's main script: it makes the novel frame, whose picked choices land in the user
; variable `choice`, then shows the title scenario until the reader picks "おわる"; "はじめから"
; plays the story and comes back to the title; "つづきから" loads the save that the story wrote
; (group 11, slot 5) and goes on where it was taken, or shows the title again when there is none.
; A title that cannot run (its message shown) ends the game too.
.kind script
  CallNative native(794), choice_word, result   ; the frame writes a picked choice into `choice`
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
  Jump title
resume:
  CallNative native(44), story_save, result     ; the story's save
  Copy result, loaded+4
loaded:
  JumpIfZero 0, go_on
  Jump title
go_on:
  CallNative native(793), run_on, result        ; mode -1: on from the loaded position
  Jump title
  .instructions_end
choice_word: .word 1, var(0)
no_page: .word 0, 0, 0
run_title: .word 0, title_name
run_story: .word 0, story_name
run_on: .word 0xFFFFFFFF, 0
story_save: .word 11, 5
no_arguments: .word 0
result: .word 0
title_name: .string "TITLE"
story_name: .string "STORY"
