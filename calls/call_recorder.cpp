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

void CallRecorder::started(const std::string& entryName, std::uint32_t bytes)
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

void CallRecorder::unitBegun(std::int32_t units, std::uint32_t bytes)
{
    if (!call_)
        return;
    call_->units = units;
    takeBytes(bytes);
    takeTime();
    store();
}

void CallRecorder::ended(CallEnd how, std::uint32_t bytes)
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

// The counter is 32-bit and wraps; the call's total is the sum of the steps.
void CallRecorder::takeBytes(std::uint32_t reading)
{
    if (reading == 0)
        return; // nothing readable
    if (lastReading_)
        call_->bytes += static_cast<std::uint32_t>(reading - *lastReading_);
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
