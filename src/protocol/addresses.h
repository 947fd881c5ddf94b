// The service's addresses. The base address is fixed when the program is
// built (TARVENIA_SERVICE_URL).
#pragma once

#include <string>
#include <vector>

namespace tarvenia {

const std::string& ServiceBaseAddress();

std::string DailyAddress(const std::string& date_key);
std::string CatalogAddress();
std::string ConfirmationAddress(const std::string& selected_key);

// base_urls[base index] + key + ".jpg". Throws tarvenia::Error when the base
// index is not a decimal number ("'x' is not a valid integer value") or names
// no entry of base_urls ("List index out of bounds (%d)").
std::string PhotoAddress(
    const std::vector<std::string>& base_urls, const std::string& base_index, const std::string& key);

} // namespace tarvenia
