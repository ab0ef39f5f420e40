#include "calls/call_recorder.h"

#include "calls/time_text.h"

#include <utility>

namespace zumi {
namespace {

// Ticks between two tries while a write is owed: each try may wait a moment
// for another program's lock, which should not stall every tick.
constexpr int kRetryTicks = 10;

} // namespace

CallRecorder::CallRecorder(const Clock& clock, CallStore& store, Trouble trouble, Changed changed)
    : clock_(clock)
    , store_(store)
    , trouble_(std::move(trouble))
    , changed_(std::move(changed))
{
}

// The last chance for what is still owed, told no more: the program is
// ending. A call still up keeps its last row.
CallRecorder::~CallRecorder()
{
    told_ = true;
    if (call_ && callBehind_)
        storeCall();
    catchUp();
}

void CallRecorder::started(const std::string& entryName, LinkCounts bytes)
{
    catchUp();
    call_ = CallRecord{};
    call_->entry = entryName;
    call_->startLocal = localStamp(clock_.localNow());
    call_->startUtc = utcStamp(clock_.utcNow());
    call_->units = 1;
    start_ = clock_.monotonicNow();
    lastReading_.reset();
    takeBytes(bytes);
    storeCall();
    if (changed_)
        changed_(*call_);
}

void CallRecorder::unitBegun(std::int32_t units, LinkCounts bytes)
{
    if (!call_)
        return;
    catchUp();
    call_->units = units;
    takeBytes(bytes);
    takeTime();
    storeCall();
    if (changed_)
        changed_(*call_);
}

void CallRecorder::ended(CallEnd how, LinkCounts bytes)
{
    if (!call_)
        return;
    catchUp();
    takeBytes(bytes);
    takeTime();
    call_->endLocal = localStamp(clock_.localNow());
    call_->endUtc = utcStamp(clock_.utcNow());
    call_->endedBy = callEndName(how);
    if (!unwritten_.empty() || !store(*call_))
        unwritten_.push_back(*call_);
    if (changed_)
        changed_(*call_);
    call_.reset();
    callBehind_ = false;
}

void CallRecorder::tick(LinkCounts bytes)
{
    if (call_)
        takeBytes(bytes);
    if (!callBehind_ && unwritten_.empty())
        return;
    if (++ticksToRetry_ < kRetryTicks)
        return;
    catchUp();
    if (callBehind_)
        storeCall();
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

// Behind older calls that could not be written just now, a try would only
// wait for the same lock again.
void CallRecorder::storeCall()
{
    callBehind_ = !unwritten_.empty() || !store(*call_);
}

void CallRecorder::catchUp()
{
    while (!unwritten_.empty() && store(unwritten_.front()))
        unwritten_.erase(unwritten_.begin());
}

bool CallRecorder::store(CallRecord& call)
{
    ticksToRetry_ = 0;
    // A row the store could not take at the start is tried again as new.
    const bool ok = call.id == 0 ? store_.add(call) : store_.update(call);
    if (ok || told_)
        return ok;
    told_ = true;
    if (trouble_)
        trouble_("Das Verbindungsprotokoll kann gerade nicht geschrieben werden: " + store_.problem()
                 + "\nZumi z\xC3\xA4hlt weiter und tr\xC3\xA4gt die Verbindung nach, sobald das Schreiben "
                   "wieder gelingt.");
    return false;
}

} // namespace zumi
