#pragma once
#include "core/conn_names.h"
#include "platform/dialup_access.h"

#include <functional>
#include <utility>
#include <vector>

namespace zumi {

// The one owner of the phonebook's sorted names, and so of the connection
// indexes: reads the phonebook when asked and tells the menu and whoever else
// listens. A change the system reports by itself is taken in only once
// nothing holds the old names (no call metered by its slot, no open menu or
// dialog).
class PhonebookOwner {
public:
    // holdsOld: whether anything still works with the names read last.
    PhonebookOwner(DialUpAccess& dialUp, std::function<bool()> holdsOld)
        : dialUp_(dialUp)
        , holdsOld_(std::move(holdsOld))
    {
    }
    PhonebookOwner(const PhonebookOwner&) = delete;
    PhonebookOwner& operator=(const PhonebookOwner&) = delete;

    ConnNames& connNames() { return names_; }
    const ConnNames& connNames() const { return names_; }
    // What the last read listed, or why it listed nothing.
    const Phonebook& listed() const { return listed_; }

    // Reads the phonebook now and tells the listeners.
    const Phonebook& reload();
    // The system says the phonebook changed.
    void changedOutside() { stale_ = true; }
    // Reads a reported change once nothing holds the old names; true when it did.
    bool takeInChange();

    void onChanged(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

private:
    DialUpAccess& dialUp_;
    std::function<bool()> holdsOld_;
    ConnNames names_{};
    Phonebook listed_;
    bool stale_ = false;
    std::vector<std::function<void()>> listeners_;
};

} // namespace zumi
