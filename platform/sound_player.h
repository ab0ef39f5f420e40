#pragma once
#include <string>

namespace zumi {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing one of the program's sound files ("pop.wav") and returns
    // at once; false when playback could not start (missing file, no device).
    // noWait: give up instead of queueing when another sound is busy.
    virtual bool play(const std::string& fileName, bool noWait) = 0;
    virtual void beep() = 0;
};

} // namespace zumi
