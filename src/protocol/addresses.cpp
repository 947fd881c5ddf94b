#include "protocol/addresses.h"

#include "base/error.h"

#ifndef TARVENIA_SERVICE_URL
#error "TARVENIA_SERVICE_URL must name the service's base address"
#endif

namespace tarvenia {

namespace {

    // The base index as a list position. Catalog lines carry one digit, but a
    // longer run of digits is still a number; anything else is refused with
    // the conversion's own text.
    long ParseBaseIndex(const std::string& text)
    {
        constexpr std::size_t kMaxDigits = 9; // keeps the value inside a long
        bool digits = !text.empty() && text.size() <= kMaxDigits;
        long value = 0;
        for (std::size_t i = 0; digits && i < text.size(); ++i) {
            char c = text[i];
            digits = c >= '0' && c <= '9';
            if (digits)
                value = value * 10 + (c - '0');
        }
        if (!digits)
            throw Error("'" + text + "' is not a valid integer value");
        return value;
    }

} // namespace

const std::string& ServiceBaseAddress()
{
    static const std::string address = TARVENIA_SERVICE_URL;
    return address;
}

std::string DailyAddress(const std::string& date_key)
{
    return ServiceBaseAddress() + "/cgi-bin/avui.cgi?" + date_key;
}

std::string CatalogAddress() { return ServiceBaseAddress() + "/quindelar/esp/quindelar2.qdl"; }

std::string ConfirmationAddress(const std::string& selected_key)
{
    return ServiceBaseAddress() + "/cgi-bin/fotos.cgi?" + selected_key;
}

std::string PhotoAddress(const std::vector<std::string>& base_urls, const std::string& base_index,
    const std::string& key)
{
    return ListAt(base_urls, ParseBaseIndex(base_index)) + key + ".jpg";
}

bool IsWebAddress(std::string_view url) noexcept
{
    auto starts = [&](std::string_view scheme) {
        if (url.size() < scheme.size())
            return false;
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            char c = url[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != scheme[i])
                return false;
        }
        return true;
    };
    return starts("http://") || starts("https://");
}

} // namespace tarvenia
