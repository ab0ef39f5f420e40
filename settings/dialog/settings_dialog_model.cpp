#include "settings/dialog/settings_dialog_model.h"

#include "core/numbers.h"

#include <algorithm>
#include <utility>

namespace zumi {

SettingsDialogModel::SettingsDialogModel(SettingsDialogTarget target, const Phonebook& listed,
                                         const std::function<std::string(const Phonebook&)>& phonebookTrouble,
                                         CopyBuffer& copyBuffer)
    : target_(std::move(target))
    , copyBuffer_(copyBuffer)
    // The tariff tables have 30 slots; the phonebook query hands over no more.
    , listed_(listed.entries.begin(),
              listed.entries.begin() + std::min<std::size_t>(listed.entries.size(), kMaxConnections))
{
    if (listed_.empty() && listed.error != PhonebookError::None && phonebookTrouble)
        phonebookTrouble_ = phonebookTrouble(listed);

    const TariffTables& tables = target_.settings.tariffs;
    start_.assign(listed_.size(), {});
    takt_.assign(listed_.size(), {});
    for (std::size_t i = 0; i < listed_.size(); ++i) {
        for (int b = 0; b < kBands; ++b) {
            start_[i][b] = tables.start(static_cast<int>(i), b);
            takt_[i][b] = tables.takt(static_cast<int>(i), b);
        }
    }
    if (!listed_.empty())
        select(0);

    const Options& o = target_.settings.options;
    options_.hangupSound = o.HangupSnd;
    options_.warnSound = o.WarnSnd;
    options_.vorlaufText = std::to_string(o.Vorlauf);
    options_.autoHangup = o.AutoHangup;
    // A byte count that is none of the list's items shows the middle one.
    options_.hangupBytesText = "1024";
    for (int k = 8; k <= 12; ++k) {
        if (o.HangupBytes == (1 << k))
            options_.hangupBytesText = std::to_string(1 << k);
    }
    options_.hangupTakte = o.HangupTakte;
    clampValue(options_.hangupTakte, 1, 10);
    options_.showSpeed = o.ShowSpeed;
    options_.showOnlineTime = o.ShowOnlineTime;
    options_.showRest = o.ShowRest;
}

void SettingsDialogModel::select(int position)
{
    const int count = static_cast<int>(listed_.size());
    if (position < 0 || position >= count) {
        selected_ = -1;
        return;
    }
    selected_ = position;
    // The boxes show the record of the entry's slot and write it back to the selected position;
    // connNames and the list agree, so that is the same one, and never one past the working copies.
    const int slot = findConnectionSlot(target_.connNames, listed_[position]);
    if (slot != position && slot < count) {
        start_[position] = start_[slot];
        takt_[position] = takt_[slot];
    }
}

const std::string& SettingsDialogModel::tariffText(int band, bool takt) const
{
    static const std::string none;
    if (selected_ < 0 || band < 0 || band >= kBands)
        return none;
    return (takt ? takt_ : start_)[selected_][band];
}

std::array<std::string, kBands>& SettingsDialogModel::column(bool takt)
{
    return (takt ? takt_ : start_)[selected_];
}

void SettingsDialogModel::editTariff(int band, bool takt, const std::string& text)
{
    if (selected_ >= 0 && band >= 0 && band < kBands)
        column(takt)[band] = text;
}

void SettingsDialogModel::copy()
{
    if (selected_ < 0)
        return;
    copyBuffer_.start = column(false);
    copyBuffer_.takt = column(true);
}

void SettingsDialogModel::paste()
{
    if (selected_ < 0)
        return;
    column(false) = copyBuffer_.start;
    column(true) = copyBuffer_.takt;
}

DialogSettings SettingsDialogModel::dialogSettings() const
{
    DialogSettings result;
    result.start = start_;
    result.takt = takt_;
    result.hangupSound = options_.hangupSound;
    result.warnSound = options_.warnSound;
    result.vorlaufText = options_.vorlaufText;
    result.autoHangup = options_.autoHangup;
    result.hangupBytesText = options_.hangupBytesText;
    result.hangupTakte = options_.hangupTakte;
    result.showSpeed = options_.showSpeed;
    result.showOnlineTime = options_.showOnlineTime;
    result.showRest = options_.showRest;
    return result;
}

OkAnswer SettingsDialogModel::ok()
{
    if (const auto bad = findUnstorableTariffText(start_, takt_))
        return {false, unstorableTariffMessage(listed_[bad->connection], *bad), bad};
    const bool stored = storeDialogSettings(target_.store, target_.connNames, dialogSettings(), target_.settings);
    if (target_.setOption)
        target_.setOption();
    if (stored)
        return {true, {}, std::nullopt};
    return {true, "Die Einstellungen konnten nicht gespeichert werden.\nSie gelten nur, bis Zumi beendet wird.",
            std::nullopt};
}

} // namespace zumi
