// progress.h - how far a long job has come: on a terminal a bar redrawn in place,
// otherwise (a log, a pipe) one line every few seconds; both end with a final line.
#ifndef RENDERER_TOOLS_PLAYER_PROGRESS_H
#define RENDERER_TOOLS_PLAYER_PROGRESS_H

#include <chrono>
#include <cstdio>
#include <string>

namespace player {

class Progress {
public:
    // `label` names the job; `totalMs` is the song time it covers.
    Progress(FILE* out, bool terminal, std::string label, uint32_t totalMs, double logSeconds = 5.0)
        : out_(out), terminal_(terminal), label_(std::move(label)), totalMs_(totalMs), logSeconds_(logSeconds),
          begin_(Clock::now()), last_(begin_) {}

    // `doneMs` of the song time are made.
    void Update(uint32_t doneMs) {
        const Clock::time_point now = Clock::now();
        const double sinceLast = std::chrono::duration<double>(now - last_).count();
        if (sinceLast < (terminal_ ? 0.1 : logSeconds_)) return;
        last_ = now;
        Print(doneMs, false);
    }

    void Finish() { Print(totalMs_, true); }

    double Seconds() const { return std::chrono::duration<double>(Clock::now() - begin_).count(); }

private:
    using Clock = std::chrono::steady_clock;

    static std::string MinutesSeconds(uint32_t ms) {
        char text[32];
        std::snprintf(text, sizeof text, "%u:%02u", ms / 60000, ms / 1000 % 60);
        return text;
    }

    void Print(uint32_t doneMs, bool last) {
        const double seconds = Seconds();
        const int percent = totalMs_ ? int(uint64_t(doneMs) * 100 / totalMs_) : 100;
        // x real time: song seconds made per second of work
        const double speed = seconds > 0 ? doneMs / 1000.0 / seconds : 0.0;
        if (terminal_) {
            const int width = 30, filled = percent * width / 100;
            std::fprintf(out_, "\r%-7s [%.*s%*s] %3d%%  %s / %s  %.1fx real time", label_.c_str(), filled,
                         "##############################", width - filled, "", percent, MinutesSeconds(doneMs).c_str(),
                         MinutesSeconds(totalMs_).c_str(), speed);
            if (last) std::fputc('\n', out_);
        } else {
            std::fprintf(out_, "%s: %d%% (%s of %s), %.1fx real time%s\n", label_.c_str(), percent,
                         MinutesSeconds(doneMs).c_str(), MinutesSeconds(totalMs_).c_str(), speed, last ? ", done" : "");
        }
        std::fflush(out_);
    }

    FILE* out_;
    bool terminal_;
    std::string label_;
    uint32_t totalMs_;
    double logSeconds_;
    Clock::time_point begin_, last_;
};

}  // namespace player

#endif
