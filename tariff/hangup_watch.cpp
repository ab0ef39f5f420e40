#include "tariff/hangup_watch.h"

namespace zumi {

void HangupWatch::requested(const HangupRequest& request)
{
    if (request.handle == 0)
        return;
    if (request.refusedError == 0) {
        asked_ = request.cause;
        askedHandle_ = request.handle;
    }
    if (request.handle == failedHandle_ && request.cause != HangupCause::Menu)
        return; // the user knows already; the rule keeps trying silently
    if (request.refusedError != 0) {
        pending_.reset();
        failedHandle_ = request.handle;
        reports_.hangupFailed(request, request.refusedError);
        return;
    }
    if (pending_ && pending_->handle == request.handle)
        return; // already waiting for this connection to end
    pending_ = request;
    deadline_ = clock_.monotonicNow() + kHangupGrace;
}

void HangupWatch::refusedLater(const LateRefusal& refusal)
{
    if (refusal.request == LateRefusal::Request::Dial) {
        reports_.dialRefused(refusal);
        return;
    }
    if (!pending_ || pending_->handle != refusal.handle)
        return; // told already, or the link went meanwhile
    HangupRequest request = *pending_;
    request.refusal = refusal;
    pending_.reset();
    failedHandle_ = refusal.handle;
    reports_.hangupFailed(request, 0);
}

void HangupWatch::linkSeen(std::int32_t handle)
{
    if (handle != failedHandle_)
        failedHandle_ = 0;
    if (!pending_)
        return;
    if (handle != pending_->handle) {
        if (pending_->cause != HangupCause::Menu)
            reports_.automaticHangupDone(*pending_);
        pending_.reset();
        return;
    }
    if (clock_.monotonicNow() >= deadline_) {
        failedHandle_ = pending_->handle;
        reports_.hangupFailed(*pending_, 0);
        pending_.reset();
    }
}

} // namespace zumi
