// The service's addresses. The base address is fixed when the program is
// built (TARVENIA_SERVICE_URL).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvenia {

const std::string& ServiceBaseAddress();

std::string DailyAddress(const std::string& date_key);
std::string CatalogAddress();
std::string ConfirmationAddress(const std::string& selected_key);

// base_urls[base index] + key + ".jpg". Throws tarvenia::Error when the base
// index is not a decimal number ("'x' is not a valid integer value") or names
// no entry of base_urls ("List index out of bounds (%d)").
std::string PhotoAddress(const std::vector<std::string>& base_urls, const std::string& base_index,
    const std::string& key);

// Whether the HTTP clients may open `url`: only addresses that begin with
// "http://" or "https://" (scheme in any letter case). Anything else comes
// from a broken or hostile daily response: an empty base token makes a photo
// address of the key and ".jpg" alone, which a client must not complete into
// a host name of its own guessing, and other schemes (ftp://, file://) must
// never be opened for the service.
bool IsWebAddress(std::string_view url) noexcept;

} // namespace tarvenia
