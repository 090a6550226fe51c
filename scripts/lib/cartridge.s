; A tiny NES cartridge (iNES, mapper 0: 16 KiB PRG, 8 KiB CHR) whose picture comes from its CHR
; tiles: the screen is filled with blocks of tiles 0 to 3 in diagonal bands, so a change to the
; first 64 bytes of CHR (file offsets $4010-$404F) changes what the emulator shows.
; scripts/checks/patch_in_emulator.sh builds it with cc65:
;   ca65 cartridge.s && ld65 -C cartridge.cfg -o cart.nes cartridge.o

.segment "HEADER"
  .byte "NES", $1A
  .byte 1                       ; 16 KiB PRG
  .byte 1                       ; 8 KiB CHR
  .byte $00, $00                ; mapper 0, horizontal mirroring
  .res 8, 0

.segment "ZEROPAGE"
row: .res 1
block: .res 1

.segment "CODE"
reset:
  sei
  cld
  ldx #$40
  stx $4017                     ; no APU frame interrupt
  ldx #$FF
  txs
  inx
  stx $2000                     ; no NMI
  stx $2001                     ; rendering off
  stx $4010                     ; no DMC interrupt
  bit $2002
: bit $2002                     ; two vertical blanks: the PPU is warm
  bpl :-
: bit $2002
  bpl :-

  lda #$3F                      ; the palettes
  sta $2006
  lda #$00
  sta $2006
  ldx #0
: lda palette, x
  sta $2007
  inx
  cpx #32
  bne :-

  lda #$20                      ; nametable 0: tile ((column / 4) + (row / 4)) mod 4
  sta $2006
  lda #$00
  sta $2006
  sta row
next_row:
  ldx #0
: txa
  lsr
  lsr
  sta block
  lda row
  lsr
  lsr
  clc
  adc block
  and #3
  sta $2007
  inx
  cpx #32
  bne :-
  inc row
  lda row
  cmp #30
  bne next_row
  lda #0                        ; attributes: palette 0 everywhere
  ldx #64
: sta $2007
  dex
  bne :-

  bit $2002                     ; scroll 0,0 on nametable 0, background tiles from $0000
  lda #0
  sta $2005
  sta $2005
  sta $2000
: bit $2002
  bpl :-
  lda #%00001010                ; background on, also in the leftmost 8 pixels
  sta $2001
forever:
  jmp forever

irq:
  rti

.segment "RODATA"
palette:
  .byte $0F, $16, $2A, $30, $0F, $16, $2A, $30, $0F, $16, $2A, $30, $0F, $16, $2A, $30
  .byte $0F, $16, $2A, $30, $0F, $16, $2A, $30, $0F, $16, $2A, $30, $0F, $16, $2A, $30

.segment "VECTORS"
  .word irq, reset, irq

.segment "CHARS"
  ; tile 0: a frame in colour 1
  .byte $FF, $81, $81, $81, $81, $81, $81, $FF, $00, $00, $00, $00, $00, $00, $00, $00
  ; tile 1: solid colour 3
  .byte $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF
  ; tile 2: a checkerboard in colour 2
  .byte $00, $00, $00, $00, $00, $00, $00, $00, $AA, $55, $AA, $55, $AA, $55, $AA, $55
  ; tile 3: a cross, one stroke in colour 1 and the other in colour 2
  .byte $80, $40, $20, $10, $08, $04, $02, $01, $01, $02, $04, $08, $10, $20, $40, $80
