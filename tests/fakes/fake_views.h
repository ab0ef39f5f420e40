#pragma once
#include "platform/byte_source.h"
#include "platform/sound_player.h"
#include "tariff/hangup_watch.h"
#include "tariff/monitor_views.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zumi::test {

// One list of calls that several fakes write to, so a test can check the
// order of calls across the tray, the menu, the info window and the sound.
using CallLog = std::vector<std::string>;

struct LoggingFake {
    explicit LoggingFake(CallLog* log = nullptr)
        : log_(log)
    {
    }
    void note(std::string call)
    {
        if (log_)
            log_->push_back(std::move(call));
    }
    CallLog* log_;
};

// The info window: keeps every text and bar value it was given.
class FakeInfoView final : public InfoView, LoggingFake {
public:
    using LoggingFake::LoggingFake;
    std::vector<std::string> timeTexts, taktTexts, speedTexts;
    std::vector<double> progressValues;

    const std::string& timeText() const { return last(timeTexts); }
    const std::string& taktText() const { return last(taktTexts); }
    const std::string& speedText() const { return last(speedTexts); }
    // Keeps long runs from piling texts up: a real window keeps only the last.
    void forgetShown()
    {
        for (auto* texts : {&timeTexts, &taktTexts, &speedTexts})
            texts->clear();
        progressValues.clear();
    }

    void setTimeText(const std::string& text) override { keep(timeTexts, "info.time ", text); }
    void setTaktText(const std::string& text) override { keep(taktTexts, "info.takt ", text); }
    void setSpeedText(const std::string& text) override { keep(speedTexts, "info.speed ", text); }
    void setProgressValue(double percent) override
    {
        progressValues.push_back(percent);
        note("info.progress " + std::to_string(percent));
    }
    void showInfoWindow() override { note("info.show"); }
    void keepInfoOnTop() override { note("info.keepOnTop"); }
    void unload() override { note("info.unload"); }

private:
    void keep(std::vector<std::string>& texts, const char* call, const std::string& text)
    {
        texts.push_back(text);
        note(call + text);
    }
    static const std::string& last(const std::vector<std::string>& texts)
    {
        static const std::string none;
        return texts.empty() ? none : texts.back();
    }
};

class FakeTrayView final : public TrayView, LoggingFake {
public:
    using LoggingFake::LoggingFake;
    void trayModify(TrayIcon icon, const std::string& text) override
    {
        note(std::string(icon == TrayIcon::Online ? "tray.online " : "tray.offline ") + text);
    }
};

class FakeMenuView final : public MenuView, LoggingFake {
public:
    using LoggingFake::LoggingFake;
    void setDisconnectShown(bool shown) override { note(shown ? "menu.disconnectShown 1" : "menu.disconnectShown 0"); }
    void setMeteringEnabled(bool metering) override { note(metering ? "menu.metering 1" : "menu.metering 0"); }
};

class FakeSoundPlayer final : public SoundPlayer, LoggingFake {
public:
    using LoggingFake::LoggingFake;
    bool playSucceeds = true;
    bool play(const std::string& fileName, bool noWait) override
    {
        note("sound.play " + fileName + (noWait ? " nowait" : " wait"));
        return playSucceeds;
    }
    void beep() override { note("sound.beep"); }
};

class FakePopupWatchdog final : public PopupWatchdog {
    void run() override {}
};

class FakeHangupReports final : public HangupReports, LoggingFake {
public:
    using LoggingFake::LoggingFake;
    void hangupFailed(const HangupRequest& request, int error) override
    {
        note("hangup.failed " + request.entryName + " " + std::to_string(static_cast<int>(request.cause)) + " "
             + std::to_string(error) + (request.refusal ? " " + request.refusal->fault : ""));
    }
    void automaticHangupDone(const HangupRequest& request) override
    {
        note("hangup.done " + request.entryName + " " + std::to_string(static_cast<int>(request.cause)) + " "
             + std::to_string(request.onlineSeconds) + " s " + std::to_string(request.units) + " units");
    }
    void dialRefused(const LateRefusal& refusal) override { note("dial.refused " + refusal.entryName); }
};

// The byte counter: reads whatever the test set.
struct FakeByteCounter final : ByteSource {
    std::uint32_t total = 0; // received, less what is sent
    std::uint32_t sent = 0;
    LinkCounts counts(std::int32_t) override { return {sent, total - sent}; }
};

} // namespace zumi::test
