// song_copy.h - the renderer's own deep copy of the host's song record.
#ifndef RENDERER_SONG_SONG_COPY_H
#define RENDERER_SONG_SONG_COPY_H

#include "renderer.h"

// Longest word text accepted, in UTF-16 code units.
constexpr uint32_t kMaxWordTextLength = 4096;

// Repair lines written per copy; further repairs are counted in one closing line.
constexpr uint32_t kRepairLinesShown = 100;

// Checks `source`, repairs out-of-order times (one numbered debugger line per
// repair) and deep-copies it into `copy`.  A source without lines leaves `copy`
// as it was (false).  Any later failure leaves `copy` empty (false); never half-built.
bool _SongInfoCopy(SongInfo* copy, const SongInfo* source);

// Frees everything a copy owns and sets all its fields to zero.
void DestroySongCopy(SongInfo* copy);

#endif
