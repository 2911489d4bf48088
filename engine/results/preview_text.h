// What the preview pane learns from a file's first bytes without any picture library: the
// orientation a camera wrote into a JPEG's EXIF block, whether the bytes are text, and the
// first lines of such text as the pane shows them.
//
// Plain C++: no wx header.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The EXIF orientation (1..8: 1 upright, 3 upside down, 6 turned a quarter clockwise to be
// upright, 8 a quarter anticlockwise, 2/4/5/7 the mirrored forms) of the JPEG whose first bytes
// are `data`; 0 when the bytes are no JPEG, hold no EXIF block before the picture's data, or
// the tag is missing, damaged or out of range. Reads only within `data` (the first 64 KB of a
// file are enough: APP1 is at most that long and comes before the picture).
int JpegExifOrientation(std::string_view data);

// Whether `sample` (a file's first bytes; `cutShort`: the file goes on after them) is text:
// valid UTF-8 without a NUL byte. A multi-byte character cut by the end of a short sample
// counts as valid. An empty sample is text.
bool LooksLikeText(std::string_view sample, bool cutShort);

// The first `maxLines` lines of `text` (LF, CR LF or CR end a line), each cut to
// `maxLineBytes` at a character's boundary with "…" added; tabs become four spaces, other
// control characters U+FFFD's look-alike "·". A UTF-8 byte order mark at the start is dropped.
std::vector<std::string> FirstTextLines(std::string_view text, std::size_t maxLines,
                                        std::size_t maxLineBytes);

// Whether a file is worth decoding as a picture, judged by its first bytes (JPEG, PNG, GIF,
// BMP, TIFF, WebP signatures); the pane still asks the picture library.
bool LooksLikePicture(std::string_view sample);
