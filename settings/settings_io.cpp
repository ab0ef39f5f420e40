#include "settings/settings_io.h"

#include "core/numbers.h"
#include "settings/info_place.h"
#include "settings/tariff_record.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zumi {
namespace {

using Change = SettingsStore::Change;

void loadTariffRecords(const SettingsStore& store, const ConnNames& connNames, TariffTables& tables)
{
    for (int k = 0;; ++k) {
        const std::string text = store.read(recordKey(k), "");
        if (auto matched = matchTariffRecord(text, connNames)) {
            const int c = matched->connection;
            for (int b = 0; b < kBands; ++b) {
                tables.setStart(c, b, std::move(matched->record.start[b]));
                tables.setTakt(c, b, std::move(matched->record.takt[b]));
            }
        }
        if (endsRecordList(text))
            return;
    }
}

// Whether a screen shows the stored top left corner; a screen counts from
// just past its left and top edges, as the primary one always has.
bool cornerShown(std::int32_t left, std::int32_t top, const ScreenMetrics& screen)
{
    const auto within
        = [&](double l, double t, double r, double b) { return left > l && left <= r && top > t && top <= b; };
    if (within(0, 0, screen.screenWidth, screen.screenHeight))
        return true;
    const PixelRect& primary = screen.layout.primary;
    const double x = screen.twipsPerPixelX;
    const double y = screen.twipsPerPixelY;
    for (const PixelRect& s : screen.layout.screens) {
        if (within((s.left - primary.left) * x, (s.top - primary.top) * y, (s.right - primary.left) * x,
                   (s.bottom - primary.top) * y))
            return true;
    }
    return false;
}

void loadPosition(const SettingsStore& store, const ScreenMetrics& screen, const FindKolpRect& findKolp,
                  InfoPosition& position)
{
    const double width = screen.screenWidth;
    if (const auto right = numericValue(store.read("Right", ""))) {
        position.infoRight = roundToInt32(*right);
        position.infoLeft = roundToInt32(width - *right - screen.infoWidth);
    } else if (const auto left = numericValue(store.read("Left", ""))) {
        position.infoLeft = roundToInt32(*left);
        position.infoRight = roundToInt32(width - screen.infoWidth - position.infoLeft);
    } else if (const auto kolp = findKolp ? findKolp() : std::nullopt) {
        // Right below the sibling window, right edges aligned.
        const PixelRect& primary = screen.layout.primary;
        position.infoRight = roundToInt32(width - (kolp->right - primary.left) * screen.twipsPerPixelX);
        position.infoLeft = roundToInt32(width - position.infoRight - screen.infoWidth);
        position.infoTop = roundToInt32(screen.twipsPerPixelY * (kolp->bottom - primary.top));
    }
    if (position.infoTop == 0) {
        if (const auto top = numericValue(store.read("Top", "")))
            position.infoTop = roundToInt32(*top);
    }
    if (!cornerShown(position.infoLeft, position.infoTop, screen)) {
        position.infoLeft = roundToInt32(width - kDefaultInfoLeftFromRight);
        position.infoTop = kDefaultInfoTop;
    }
}

// A Show value that is present but not a number (an empty text included)
// reads as the default, on: a stray edit should not hide information.
bool showFlag(const SettingsStore& store, const std::string& key)
{
    const auto value = numericValue(store.read(key, "1"));
    return value ? *value != 0 : true;
}

void loadOptions(SettingsStore& store, Options& options)
{
    options.HangupSnd = store.read("HangupSnd", "0") != "0";
    options.WarnSnd = store.read("WarnSnd", "0") != "0";
    options.AutoHangup = store.read("AutoHangup", "0") != "0";
    options.Vorlauf = leadingNumber(store.read("Vorlauf", "2"));

    // Written back as read, so the default is in the store from the first
    // run on; a text already stored would only be written over with itself.
    const auto storedBytes = store.read("HangupBytes");
    const std::string bytes = storedBytes.value_or("512");
    options.HangupBytes = leadingNumber(bytes);
    if (!storedBytes)
        store.write("HangupBytes", bytes);

    options.HangupTakte = leadingNumber(store.read("HangupTakte", "1"));
    clampValue(options.HangupTakte, 1, 10);
    options.ShowSpeed = showFlag(store, "ShowSpeed");
    options.ShowOnlineTime = showFlag(store, "ShowOnlineTime");
    options.ShowRest = showFlag(store, "ShowRest");
}

// The position a record key stands for, when it is one recordKey makes.
std::optional<long long> recordIndex(const std::string& key)
{
    if (key.size() < 2 || !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    if (key.size() > 2 && key.front() == '0')
        return std::nullopt; // "007" is no key of ours and is never read
    if (key.size() > 12)
        return 1'000'000'000'000LL;
    return std::stoll(key);
}

// The records the loader reaches today that belong to no entry listed now,
// in key order; of two with the same name only the later one (which wins on
// loading) is kept. Records of listed entries and records that are ignored
// anyway (no name) are left out.
std::vector<std::string> departedRecords(const SettingsStore& store, const ConnNames& connNames, int listed)
{
    std::vector<std::pair<std::string, std::string>> kept; // name, text ("" once a later one took over)
    std::unordered_map<std::string, std::size_t> latest;   // name -> its place in kept
    for (int k = 0;; ++k) {
        std::string text = store.read(recordKey(k), "");
        if (endsRecordList(text))
            break;
        std::string name;
        if (const auto matched = matchTariffRecord(text, connNames)) {
            if (matched->connection < listed)
                continue; // its fresh record is written now
            name = connNames[matched->connection];
        } else {
            const auto withCommas = parseTariffRecordWithCommaName(text);
            name = withCommas ? withCommas->name : parseTariffRecord(text).name;
        }
        if (name.empty())
            continue;
        const auto [it, added] = latest.try_emplace(name, kept.size());
        if (!added) {
            kept[it->second].second.clear();
            it->second = kept.size();
        }
        kept.emplace_back(std::move(name), std::move(text));
    }
    std::vector<std::string> texts;
    texts.reserve(latest.size());
    for (auto& entry : kept)
        if (!entry.second.empty())
            texts.push_back(std::move(entry.second));
    return texts;
}

const char* onOff(bool on, const char* onText)
{
    return on ? onText : "0";
}

} // namespace

std::string recordKey(int k)
{
    if (k >= 0 && k < 10)
        return std::string{'0', static_cast<char>('0' + k)};
    return std::to_string(k);
}

std::string formatTariffRecord(const std::string& name, const TariffTables& tables, int connection)
{
    TariffRecord record;
    record.name = name;
    for (int b = 0; b < kBands; ++b) {
        record.start[b] = tables.start(connection, b);
        record.takt[b] = tables.takt(connection, b);
    }
    return formatTariffRecord(record);
}

void reloadTariffs(const SettingsStore& store, const ConnNames& connNames, TariffTables& tables)
{
    tables = TariffTables{};
    loadTariffRecords(store, connNames, tables);
}

void loadSettings(SettingsStore& store, const ConnNames& connNames, const ScreenMetrics& screen,
                  const FindKolpRect& findKolp, Settings& settings)
{
    store.reload(); // the file may have been edited by hand meanwhile
    loadTariffRecords(store, connNames, settings.tariffs);
    loadPosition(store, screen, findKolp, settings.position);
    loadOptions(store, settings.options);
}

bool saveSettings(SettingsStore& store, const InfoPosition& position)
{
    return store.write({{"Right", std::to_string(position.infoRight)}, {"Top", std::to_string(position.infoTop)}});
}

bool storeDialogSettings(SettingsStore& store, const ConnNames& connNames, const DialogSettings& dialog,
                         Settings& settings)
{
    const int listed = static_cast<int>(
        std::min({dialog.start.size(), dialog.takt.size(), static_cast<std::size_t>(kMaxConnections)}));

    for (int c = 0; c < listed; ++c) {
        for (int b = 0; b < kBands; ++b) {
            settings.tariffs.setStart(c, b, storableBandText(dialog.start[c][b]));
            settings.tariffs.setTakt(c, b, storableBandText(dialog.takt[c][b]));
        }
    }

    // One batch, so that a crash never leaves half a save behind.
    std::vector<Change> changes;
    for (int c = 0; c < listed; ++c)
        changes.emplace_back(recordKey(c), formatTariffRecord(connNames[c], settings.tariffs, c));

    // A record left over under a higher key would win over the fresh one on
    // the next load ("later key wins"). Entries that left the phonebook keep
    // their records, moved up right behind the fresh ones; every record key
    // beyond them goes, so the list ends where the last record is.
    int next = listed;
    for (auto& text : departedRecords(store, connNames, listed))
        changes.emplace_back(recordKey(next++), std::move(text));
    for (const auto& key : store.keys()) {
        if (const auto index = recordIndex(key); index && *index >= next)
            changes.emplace_back(key, std::nullopt);
    }

    Options& options = settings.options;
    options.HangupSnd = dialog.hangupSound;
    changes.emplace_back("HangupSnd", onOff(options.HangupSnd, "-1"));
    options.WarnSnd = dialog.warnSound;
    changes.emplace_back("WarnSnd", onOff(options.WarnSnd, "-1"));
    options.Vorlauf = leadingNumber(dialog.vorlaufText);
    changes.emplace_back("Vorlauf", dialog.vorlaufText);
    options.AutoHangup = dialog.autoHangup;
    changes.emplace_back("AutoHangup", onOff(options.AutoHangup, "1"));
    options.HangupBytes = leadingNumber(dialog.hangupBytesText);
    changes.emplace_back("HangupBytes", dialog.hangupBytesText);
    options.HangupTakte = dialog.hangupTakte;
    clampValue(options.HangupTakte, 1, 10);
    changes.emplace_back("HangupTakte", std::to_string(options.HangupTakte));
    options.ShowSpeed = dialog.showSpeed;
    changes.emplace_back("ShowSpeed", onOff(options.ShowSpeed, "1"));
    options.ShowOnlineTime = dialog.showOnlineTime;
    changes.emplace_back("ShowOnlineTime", onOff(options.ShowOnlineTime, "1"));
    options.ShowRest = dialog.showRest;
    changes.emplace_back("ShowRest", onOff(options.ShowRest, "1"));

    return store.write(changes);
}

} // namespace zumi
