#pragma once
#include "calls/call_store.h"
#include "platform/clock.h"
#include "tariff/metering_log.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zumi {

// Keeps one row per metered connection: stored when metering starts, brought
// up to date at each unit begun and at the end, so a crash loses at most the
// unit in progress. A store that fails never stops the metering; the first
// failure of a run is told, later ones are not.
class CallRecorder final : public MeteringLog {
public:
    using Trouble = std::function<void(const std::string& text)>;
    CallRecorder(const Clock& clock, CallStore& store, Trouble trouble);

    void started(const std::string& entryName, LinkCounts bytes) override;
    void unitBegun(std::int32_t units, LinkCounts bytes) override;
    void ended(CallEnd how, LinkCounts bytes) override;

    // The call being metered, if any.
    const std::optional<CallRecord>& current() const { return call_; }

private:
    void takeBytes(LinkCounts reading);
    void takeTime();
    void store();

    const Clock& clock_;
    CallStore& store_;
    Trouble trouble_;
    bool told_ = false;
    std::optional<CallRecord> call_;
    std::chrono::steady_clock::time_point start_{};
    std::optional<LinkCounts> lastReading_;
};

} // namespace zumi
