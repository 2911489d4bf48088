// What the preview pane reads from a file's first bytes: the EXIF orientation of a JPEG built
// here byte by byte, and whether bytes are text.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/results/latest_worker.h"
#include "engine/results/preview_text.h"

namespace {

std::string Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Be32(unsigned v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le32(unsigned v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A TIFF block whose first directory holds `tags` (tag, type, count, value), in either byte
// order.
std::string Tiff(bool little, const std::vector<std::vector<unsigned>>& tags) {
    auto w16 = little ? Le16 : Be16;
    auto w32 = little ? Le32 : Be32;
    std::string t = little ? std::string("II*\0", 4) : std::string("MM\0*", 4);
    t += w32(8);
    t += w16(static_cast<unsigned>(tags.size()));
    for (const auto& tag : tags) {
        t += w16(tag[0]) + w16(tag[1]) + w32(tag[2]);
        // A SHORT sits in the value field's first two bytes.
        t += tag[1] == 3 ? w16(tag[3]) + w16(0) : w32(tag[3]);
    }
    return t + w32(0);
}

std::string Segment(unsigned marker, const std::string& body) {
    return std::string("\xFF") + static_cast<char>(marker) + Be16(static_cast<unsigned>(body.size() + 2)) + body;
}

std::string Jpeg(const std::vector<std::string>& segments) {
    std::string j = "\xFF\xD8";
    for (const std::string& s : segments) j += s;
    return j + Segment(0xDA, std::string(10, '\x01')) + std::string(100, '\x55') + "\xFF\xD9";
}

std::string Exif(const std::string& tiff) { return Segment(0xE1, std::string("Exif\0\0", 6) + tiff); }

}  // namespace

TEST(PreviewText, ReadsTheExifOrientationOfBuiltJpegs) {
    const std::string jfif = Segment(0xE0, std::string("JFIF\0\x01\x02\0\0\x01\0\x01\0\0", 14));
    for (bool little : {true, false}) {
        SCOPED_TRACE(little ? "II" : "MM");
        for (unsigned o = 1; o <= 8; ++o) {
            // Another tag before it, as cameras write the make and model first.
            const std::string tiff = Tiff(little, {{0x010F, 2, 4, 0x20}, {0x0112, 3, 1, o}});
            EXPECT_EQ(JpegExifOrientation(Jpeg({jfif, Exif(tiff)})), static_cast<int>(o));
        }
        // Out of range, of the wrong type or count: none.
        EXPECT_EQ(JpegExifOrientation(Jpeg({Exif(Tiff(little, {{0x0112, 3, 1, 9}}))})), 0);
        EXPECT_EQ(JpegExifOrientation(Jpeg({Exif(Tiff(little, {{0x0112, 3, 1, 0}}))})), 0);
        EXPECT_EQ(JpegExifOrientation(Jpeg({Exif(Tiff(little, {{0x0112, 4, 1, 6}}))})), 0);
        EXPECT_EQ(JpegExifOrientation(Jpeg({Exif(Tiff(little, {{0x0112, 3, 2, 6}}))})), 0);
        // No orientation tag at all.
        EXPECT_EQ(JpegExifOrientation(Jpeg({Exif(Tiff(little, {{0x010F, 2, 4, 0x20}}))})), 0);
    }
    const std::string six = Jpeg({jfif, Exif(Tiff(true, {{0x0112, 3, 1, 6}}))});
    // Fill bytes before a marker are allowed.
    EXPECT_EQ(JpegExifOrientation("\xFF\xD8\xFF" + six.substr(2)), 6);
    // Every cut of the file short of the tag's end finds nothing, and never reads past it.
    const std::size_t tagEnd = six.find(std::string("\x12\x01\x03\x00", 4)) + 12;
    for (std::size_t cut = 0; cut < tagEnd; ++cut)
        EXPECT_EQ(JpegExifOrientation(std::string_view(six).substr(0, cut)), 0) << cut;
    // EXIF after the picture's data does not count; neither does a segment whose length
    // runs past the end, a directory offset past the block, or a file that is no JPEG.
    EXPECT_EQ(JpegExifOrientation(Jpeg({}) + Exif(Tiff(true, {{0x0112, 3, 1, 6}}))), 0);
    std::string longSegment = six;
    longSegment[jfif.size() + 2 + 2] = '\x7F';
    EXPECT_EQ(JpegExifOrientation(longSegment), 0);
    std::string farDirectory = Tiff(true, {{0x0112, 3, 1, 6}});
    farDirectory.replace(4, 4, Le32(0xFFFFFFF0u));
    EXPECT_EQ(JpegExifOrientation(Jpeg({Exif(farDirectory)})), 0);
    EXPECT_EQ(JpegExifOrientation(Exif(Tiff(true, {{0x0112, 3, 1, 6}}))), 0);
    EXPECT_EQ(JpegExifOrientation("\x89PNG\r\n\x1A\n"), 0);
    // An APP1 that is not EXIF (XMP) is passed over for the EXIF one after it.
    EXPECT_EQ(JpegExifOrientation(Jpeg({Segment(0xE1, "http://ns.example/xap/1.0/\0<x/>"),
                                        Exif(Tiff(false, {{0x0112, 3, 1, 8}}))})),
              8);
    EXPECT_TRUE(LooksLikePicture(six));
    EXPECT_FALSE(LooksLikePicture("plain words"));
}

TEST(PreviewText, TellsTextByItsBytesAndCutsItsFirstLines) {
    EXPECT_TRUE(LooksLikeText("", false));
    EXPECT_TRUE(LooksLikeText("照片备份\r\nline two\tend\n", false));
    EXPECT_FALSE(LooksLikeText(std::string("abc\0def", 7), false));       // a NUL
    EXPECT_FALSE(LooksLikeText("caf\xE9", false));                         // Latin-1, not UTF-8
    EXPECT_FALSE(LooksLikeText("\xC0\xAF", false));                        // overlong
    EXPECT_FALSE(LooksLikeText("\xED\xA0\x80", false));                    // a surrogate
    EXPECT_FALSE(LooksLikeText("\xF4\x90\x80\x80", false));                // past U+10FFFF
    EXPECT_FALSE(LooksLikeText("\xE7\x85\xA7\x80", false));                // a stray continuation
    // A character cut by the sample's end: text while the file goes on, not when it ends there.
    const std::string photo = "照片";
    EXPECT_TRUE(LooksLikeText(photo.substr(0, 4), true));
    EXPECT_FALSE(LooksLikeText(photo.substr(0, 4), false));
    EXPECT_FALSE(LooksLikeText("\xE7\x41", true));  // cut or not, 0x41 continues nothing

    const std::vector<std::string> lines =
        FirstTextLines("\xEF\xBB\xBFone\r\ntwo\rthree\n\tfour\x01\n照片照片照片\nsix\n", 5, 10);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], "two");
    EXPECT_EQ(lines[2], "three");
    EXPECT_EQ(lines[3], "    four\xC2\xB7");
    // Cut at a character's edge (three of them make 9 bytes), marked with an ellipsis.
    EXPECT_EQ(lines[4], "照片照\xE2\x80\xA6");
    EXPECT_EQ(FirstTextLines("last line without end", 3, 100),
              std::vector<std::string>{"last line without end"});
    EXPECT_TRUE(FirstTextLines("", 3, 100).empty());
}

