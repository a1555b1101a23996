// video_encoder.h - an H.264 MP4 with sound made by ffmpeg from frames piped to it.
#ifndef RENDERER_TOOLS_PLAYER_VIDEO_ENCODER_H
#define RENDERER_TOOLS_PLAYER_VIDEO_ENCODER_H

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace player {

// The full path of `program` on PATH, or empty.
std::string FindProgram(const std::string& program);

struct VideoSettings {
    std::string path;           // the MP4 to write
    int width = 0, height = 0;  // of the RGB frames
    int frameMs = 33;           // every frame lasts this long: 1000 / frameMs frames per second
    std::string audioPath;      // the sound (any format ffmpeg reads)
    double audioStartSeconds = 0;  // where in the audio file the video begins
    double durationSeconds = 0;    // the length of both streams; audio is cut or padded with silence
};

class VideoEncoder {
public:
    VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    ~VideoEncoder();

    // The ffmpeg command line for the settings.
    static std::vector<std::string> Command(const std::string& ffmpeg, const VideoSettings& settings);

    // Starts ffmpeg; false with a message when it cannot be started.
    bool Start(const std::string& ffmpeg, const VideoSettings& settings, std::string* error);
    // One frame of width x height x 3 bytes, RGB; false once ffmpeg has stopped taking them.
    bool WriteFrame(const uint8_t* rgb);
    // Ends the input and waits for ffmpeg; false when it failed.
    bool Finish(std::string* error);

private:
    pid_t child_ = -1;
    int pipe_ = -1;
    size_t frameBytes_ = 0;
};

}  // namespace player

#endif
