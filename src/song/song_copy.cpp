// song_copy.cpp - admission, repair and deep copy of the host's song record.
//
// Repairs, each logged as "_SongInfoCopy error N\r\n":
//   -1  pitch range not minPitch < maxPitch      -> maxPitch = minPitch + 10
//    0  line start > end                         -> end = start
//    1  line start < song start                  -> start = song start
//    2  line end > song end                      -> end = song end
//    3  line end <= start                        -> end = start + 1
//    4  note array cannot be allocated           -> copy destroyed, false
//  5-7  note start/end outside the line, or start > end
// 8-10  word start/end outside the line, or start > end
//   11  word text longer than 4096 units         -> copy destroyed, false
#include "song/song_copy.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

// Sizes are checked against 32 bits with the records' wire sizes, as on the
// 32-bit target, and no single array may exceed what a 32-bit process could hold.
constexpr uint64_t kMaxArrayBytes = uint64_t(1) << 30;

// The repair lines of one copy: the first kRepairLinesShown are written, the rest
// only counted, so that a song with a great many repairs costs no more than a
// moment in the debugger output.
class RepairLog {
public:
    RepairLog() = default;
    RepairLog(const RepairLog&) = delete;
    RepairLog& operator=(const RepairLog&) = delete;
    ~RepairLog() {
        if (!withheld_) return;
        char text[96];
        std::snprintf(text, sizeof text, "_SongInfoCopy: %u more repairs not shown\r\n", withheld_);
        platform::WriteDebugOutput(text);
    }
    // A repair; its line is withheld once enough have been written.
    void Repair(int code) {
        if (written_ >= kRepairLinesShown) {
            ++withheld_;
            return;
        }
        ++written_;
        Write(code);
    }
    // A failure that rejects the song: always written.
    void Failure(int code) { Write(code); }

private:
    static void Write(int code) {
        char text[64];
        std::snprintf(text, sizeof text, "_SongInfoCopy error %d\r\n", code);
        platform::WriteDebugOutput(text);
    }

    uint32_t written_ = 0;
    uint32_t withheld_ = 0;
};

// Zeroed memory for `count` records of `wireSize` bytes (`memorySize` here), or
// null when the 32-bit size would overflow or the memory is not there.
void* AllocateRecords(uint32_t count, uint32_t wireSize, size_t memorySize) {
    const uint64_t wireBytes = uint64_t(count) * wireSize;
    if (wireBytes > UINT32_MAX) return nullptr;
    const uint64_t bytes = uint64_t(count) * memorySize;
    if (bytes > kMaxArrayBytes) return nullptr;
    return std::calloc(count, memorySize);
}

// Copies the notes of one line; false when the array cannot be allocated.
bool CopyNotes(SongLine* line, const SongLine& source, RepairLog& log) {
    if (!source.notes || source.noteCount == 0) return true;
    SongNote* notes = static_cast<SongNote*>(AllocateRecords(source.noteCount, 12, sizeof(SongNote)));
    if (!notes) {
        log.Failure(4);
        return false;
    }
    std::memcpy(notes, source.notes, size_t(source.noteCount) * sizeof(SongNote));
    line->notes = notes;
    line->noteCount = source.noteCount;
    for (uint32_t n = 0; n < source.noteCount; ++n) {
        SongNote& note = notes[n];
        if (note.startTime < line->startTime) {
            note.startTime = line->startTime;
            log.Repair(5);
        }
        if (note.endTime > line->endTime) {
            note.endTime = line->endTime;
            log.Repair(6);
        }
        if (note.startTime > note.endTime) {
            note.endTime = note.startTime + 1;
            log.Repair(7);
        }
    }
    return true;
}

