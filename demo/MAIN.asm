; The demo game's main script: it gives the frames back to the engine until the window closes.
.kind script
loop:
  Yield
  Jump loop
