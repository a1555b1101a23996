// timeline.cpp - the current line and the window of wanted lines.
#include "song/timeline.h"

bool TimelineHasWork(const SongInfo& song, uint32_t time, bool prepared) {
    if (time > song.endTime) return false;
    return !(time < song.startTime && prepared);
}

void AdvanceCurrentLine(const SongInfo& song, uint32_t time, uint32_t* currentLine, PitchTrail* trail) {
    if (!song.lines) return;
    for (uint32_t i = *currentLine; i < song.lineCount; ++i) {
        const SongLine& line = song.lines[i];
        if (line.endTime < time) {
            trail->clear();  // the line is over
        } else if (time >= line.startTime) {
            if (i != *currentLine) {
                trail->clear();
                *currentLine = i;
            }
            return;  // the line being sung
        }
        // else the line has not begun: look further
    }
}

LineRange WantedLines(int32_t mode, uint32_t currentLine) {
    LineRange range;
    if (mode == kGameMode) {
        range.first = currentLine == 0 ? 0 : currentLine - 1;
    } else if (mode == kLyricsMode) {
        range.first = currentLine;
    } else {
        return range;
    }
    range.last = range.first + (kWindowLines - 1);
    return range;
}
