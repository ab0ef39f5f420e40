#pragma once
#include "calls/call_store.h"
#include "platform/clock.h"
#include "tariff/metering_log.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// Keeps one row per metered connection: stored when metering starts, brought
// up to date at each unit begun and at the end, so a crash loses at most the
// unit in progress. The bytes of each tick are kept in memory and go with
// those writes. A store that fails never stops the metering and loses no
// call: what could not be written (the running row, ended calls) is written
// at the next write, on a later tick, or when the recorder goes. The first
// failure of a run is told, later ones are not.
class CallRecorder final : public MeteringLog {
public:
    using Trouble = std::function<void(const std::string& text)>;
    // The call as it stands after each write (or try) at its start, its units and its end.
    using Changed = std::function<void(const CallRecord& call)>;
    CallRecorder(const Clock& clock, CallStore& store, Trouble trouble, Changed changed = {});
    ~CallRecorder() override;
    CallRecorder(const CallRecorder&) = delete;
    CallRecorder& operator=(const CallRecorder&) = delete;

    void started(const std::string& entryName, LinkCounts bytes) override;
    void unitBegun(std::int32_t units, LinkCounts bytes) override;
    void ended(CallEnd how, LinkCounts bytes) override;
    void tick(LinkCounts bytes) override;

    // The call being metered, if any.
    const std::optional<CallRecord>& current() const { return call_; }

private:
    void takeBytes(LinkCounts reading);
    void takeTime();
    void storeCall();
    void catchUp();
    bool store(CallRecord& call);

    const Clock& clock_;
    CallStore& store_;
    Trouble trouble_;
    Changed changed_;
    bool told_ = false;
    std::optional<CallRecord> call_;
    bool callBehind_ = false;           // the running call's last write failed
    std::vector<CallRecord> unwritten_; // ended calls not written yet, oldest first
    int ticksToRetry_ = 0;
    std::chrono::steady_clock::time_point start_{};
    std::optional<LinkCounts> lastReading_;
};

} // namespace zumi
