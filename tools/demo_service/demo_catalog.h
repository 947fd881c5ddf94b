// What the demo service publishes: a month of daily photos ending "today",
// their catalog and the daily response.
#pragma once

#include "landscape.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace demo {

// The two photo stores announced by the daily response (base indices 0, 1).
inline constexpr const char* kServiceHost = "imagenes.tarvenia.example";
inline constexpr const char* kPhotoHosts[]
    = { "fotos1.tarvenia.example", "fotos2.tarvenia.example" };
inline constexpr const char* kPhotoFolders[] = { "/fotos/", "/archivo/" };

struct DemoPhoto {
    std::string key; // YYYYMMDD
    int base = 0; // index of the photo store
    std::string title; // Windows-1252, at most 41 bytes
    Scene scene;
    bool missing = false; // its address answers with an error page
    bool future = false; // filed under a date after today
};

// "20030305" for 5 March 2003.
std::string KeyOf(std::chrono::sys_days day);
// The date of a key, or nothing when it is not a valid YYYYMMDD.
std::optional<std::chrono::sys_days> DayOf(const std::string& key);

// Converts UTF-8 text in the Latin-1 range to single bytes (Windows-1252
// agrees with Latin-1 on every letter used here).
std::string ToWindows1252(const std::string& utf8);

class DemoCatalog {
public:
    // `days` photos ending with `today`, newest first, plus one filed in the
    // future and one whose photo is missing.
    DemoCatalog(std::chrono::sys_days today, int days);

    const std::vector<DemoPhoto>& Photos() const { return photos_; }
    const std::string& NewestKey() const { return newest_key_; }
    const DemoPhoto* Find(const std::string& key) const;

    // The catalog file: key, base digit, title, CR LF, newest first.
    std::string CatalogText() const;
    // The answer to the daily request for `asked` (capped at the newest
    // photo; anything that is not a key gets the newest).
    std::string DailyResponse(const std::string& asked) const;
    // "http://fotos1.tarvenia.example/fotos/" and so on.
    static std::string BaseToken(int base);

private:
    std::vector<DemoPhoto> photos_;
    std::string newest_key_;
};

} // namespace demo
