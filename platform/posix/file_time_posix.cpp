#include <cstdint>
#include <ctime>

#include "platform/file_time.h"

namespace platform {

namespace {

// Offset of local time from UTC, in FileTime ticks, at the UTC instant `utc`.
bool LocalOffsetAt(FileTime utc, FileTime* offset) {
    const std::int64_t ticks = utc - kUnixEpochAsFileTime;
    std::int64_t seconds = ticks / kFileTimeTicksPerSecond;
    if (ticks < 0 && ticks % kFileTimeTicksPerSecond != 0) --seconds;
    const time_t t = static_cast<time_t>(seconds);
    struct tm parts;
    if (localtime_r(&t, &parts) == nullptr) return false;
    *offset = static_cast<FileTime>(parts.tm_gmtoff) * kFileTimeTicksPerSecond;
    return true;
}

// Whether t + shift stays within the 64-bit range (file times near its ends come from stored
// settings, not from the file system).
bool ShiftFits(FileTime t, FileTime shift) {
    return shift >= 0 ? t <= INT64_MAX - shift : t >= INT64_MIN - shift;
}

FileTime Now() {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

}  // namespace

bool FileTimeToLocalFileTime(FileTime utc, FileTime* local) {
    if (utc < 0 || local == nullptr) return false;
    FileTime offset;
    if (!LocalOffsetAt(utc, &offset)) return false;
    if (!ShiftFits(utc, offset)) return false;
    *local = utc + offset;
    return true;
}

bool LocalFileTimeToFileTime(FileTime local, FileTime* utc) {
    if (local < 0 || utc == nullptr) return false;
    // The offset depends on the instant; take it at the first guess, then once more at the
    // corrected instant so that times near a daylight-saving change come out right.
    FileTime offset;
    if (!LocalOffsetAt(local, &offset)) return false;
    if (!ShiftFits(local, -offset)) return false;
    FileTime guess = local - offset;
    if (!LocalOffsetAt(guess, &offset)) return false;
    if (!ShiftFits(local, -offset)) return false;
    *utc = local - offset;
    return true;
}

SystemTime GetSystemTime() {
    SystemTime st;
    FileTimeToSystemTime(Now(), &st);
    return st;
}

SystemTime GetLocalTime() {
    FileTime local = 0;
    SystemTime st;
    if (FileTimeToLocalFileTime(Now(), &local)) FileTimeToSystemTime(local, &st);
    return st;
}

}  // namespace platform
