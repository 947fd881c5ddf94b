// A catalog copy from the server through LoadEntries, with several values of
// CurrentKey: the lists must equal what the reading rules give, entry by
// entry, and stay parallel.
#include "catalog_model.h"
#include "fuzz_input.h"

#include "base/error.h"
#include "lists/load_entries.h"
#include "lists/string_list.h"

using namespace tarvenia;
using namespace tarvenia::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file("catalog.qdl");
    FuzzInput in(data, size);
    std::vector<std::string> current_keys;
    const int count = 1 + in.Byte() % 4;
    for (int i = 0; i < count; ++i)
        current_keys.push_back(in.Short(9));
    // The largest key of all, so that every line's own bytes are exercised.
    current_keys.push_back(std::string(8, '\xFF'));
    const std::string content = in.Rest();
    file.Write(content);
    const std::vector<std::string> lines = ModelLines(content);

    for (const std::string& current : current_keys) {
        VectorStringList titles;
        PackedStrings bases { "b" }, keys { "k" };
        titles.Add("t");
        LoadEntries(file.Path(), current, titles, bases, keys);
        FUZZ_CHECK(titles.items.size() == bases.size() && bases.size() == keys.size());
        FUZZ_CHECK(titles.items[0] == "t" && bases[0] == "b" && keys[0] == "k");
        std::vector<ModelEntry> expected = ModelEntries(lines, current);
        FUZZ_CHECK(expected.size() == keys.size() - 1);
        for (std::size_t i = 0; i < expected.size(); ++i)
            FUZZ_CHECK((expected[i]
                == ModelEntry { std::string(titles.items[i + 1]), std::string(bases[i + 1]),
                    std::string(keys[i + 1]) }));
    }
    return 0;
}
