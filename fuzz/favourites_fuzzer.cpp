// The favourites file under a sequence of the commands that write it (append,
// append-or-create, rewrite from the lists, create, delete), starting from
// whatever the file held. After every command the file must hold exactly the
// bytes the writing rules give: whole lines, none lost, and LoadEntries
// must read back what the reading rules say.
#include "catalog_model.h"
#include "fuzz_input.h"

#include "base/error.h"
#include "base/file.h"
#include "lists/catalog_writer.h"
#include "lists/load_entries.h"
#include "lists/string_list.h"

#include <optional>

using namespace tarvenia;
using namespace tarvenia::fuzz;

namespace {

// Append first cuts the file just before the first 0x1A among its last 128
// bytes.
std::string CutForAppend(std::string content)
{
    std::size_t from = content.size() > 128 ? content.size() - 128 : 0;
    std::size_t eof = content.find('\x1A', from);
    if (eof != std::string::npos)
        content.resize(eof);
    return content;
}

struct Line {
    std::string key, base, title;
    std::string Bytes() const { return key + base + title + "\r\n"; }
};

Line NextLine(FuzzInput& in) { return { in.Short(9), in.Short(2), in.Short(45) }; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file("qndelarf.qdl");
    const std::string& path = file.Path();
    FuzzInput in(data, size);

    std::optional<std::string> model;
    ScratchFile::Remove(path);
    if (in.Byte() & 1) {
        model = in.Short(255);
        file.Write(*model);
    }

    for (int step = 0; step < 16 && !in.Empty(); ++step) {
        const int command = in.Byte() % 5;
        const int lines = in.Byte() % 4;
        try {
            switch (command) {
            case 0: { // add to an existing file
                CatalogWriter w = CatalogWriter::Append(path);
                FUZZ_CHECK(model.has_value());
                model = CutForAppend(*model);
                for (int i = 0; i < lines; ++i) {
                    Line l = NextLine(in);
                    w.WriteLine(l.key, l.base, l.title);
                    *model += l.Bytes();
                }
                w.Close();
                break;
            }
            case 1: { // add, creating the file when missing
                CatalogWriter w = CatalogWriter::AppendOrCreate(path);
                model = model ? CutForAppend(*model) : std::string();
                for (int i = 0; i < lines; ++i) {
                    Line l = NextLine(in);
                    w.WriteLine(l.key, l.base, l.title);
                    *model += l.Bytes();
                }
                w.Close();
                break;
            }
            case 2: // remove one favourite: the file rewritten from the lists
            case 3: { // created anew
                CatalogWriter w
                    = command == 2 ? CatalogWriter::Replace(path) : CatalogWriter::Create(path);
                model = std::string();
                for (int i = 0; i < lines; ++i) {
                    Line l = NextLine(in);
                    w.WriteLine(l.key, l.base, l.title);
                    *model += l.Bytes();
                }
                w.Close();
                break;
            }
            default: // the last favourite removed
                File::Erase(path);
                FUZZ_CHECK(model.has_value());
                model.reset();
                break;
            }
        } catch (const IoError& e) {
            // Only a missing file may refuse a command here.
            FUZZ_CHECK(!model.has_value() && e.code() == 2 && (command == 0 || command == 4));
        }
        FUZZ_CHECK(file.Read() == model);
        FUZZ_CHECK(!File::Exists(path + ".new"));
    }

    // What the commands left is read back as the reading rules say; the
    // reading of arbitrary bytes is the catalog target's, so once per input
    // is enough here.
    if (!model)
        return 0;
    VectorStringList titles;
    PackedStrings bases, keys;
    const std::string current = std::string(8, '\xFF');
    LoadEntries(path, current, titles, bases, keys);
    std::vector<ModelEntry> expected = ModelEntries(*model, current);
    FUZZ_CHECK(expected.size() == keys.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        FUZZ_CHECK((expected[i]
            == ModelEntry {
                std::string(titles.items[i]), std::string(bases[i]), std::string(keys[i]) }));
    return 0;
}
