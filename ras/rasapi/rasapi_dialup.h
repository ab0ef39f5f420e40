#pragma once
#include "platform/dialup_access.h"
#include "ras/rasapi/handle_numbers.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zumi {

// Dial-up networking as Windows' RAS (rasapi32.dll) provides it, with its wide
// functions:
// - the connections in the order RAS lists them, each handle as a number
//   that HandleNumbers keeps for it; the state is RAS's own number;
// - a hang-up is asked of RAS and not waited for; when RAS refuses it, the
//   refusal with RAS's text is told at the next query, once the caller has
//   noted the request;
// - the phonebook is RAS's default one; dialing starts rasphone.
class RasApiDialUp final : public DialUpAccess {
public:
    ConnectionList enumConnections() override;
    std::int32_t connectionState(std::int32_t handle) override;
    int hangUp(std::int32_t handle) override;
    Phonebook phonebookEntries() override;
    DialResult dial(const std::string& entryName) override;
    void onLateRefusal(LateRefusalHandler handler) override { lateRefusal_ = std::move(handler); }

    // The numbers shared with the byte counter.
    const rasapi::HandleNumbers& handles() const { return handles_; }

private:
    void tellRefusal();

    rasapi::HandleNumbers handles_;
    std::uint32_t connSize_ = 0; // the RASCONN layout RAS took last, 0 before the first listing
    LateRefusalHandler lateRefusal_;
    std::optional<LateRefusal> refusal_;
};

} // namespace zumi
