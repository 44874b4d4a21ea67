; The demo's voice table: Mio's voice lines, played from VOICE\<name>.OGG.
.kind voice
.extension OGG
.character MIO -
.voice MIO_001
.voice MIO_002
.voice MIO_003
