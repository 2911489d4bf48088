// The texts of the About box that are worked out: the title with the program's version, the
// memory figure and the free-space figure. Plain C++, no wx.
#pragma once

#include <cstdint>
#include <string>

// The program's version for people to read: PAIRSCOUT_VERSION ("2.3.0") without a patch
// number of 0 ("2.3"); "2.3.1" stays as it is.
std::string DisplayVersion(const std::string& version);

// The version this program was built as (PAIRSCOUT_VERSION, set by the build from the
// project's version), as DisplayVersion shows it.
std::string ProgramVersionText();

// The About box's title: IDS_ABOUT_TITLE ("Pairscout ", a line break, the word for version) with
// the version.
std::string AboutTitleText(const std::string& displayVersion);

// The memory figure: string 2012 ("%lu KB") with `bytes` in whole KB.
std::string MemoryText(std::uint64_t bytes);

// The free-space figure: FormatSizeText of `bytes`; 0 bytes when the system could not tell.
std::string DiskFreeText(bool known, std::uint64_t bytes);

// What a link says when nothing on the desktop opened its `target`: a "mailto:" address has no
// mail program (the message names the address without "mailto:"), any other no web browser.
std::string LinkOpenFailedText(const std::string& target);