// The preview's worker: of requests that come while it works, only the newest is read, the
// one in progress learns it is stale, and no result of an older request is ever delivered.
TEST(PreviewText, WorkerDeliversOnlyTheNewestRequest) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> started, delivered;
    bool release = false, sawStale = false;
    {
        LatestWorker<int, int> worker(
            [&](const int& request, const std::function<bool()>& stale) {
                std::unique_lock<std::mutex> lock(mutex);
                started.push_back(request);
                changed.notify_all();
                if (request == 1) {
                    // Held until the test has asked for more.
                    changed.wait(lock, [&] { return release; });
                    sawStale = stale();
                }
                return request * 10;
            },
            [&](unsigned, int result) {
                std::lock_guard<std::mutex> lock(mutex);
                delivered.push_back(result);
                changed.notify_all();
            });
        const unsigned first = worker.Ask(1);
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return !started.empty(); });
        }
        // While 1 is being read: 2 and 3 come; 2 is dropped unread.
        worker.Ask(2);
        const unsigned third = worker.Ask(3);
        EXPECT_FALSE(worker.IsLatest(first));
        EXPECT_TRUE(worker.IsLatest(third));
        {
            std::lock_guard<std::mutex> lock(mutex);
            release = true;
        }
        changed.notify_all();
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10),
                                     [&] { return !delivered.empty(); }));
        EXPECT_EQ(started, (std::vector<int>{1, 3}));
        EXPECT_EQ(delivered, std::vector<int>{30});
        EXPECT_TRUE(sawStale);
    }  // the destructor waits for the worker
}
