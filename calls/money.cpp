#include "calls/money.h"

#include <cctype>
#include <cstdio>

namespace zumi {
namespace {

std::string trimmed(const std::string& text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

PriceInput refused(const std::string& why)
{
    return {false, std::nullopt, why};
}

} // namespace

PriceInput parsePrice(const std::string& input)
{
    const std::string text = trimmed(input);
    if (text.empty())
        return {true, std::nullopt, {}};
    std::size_t i = 0;
    std::int64_t whole = 0;
    bool digits = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        whole = whole * 10 + (text[i] - '0');
        digits = true;
        if (whole > 1000000)
            return refused("Der Preis einer Einheit ist zu hoch.");
    }
    std::int64_t fraction = 0;
    int decimals = 0;
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++decimals) {
            if (decimals == 4)
                return refused("Der Preis einer Einheit hat h\xC3\xB6"
                               "chstens vier Nachkommastellen.");
            fraction = fraction * 10 + (text[i] - '0');
            digits = true;
        }
    }
    if (!digits)
        return refused("Der Preis einer Einheit ist eine Zahl wie 0,12 oder 0,0486 \xE2\x82\xAC.");
    for (int d = decimals; d < 4; ++d)
        fraction *= 10;
    UnitPrice price;
    price.tenThousandths = whole * 10000 + fraction;
    const std::string currency = trimmed(text.substr(i));
    if (!currency.empty()) {
        for (char c : currency)
            if (std::isdigit(static_cast<unsigned char>(c)) || c == ';')
                return refused("Nach dem Preis darf nur das W\xC3\xA4hrungszeichen stehen.");
        if (currency.size() > 8)
            return refused("Das W\xC3\xA4hrungszeichen ist zu lang.");
        price.currency = currency;
    }
    return {true, price, {}};
}

std::string priceText(const UnitPrice& price)
{
    std::int64_t fraction = price.tenThousandths % 10000;
    int decimals = 4;
    while (decimals > 2 && fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%lld,%0*lld %s", static_cast<long long>(price.tenThousandths / 10000), decimals,
                  static_cast<long long>(fraction), price.currency.c_str());
    return text;
}

std::string moneyText(std::int64_t tenThousandths)
{
    const bool negative = tenThousandths < 0;
    const std::int64_t size = negative ? -tenThousandths : tenThousandths;
    const std::int64_t cents = (size + 50) / 100;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld,%02lld", negative ? "-" : "", static_cast<long long>(cents / 100),
                  static_cast<long long>(cents % 100));
    return text;
}

} // namespace zumi
