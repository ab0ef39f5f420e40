#include "calls/call_recorder.h"

#include "calls/time_text.h"

#include <utility>

namespace zumi {

CallRecorder::CallRecorder(const Clock& clock, CallStore& store, Trouble trouble)
    : clock_(clock)
    , store_(store)
    , trouble_(std::move(trouble))
{
}

void CallRecorder::started(const std::string& entryName, LinkCounts bytes)
{
    call_ = CallRecord{};
    call_->entry = entryName;
    call_->startLocal = localStamp(clock_.localNow());
    call_->startUtc = utcStamp(clock_.utcNow());
    call_->units = 1;
    start_ = clock_.monotonicNow();
    lastReading_.reset();
    takeBytes(bytes);
    store();
}

void CallRecorder::unitBegun(std::int32_t units, LinkCounts bytes)
{
    if (!call_)
        return;
    call_->units = units;
    takeBytes(bytes);
    takeTime();
    store();
}

void CallRecorder::ended(CallEnd how, LinkCounts bytes)
{
    if (!call_)
        return;
    takeBytes(bytes);
    takeTime();
    call_->endLocal = localStamp(clock_.localNow());
    call_->endUtc = utcStamp(clock_.utcNow());
    call_->endedBy = callEndName(how);
    store();
    call_.reset();
}

// The counters are 32-bit and wrap; the call's totals are the sums of the steps.
void CallRecorder::takeBytes(LinkCounts reading)
{
    if (!reading.readable())
        return;
    if (lastReading_) {
        const std::uint32_t sent = reading.sent - lastReading_->sent;
        const std::uint32_t received = reading.received - lastReading_->received;
        call_->bytesSent += sent;
        call_->bytesReceived += received;
        call_->bytes += std::int64_t{sent} + received;
    }
    lastReading_ = reading;
}

void CallRecorder::takeTime()
{
    call_->onlineSeconds = std::chrono::round<std::chrono::seconds>(clock_.monotonicNow() - start_).count();
}

void CallRecorder::store()
{
    // A row the store could not take at the start is tried again as new.
    const bool ok = call_->id == 0 ? store_.add(*call_) : store_.update(*call_);
    if (ok || told_)
        return;
    told_ = true;
    if (trouble_)
        trouble_("Das Verbindungsprotokoll kann nicht geschrieben werden: " + store_.problem()
                 + "\nZumi z\xC3\xA4hlt weiter, die Verbindung wird aber nicht protokolliert.");
}

} // namespace zumi
