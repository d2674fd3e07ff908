// What a power cut at any moment of an edit's write leaves on disk. A disk writes a
// 512-byte sector whole or not at all, keeps what a sync forced to it, and may keep
// or lose each sector written since the last sync. Every such image must hold each
// field whole, old or new, and nothing else changed.

#include "tests/test_images.h"

#include <gtest/gtest.h>

#include <set>

namespace vornset {
namespace {

using testing::MemoryFile;
using testing::MemorySettingsFiles;
using Image = std::vector<std::uint8_t>;

constexpr std::size_t sector = 512;

// The fields an edit may change, by their file offsets: the thirteen global settings,
// and for each profile its partition byte, its drive and its name.
std::vector<std::pair<std::size_t, std::size_t>> fields()
{
    std::vector<std::pair<std::size_t, std::size_t>> all;
    for (std::size_t global : {0x00u, 0x02u, 0x03u, 0x04u, 0x05u, 0x0Bu, 0x0Du, 0x11u, 0x12u, 0x17u, 0x18u, 0x19u, 0x1Au})
        all.emplace_back(0x288 + global, 1);
    for (std::size_t p = 0; p < 16; ++p) {
        all.emplace_back(0x458 + p, 1);
        all.emplace_back(0x468 + p, 1);
        all.emplace_back(0x688 + 16 * p, 16);
    }
    return all;
}

// One sector's share of a write, and whether a sync forced it to disk before the cut.
struct Piece {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
    bool synced = false;
};

// The writes that reached the disk before a cut after the first `calls` calls, and
// `sectors` sectors into the call after them.
std::vector<Piece> reached(const std::vector<MemoryFile::Call>& journal, std::size_t calls, std::size_t sectors)
{
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i <= calls && i < journal.size(); ++i) {
        const MemoryFile::Call& call = journal[i];
        if (call.sync) {
            if (i < calls)
                for (Piece& piece : pieces)
                    piece.synced = true;
            continue;
        }
        std::size_t taken = 0;
        for (std::size_t at = call.offset; at < call.offset + call.bytes.size() && (i < calls || taken < sectors);
             ++taken) {
            std::size_t end = std::min((at / sector + 1) * sector, call.offset + call.bytes.size());
            pieces.push_back({at, {call.bytes.begin() + static_cast<std::ptrdiff_t>(at - call.offset),
                                   call.bytes.begin() + static_cast<std::ptrdiff_t>(end - call.offset)}});
            at = end;
        }
    }
    return pieces;
}

// How many sectors a call writes to.
std::size_t sectorsOf(const MemoryFile::Call& call)
{
    if (call.sync || call.bytes.empty())
        return 0;
    return (call.offset + call.bytes.size() - 1) / sector - call.offset / sector + 1;
}

// Every image the disk may hold after each possible cut; counts the cuts.
std::set<Image> imagesAfterCuts(const Image& before, const std::vector<MemoryFile::Call>& journal, int& cuts)
{
    std::set<Image> images;
    for (std::size_t calls = 0; calls <= journal.size(); ++calls) {
        std::size_t inside = calls < journal.size() ? std::max<std::size_t>(sectorsOf(journal[calls]), 1) : 1;
        for (std::size_t sectors = 0; sectors < inside; ++sectors) {
            std::vector<Piece> pieces = reached(journal, calls, sectors);
            std::vector<const Piece*> unsynced;
            Image base = before;
            for (const Piece& piece : pieces)
                if (piece.synced)
                    std::copy(piece.bytes.begin(), piece.bytes.end(), base.begin() + static_cast<std::ptrdiff_t>(piece.offset));
                else
                    unsynced.push_back(&piece);
            for (std::size_t kept = 0; kept < (std::size_t{1} << unsynced.size()); ++kept, ++cuts) {
                Image image = base;
                for (std::size_t i = 0; i < unsynced.size(); ++i)
                    if (kept & (std::size_t{1} << i))
                        std::copy(unsynced[i]->bytes.begin(), unsynced[i]->bytes.end(),
                                  image.begin() + static_cast<std::ptrdiff_t>(unsynced[i]->offset));
                images.insert(image);
            }
        }
    }
    return images;
}

// Each image after a cut holds every byte outside the changed fields as it was, and
// each field whole, old or new. Some images may hold some changed fields new and
// others old: how many, for each edit, is part of what the write promises.
TEST(PowerCut, LeavesEveryFieldWholeOldOrNew)
{
    std::string everyField = "vm=1280x1024\nstm=menu\ncnt=on\ncntval=42\ndbt=floppy\ndprf=7\nstf=on\nzan=on\nfnt=bios\n"
                             "usb1=2\nusbmdev=9\nint19h=on\nhotkey=yes\n";
    for (int p = 1; p <= 16; ++p)
        everyField += "prf=" + std::to_string(p) + "\nprfname=Profile " + std::to_string(p) + "\nbtdrv=8" + std::to_string(p % 10) + "h\nbtprt=" + std::to_string(p % 4 + 1) + "\nbtlog="
            + std::to_string((p + 1) % 4 + 1) + "\n";
    const struct {
        std::vector<const char*> arguments;
        std::size_t images; // distinct images after the cuts, the old and the new among them
        std::size_t mixed;  // of those, the ones with some changed fields new and some old
    } edits[] = {
        {{"cntval=5"}, 2, 0},
        {{"vm=text", "cnt=on", "cntval=3", "dbt=usb", "stm=hidden"}, 2, 0},
        {{"prf=2", "btdrv=83h"}, 2, 0},
        {{"prf=16", "prfname=NEWNAME"}, 2, 0},
        {{"prf=3", "prfname=Rescue", "btdrv=81h", "btprt=2", "dprf=3", "dbt=profile"}, 4, 2},
        {{"load=every-field.txt"}, 4, 2},
    };
    int cuts = 0;
    for (const auto& [arguments, images, mixed] : edits) {
        Image before = testing::sampleImage();
        MemoryFile file(before);
        MemorySettingsFiles settings;
        settings.files["every-field.txt"] = everyField;
        std::vector<const char*> argv{"vornset"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back("vornbm.bin");
        testing::StringOutput out, err;
        ASSERT_EQ(run(argv, {file, settings, out, err, file.clock}), 0) << out.text;
        const Image& after = file.content;

        std::set<Image> afterCuts = imagesAfterCuts(before, file.journal, cuts);
        EXPECT_EQ(afterCuts.size(), images) << arguments[0];
        EXPECT_TRUE(afterCuts.contains(before) && afterCuts.contains(after));
        std::size_t mixes = 0;
        for (const Image& image : afterCuts) {
            Image outside = image;
            bool someOld = false, someNew = false;
            for (auto [at, size] : fields()) {
                std::size_t offset = at, length = size;
                auto field = [offset, length](const Image& i) {
                    return Image(i.begin() + static_cast<std::ptrdiff_t>(offset), i.begin() + static_cast<std::ptrdiff_t>(offset + length));
                };
                bool old = field(image) == field(before), now = field(image) == field(after);
                EXPECT_TRUE(old || now) << arguments[0] << ": field at " << offset << " is part old, part new";
                someOld = someOld || (old && !now);
                someNew = someNew || (now && !old);
                std::copy_n(before.begin() + static_cast<std::ptrdiff_t>(offset), length,
                            outside.begin() + static_cast<std::ptrdiff_t>(offset));
            }
            EXPECT_EQ(outside, before) << arguments[0] << ": a byte outside the fields changed";
            mixes += someOld && someNew ? 1 : 0;
        }
        EXPECT_EQ(mixes, mixed) << arguments[0];
    }
    EXPECT_EQ(cuts, 36);
}

} // namespace
} // namespace vornset