// Copies the words of one line and their texts; false rejects the whole song.
bool CopyWords(SongLine* line, const SongLine& source, RepairLog& log) {
    if (!source.words || source.wordCount == 0) return true;
    SongWord* words = static_cast<SongWord*>(AllocateRecords(source.wordCount, 16, sizeof(SongWord)));
    if (!words) return false;
    // Attached before the texts, so that destroying the copy frees what was made.
    line->words = words;
    line->wordCount = source.wordCount;
    for (uint32_t w = 0; w < source.wordCount; ++w) {
        const SongWord& from = source.words[w];
        SongWord& word = words[w];
        word.startTime = from.startTime;
        word.endTime = from.endTime;
        word.textLength = from.textLength;
        if (word.startTime < line->startTime) {
            word.startTime = line->startTime;
            log.Repair(8);
        }
        if (word.endTime > line->endTime) {
            word.endTime = line->endTime;
            log.Repair(9);
        }
        if (word.startTime > word.endTime) {
            word.endTime = word.startTime + 1;
            log.Repair(10);
        }
        if (from.textLength > kMaxWordTextLength) {
            log.Failure(11);
            return false;
        }
        if (from.text && from.textLength != 0) {
            uint16_t* text = static_cast<uint16_t*>(std::malloc((size_t(from.textLength) + 1) * sizeof(uint16_t)));
            if (!text) return false;
            // The text's own units; the terminating unit is written here rather
            // than trusted from the host.
            std::memcpy(text, from.text, size_t(from.textLength) * sizeof(uint16_t));
            text[from.textLength] = 0;
            word.text = text;
        }
    }
    return true;
}

bool CopySong(SongInfo* copy, const SongInfo* source, RepairLog& log);

}  // namespace

void DestroySongCopy(SongInfo* copy) {
    if (!copy) return;
    if (copy->lines) {
        for (uint32_t i = 0; i < copy->lineCount; ++i) {
            SongLine& line = copy->lines[i];
            std::free(line.notes);
            if (line.words)
                for (uint32_t w = 0; w < line.wordCount; ++w) std::free(const_cast<uint16_t*>(line.words[w].text));
            std::free(line.words);
        }
        std::free(copy->lines);
    }
    std::memset(copy, 0, sizeof *copy);
}

bool _SongInfoCopy(SongInfo* copy, const SongInfo* source) {
    if (!source || !source->lines || source->lineCount == 0 || !copy) return false;
    RepairLog log;  // writes the count of withheld repair lines when the copy ends
    return CopySong(copy, source, log);
}

namespace {

bool CopySong(SongInfo* copy, const SongInfo* source, RepairLog& log) {
    DestroySongCopy(copy);

    copy->startTime = source->startTime;
    copy->endTime = source->endTime;
    copy->maxPitch = source->maxPitch;
    copy->minPitch = source->minPitch;
    copy->reserved = source->reserved;
    SongLine* lines = static_cast<SongLine*>(AllocateRecords(source->lineCount, 24, sizeof(SongLine)));
    if (!lines) {
        DestroySongCopy(copy);
        return false;
    }
    copy->lines = lines;
    copy->lineCount = source->lineCount;

    if (!(copy->minPitch < copy->maxPitch)) {
        copy->maxPitch = copy->minPitch + 10.0f;
        log.Repair(-1);
    }

    for (uint32_t i = 0; i < source->lineCount; ++i) {
        const SongLine& from = source->lines[i];
        SongLine& line = lines[i];
        line.startTime = from.startTime;
        line.endTime = from.endTime;
        if (line.startTime > line.endTime) {
            line.endTime = line.startTime;
            log.Repair(0);
        }
        if (line.startTime < copy->startTime) {
            line.startTime = copy->startTime;
            log.Repair(1);
        }
        if (line.endTime > copy->endTime) {
            line.endTime = copy->endTime;
            log.Repair(2);
        }
        if (line.endTime <= line.startTime) {
            line.endTime = line.startTime + 1;
            log.Repair(3);
        }
        if (!CopyNotes(&line, from, log) || !CopyWords(&line, from, log)) {
            DestroySongCopy(copy);
            return false;
        }
    }
    return true;
}

}  // namespace
