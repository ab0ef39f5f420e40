#include "app/phonebook_owner.h"

#include "ras/connection_queries.h"

namespace zumi {

const Phonebook& PhonebookOwner::reload()
{
    listed_ = loadPhonebook(dialUp_, names_);
    for (const auto& listener : listeners_)
        listener();
    return listed_;
}

bool PhonebookOwner::takeInChange()
{
    if (!stale_ || (holdsOld_ && holdsOld_()))
        return false;
    stale_ = false;
    reload();
    return true;
}

} // namespace zumi
