// video_encoder.cpp - see video_encoder.h.  ffmpeg runs as a child process with
// the frames on its standard input; nothing passes through a shell.
#include "video_encoder.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace player {

std::string FindProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0 ? program : std::string();
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t at = 0; at <= dirs.size();) {
        size_t colon = dirs.find(':', at);
        if (colon == std::string::npos) colon = dirs.size();
        const std::string dir = colon > at ? dirs.substr(at, colon - at) : ".";
        const std::string candidate = dir + "/" + program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = colon + 1;
    }
    return std::string();
}

std::vector<std::string> VideoEncoder::Command(const std::string& ffmpeg, const VideoSettings& s) {
    char frameRate[32], start[32], duration[32];
    std::snprintf(frameRate, sizeof frameRate, "1000/%d", s.frameMs);
    std::snprintf(start, sizeof start, "%.3f", s.audioStartSeconds);
    std::snprintf(duration, sizeof duration, "%.3f", s.durationSeconds);
    std::vector<std::string> c = {ffmpeg, "-hide_banner", "-loglevel", "error", "-y",
                                  // input 0: the frames, raw RGB on standard input
                                  "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                                  std::to_string(s.width) + "x" + std::to_string(s.height), "-framerate", frameRate,
                                  "-i", "pipe:0"};
    // input 1: the sound, from where the video begins
    if (s.audioStartSeconds > 0) {
        c.push_back("-ss");
        c.push_back(start);
    }
    c.insert(c.end(), {"-i", s.audioPath, "-map", "0:v:0", "-map", "1:a:0",
                       // H.264 wants even sizes
                       "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-preset", "veryfast", "-crf", "20",
                       "-pix_fmt", "yuv420p",
                       // silence after the end of a short audio file; -t cuts both streams
                       "-af", "apad", "-c:a", "aac", "-b:a", "160k", "-t", duration, "-movflags", "+faststart",
                       s.path});
    return c;
}

VideoEncoder::~VideoEncoder() {
    std::string ignored;
    if (child_ > 0) Finish(&ignored);
}

bool VideoEncoder::Start(const std::string& ffmpeg, const VideoSettings& settings, std::string* error) {
    const std::vector<std::string> command = Command(ffmpeg, settings);
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    // A closed pipe is reported by write, not by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        dup2(fds[0], 0);
        close(fds[0]);
        close(fds[1]);
        execv(argv[0], argv.data());
        std::fprintf(stderr, "karaoke-render: cannot run %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    close(fds[0]);
    child_ = pid;
    pipe_ = fds[1];
    frameBytes_ = size_t(settings.width) * size_t(settings.height) * 3;
    return true;
}

bool VideoEncoder::WriteFrame(const uint8_t* rgb) {
    if (pipe_ < 0) return false;
    for (size_t done = 0; done < frameBytes_;) {
        const ssize_t n = write(pipe_, rgb + done, frameBytes_ - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(pipe_);
            pipe_ = -1;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

bool VideoEncoder::Finish(std::string* error) {
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    if (child_ <= 0) {
        *error = "ffmpeg was not started";
        return false;
    }
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    *error = WIFEXITED(status) ? "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status))
                               : "ffmpeg was stopped by signal " + std::to_string(WTERMSIG(status));
    return false;
}

}  // namespace player
