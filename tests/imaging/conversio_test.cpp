#include "base/error.h"
#include "base/file.h"
#include "imaging/bmp.h"
#include "jpeg_test_images.h"

#include <gtest/gtest.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <filesystem>

namespace tarvenia::test {
namespace {

    namespace fs = std::filesystem;

    // Permissions do not stop an administrator: try to write a read-only file.
    bool PermissionsApply(const TempDir& dir)
    {
        std::string path = dir.Path("probe");
        WriteBytes(path, {});
        fs::permissions(path, fs::perms::owner_read, fs::perm_options::replace);
        try {
            File probe(path, File::Mode::ReadWriteShared);
            return false;
        } catch (const Error&) {
            return true;
        }
    }

    // Every failure comes with its text; a failure before the bitmap is
    // created leaves the previous bitmap as it was.
    TEST(Conversio, FailuresAndThePreviousBitmap)
    {
        enum class Photo { Missing, WebPage, Empty, FailingAfterTheRows, Huge, Good };
        enum class Bitmap { Previous, FolderMissing, IsAFolder, ReadOnly, DiskFull };
        struct Row {
            const char* what;
            Photo photo;
            Bitmap bitmap;
            std::string text; // %p: the photo's path, %b: the bitmap's
            bool kept;
        };
        const Row rows[] = {
            { "photo missing", Photo::Missing, Bitmap::Previous, "Cannot open file %p", true },
            { "photo is a web page", Photo::WebPage, Bitmap::Previous, JpegError(JERR_NO_SOI),
                true },
            { "photo empty", Photo::Empty, Bitmap::Previous, JpegError(JERR_INPUT_EMPTY), true },
            { "fatal error after the rows", Photo::FailingAfterTheRows, Bitmap::Previous,
                JpegError(JERR_SOF_DUPLICATE), true },
            { "header announces 30000x30000", Photo::Huge, Bitmap::Previous,
                JpegError(JERR_IMAGE_TOO_BIG), true },
            { "bitmap folder missing", Photo::Good, Bitmap::FolderMissing, "Cannot create file %b",
                false },
            { "bitmap path is a folder", Photo::Good, Bitmap::IsAFolder, "Cannot create file %b",
                false },
            { "bitmap read-only", Photo::Good, Bitmap::ReadOnly, "Cannot create file %b", true },
            { "disk full", Photo::Good, Bitmap::DiskFull, "Stream write error", false },
        };
        TempDir dir;
        const bool permissions = PermissionsApply(dir);
        const auto good = ReadBytes(MakeJpeg(dir, "good", { Kind::Colour, 64, 48 }));
        const std::vector<std::uint8_t> previous { 'o', 'l', 'd' };
        int n = 0;
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            if ((row.bitmap == Bitmap::ReadOnly && !permissions)
                || (row.bitmap == Bitmap::DiskFull && !fs::exists("/dev/full"))) {
                std::printf("skipped here: %s\n", row.what);
                continue;
            }
            std::string photo = dir.Path("photo" + std::to_string(n) + ".jpg");
            std::string bitmap = dir.Path("bitmap" + std::to_string(n++) + ".bmp");
            WriteBytes(bitmap, previous);
            switch (row.photo) {
            case Photo::Missing:
                break;
            case Photo::WebPage:
                WriteBytes(photo, { '<', 'h', 't', 'm', 'l', '>', '\n' });
                break;
            case Photo::Empty:
                WriteBytes(photo, {});
                break;
            case Photo::FailingAfterTheRows:
                WriteBytes(photo, FailingAfterTheRows(good));
                break;
            case Photo::Huge:
                WriteBytes(photo, WithAnnouncedSize(good, 30000, 30000));
                break;
            case Photo::Good:
                WriteBytes(photo, good);
                break;
            }
            std::string target = bitmap;
            if (row.bitmap == Bitmap::FolderMissing)
                target = dir.Path("no-such-folder/qndelar.bmp");
            if (row.bitmap == Bitmap::IsAFolder) {
                target = dir.Path("folder.bmp");
                fs::create_directory(target);
            }
            if (row.bitmap == Bitmap::ReadOnly)
                fs::permissions(bitmap, fs::perms::owner_read, fs::perm_options::replace);
            if (row.bitmap == Bitmap::DiskFull)
                target = "/dev/full";

            std::string want = row.text;
            if (auto at = want.find("%p"); at != std::string::npos)
                want.replace(at, 2, photo);
            if (auto at = want.find("%b"); at != std::string::npos)
                want.replace(at, 2, target);
            EXPECT_EQ(ErrorText([&] { conversio(photo, target, 32); }), want);
            if (row.kept) {
                EXPECT_EQ(ReadBytes(bitmap), previous);
            }
        }
    }

} // namespace
} // namespace tarvenia::test
