#include "demo_catalog.h"

#include <cstdio>

namespace demo {

namespace {

    struct TitleScene {
        const char* title; // UTF-8 here, Windows-1252 in the catalog
        TimeOfDay time;
        Ground ground;
        int layers;
        bool clouds;
    };

    // One entry per day, the newest first; the list repeats when more days
    // are asked for.
    const TitleScene kTitles[] = {
        { "Amanecer en el valle", TimeOfDay::Dawn, Ground::Meadow, 3, true },
        { "Montaña nevada al mediodía", TimeOfDay::Noon, Ground::Snow, 3, false },
        { "Lago en calma", TimeOfDay::Noon, Ground::Lake, 2, true },
        { "Atardecer sobre el mar", TimeOfDay::Dusk, Ground::Sea, 0, true },
        { "Noche estrellada en la sierra", TimeOfDay::Night, Ground::Lake, 3, false },
        { "Prados de primavera", TimeOfDay::Noon, Ground::Meadow, 1, true },
        { "Reflejos del crepúsculo", TimeOfDay::Dusk, Ground::Lake, 2, true },
        { "Cumbres al alba", TimeOfDay::Dawn, Ground::Snow, 4, false },
        { "Bahía tranquila", TimeOfDay::Noon, Ground::Sea, 1, true },
        { "Valle escondido", TimeOfDay::Noon, Ground::Meadow, 4, true },
        { "Luna sobre el embalse", TimeOfDay::Night, Ground::Lake, 2, true },
        { "Invierno en los Pirineos", TimeOfDay::Noon, Ground::Snow, 3, true },
        { "Primeras luces en la montaña", TimeOfDay::Dawn, Ground::Lake, 3, false },
        { "Ocaso en la costa", TimeOfDay::Dusk, Ground::Sea, 1, false },
        { "Campos de la meseta", TimeOfDay::Noon, Ground::Meadow, 0, true },
        { "El ibón helado", TimeOfDay::Dawn, Ground::Snow, 2, true },
        { "Nubes sobre la cordillera", TimeOfDay::Noon, Ground::Lake, 4, true },
        { "Última luz del día", TimeOfDay::Dusk, Ground::Meadow, 2, true },
        { "Horizonte marino", TimeOfDay::Noon, Ground::Sea, 0, true },
        { "Silencio en el lago", TimeOfDay::Night, Ground::Lake, 1, false },
        { "Praderas de montaña", TimeOfDay::Noon, Ground::Meadow, 3, false },
        { "Aurora sobre el pantano", TimeOfDay::Dawn, Ground::Lake, 1, true },
        { "Picos de Europa", TimeOfDay::Noon, Ground::Snow, 4, true },
        { "Tarde de verano", TimeOfDay::Dusk, Ground::Meadow, 1, true },
        { "Mar de nubes", TimeOfDay::Dawn, Ground::Sea, 2, true },
        { "Cielo de invierno", TimeOfDay::Noon, Ground::Snow, 1, true },
        { "Puesta de sol en el río", TimeOfDay::Dusk, Ground::Lake, 2, false },
        { "Colinas verdes", TimeOfDay::Noon, Ground::Meadow, 2, true },
        { "Madrugada en el puerto de montaña", TimeOfDay::Dawn, Ground::Snow, 3, true },
        { "Crepúsculo sobre la ría", TimeOfDay::Dusk, Ground::Sea, 2, true },
    };

    // Filed a few days ahead: the client must never list it.
    const TitleScene kFutureTitle
        = { "Próximamente: el solsticio", TimeOfDay::Dawn, Ground::Lake, 3, true };

    std::uint32_t SeedOf(const std::string& key)
    {
        std::uint32_t h = 2166136261u;
        for (char c : key)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }

    DemoPhoto Make(const std::string& key, const TitleScene& t)
    {
        DemoPhoto p;
        p.key = key;
        p.title = ToWindows1252(t.title).substr(0, 41);
        p.scene.time = t.time;
        p.scene.ground = t.ground;
        p.scene.mountain_layers = t.layers;
        p.scene.clouds = t.clouds;
        p.scene.seed = SeedOf(key);
        return p;
    }

} // namespace

std::string KeyOf(std::chrono::sys_days day)
{
    std::chrono::year_month_day ymd(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return buf;
}

std::optional<std::chrono::sys_days> DayOf(const std::string& key)
{
    if (key.size() != 8 || key.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::chrono::year_month_day ymd(std::chrono::year(std::stoi(key.substr(0, 4))),
        std::chrono::month(static_cast<unsigned>(std::stoi(key.substr(4, 2)))),
        std::chrono::day(static_cast<unsigned>(std::stoi(key.substr(6, 2)))));
    if (!ymd.ok())
        return std::nullopt;
    return std::chrono::sys_days(ymd);
}

std::string ToWindows1252(const std::string& utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            unsigned char next = static_cast<unsigned char>(utf8[++i]);
            out += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

DemoCatalog::DemoCatalog(std::chrono::sys_days today, int days)
{
    photos_.push_back(Make(KeyOf(today + std::chrono::days(3)), kFutureTitle));
    photos_.back().future = true;
    for (int i = 0; i < days; ++i) {
        const TitleScene& t = kTitles[static_cast<std::size_t>(i) % std::size(kTitles)];
        photos_.push_back(Make(KeyOf(today - std::chrono::days(i)), t));
        photos_.back().base = i % 2;
        // One photo of the month is gone from its store.
        photos_.back().missing = (i == 6);
    }
    newest_key_ = KeyOf(today);
}

const DemoPhoto* DemoCatalog::Find(const std::string& key) const
{
    for (const auto& p : photos_)
        if (p.key == key)
            return &p;
    return nullptr;
}

std::string DemoCatalog::CatalogText() const
{
    std::string text;
    for (const auto& p : photos_)
        text += p.key + static_cast<char>('0' + p.base) + p.title + "\r\n";
    return text;
}

std::string DemoCatalog::DailyResponse(const std::string& asked) const
{
    std::string key = DayOf(asked) && asked < newest_key_ ? asked : newest_key_;
    return key + "\r\n<" + BaseToken(0) + ">\r\n<" + BaseToken(1) + ">\r\n";
}

std::string DemoCatalog::BaseToken(int base)
{
    return std::string("http://") + kPhotoHosts[base] + kPhotoFolders[base];
}

} // namespace demo
