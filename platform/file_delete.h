// Removing files, to the trash where the user can restore them, or for good.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error_text.h"
#include "platform/file_identity.h"
#include "platform/file_metadata.h"
#include "platform/file_reader.h"
#include "platform/trash_restore.h"

namespace platform {

// How DeleteFiles works. The system's own questions and windows exist on Windows only; the
// POSIX implementation never asks or shows anything (the caller asks first).
enum DeleteFlags : unsigned {
    kDeleteToTrash = 0x01,         // to the trash (recycle bin), else for good
    kDeleteNoConfirmation = 0x02,  // no question of the system's own: the caller asked already
    kDeleteSilent = 0x04,          // no progress window
    kDeleteNoErrorUi = 0x08,       // no message of the system's own when a file cannot go
};

// Removes every file of `paths` as `flags` say. Returns the paths that are still there
// afterwards (could not be removed, or the user stopped the operation), in the given order.
// POSIX trash: the freedesktop.org trash of the user ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash) or, for a file on another file system, the .Trash-<uid> folder at the
// top of that file system; each file gets its .trashinfo record. A file that cannot go to the
// trash is never removed for good instead: POSIX leaves it; Windows asks the user first.
std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths, unsigned flags);

// A file held open from its check until it is removed (or, for a copy that stays, until the
// file it vouches for is gone), so that every check and the removal concern one file: the
// one that was compared, not whatever stands under its name by then.
class HeldFile {
public:
    enum Role {
        kStays,  // a copy that stays: a shared lock
        kGoes,   // a file to remove: an exclusive lock (and, on Windows, delete access)
    };
    HeldFile();
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // Opens the regular file `path` for reading without following a link, with its folder
    // (POSIX) or a handle that can delete it (Windows), and takes the advisory lock of `role`
    // without waiting. It also keeps other programs from writing to it unseen while it is
    // held: POSIX a read lease (which cannot be had while anyone holds the file open for
    // writing, and is broken, with the writer kept waiting, when anyone opens it for writing;
    // where the system grants none, the checks by size and times stand alone), Windows a
    // handle that shares no writing. 0, kErrorLocked (another delete's lock, a record lock of
    // another program, or the file open for writing), kErrorReplaced (the entry in the folder
    // is not the file opened) or the system's error code.
    int Open(const std::string& path, Role role);
    // 0 while the held file is as it was opened: still the entry under its name, with a name
    // at all, the same size, last-write time and (unless `changeTimeMoves`: the caller made a
    // link to it) change time, and not opened for writing by anyone since where the system can
    // tell. Else kErrorReplaced, kErrorChanged, kErrorLocked or the system's code.
    int CheckUnchanged(bool changeTimeMoves = false);
    // The last check of an act, made between its two steps (see Remove, LinkFrom, MoveTo) on
    // everything but the held file itself: 0 to go on, else the code that stops it. May be
    // empty. It is asked first; the act's own checks of the held file follow it, nearest to
    // the step that cannot be taken back.
    using Confirm = std::function<int()>;
    const std::string& Path() const { return m_path; }
    // The reader of the open file; its identity is the one taken at Open.
    FileReader& Reader() { return m_reader; }
    // Removes the held file, to the trash or for good, in two steps: the file first leaves its
    // name in one rename (into the trash, or to a spare name in its folder), then it is checked
    // again with `confirm`, and only then is a spare removed; on any doubt the file goes back
    // under its name. 0, kErrorReplaced, kErrorChanged, kErrorLocked, `confirm`'s code or the
    // system's. When the file could not go back (another file took its name meanwhile),
    // LeftAt() says where it is.
    int Remove(bool toTrash, const Confirm& confirm = Confirm());
    // Where a file that an act could not put back stands now; "" when it is where it was.
    const std::string& LeftAt() const { return m_leftAt; }
    // True after Remove moved the file to the trash.
    bool Trashed() const { return m_trashed; }
    // Where Remove moved the file in the trash and what it was, for putting it back later
    // (RestoreTrashedFile); meaningful while Trashed().
    const TrashedFile& TrashRecord() const { return m_trashRecord; }
    // Puts a file Remove moved to the trash back under its name, if nothing took that name
    // meanwhile: 0 or the system's error code (Windows: always fails, the recycle bin gives
    // no way back).
    int Restore();
    void Close();

    // Replaces the held file's entry by a second name (a hard link) of the file `source`
    // holds: the link goes to a spare name in this file's folder and is exchanged with the
    // entry in one rename, so the path always names the old file or the new one; both files
    // are checked again (and `confirm` asked) before the old file, now under the spare name,
    // is removed; on any doubt the two are exchanged back. 0, kErrorReplaced, kErrorChanged,
    // kErrorLocked, `confirm`'s code or the system's (EXDEV for another file system).
    int LinkFrom(HeldFile& source, const Confirm& confirm = Confirm());
    // Makes the held file share the data of the file `source` holds (`size` bytes), through the
    // file system's own compare-and-share call, which compares the bytes itself while it holds
    // both files: its name, permissions and times stay. 0, kErrorContentsDiffer or the
    // system's code (POSIX: EOPNOTSUPP, EINVAL or EXDEV when the file system cannot).
    int ShareDataWith(HeldFile& source, std::uint64_t size);
    // Moves the held file to `target` (whose folders are made when missing), never over a file
    // that is there: within a file system by a rename that refuses an existing target, across
    // file systems by a copy under a spare name beside the target that is flushed to the disk,
    // read back and compared, and checked to hold the whole file as it still is, then renamed
    // to the target; the original then leaves its name as Remove does. `confirm` is asked
    // before the original goes (and, across file systems, before the copy takes its name); on any doubt the file stays (or goes back) where it was and no
    // copy is left. Permissions, owner, extended attributes (the ACL included) and times go
    // with it. 0, kErrorReplaced, kErrorChanged,
    // kErrorLocked, EEXIST, `confirm`'s code or the system's.
    int MoveTo(const std::string& target, const Confirm& confirm = Confirm());
    // The held file's metadata (ReadMetadata), or none when it cannot be read.
    std::optional<FileMetadata> Metadata();
    // True when the held file and `other`'s have the same permission bits, owner, group, ACL
    // and extended attributes (SameAccess; Windows: always); false when either cannot be read.
    bool SameAccess(HeldFile& other);
    // Gives the held file's name a file of its own again (the way back from LinkFrom): its
    // data is copied to a new name in its folder, read back and compared, given `metadata`
    // (what the file under this name had before it was linked) or, when null, the held file's
    // own, and then takes the entry's place in one rename, after the entry is checked to be
    // the held file still. The held file itself (under its other names) is not touched. 0,
    // kErrorReplaced or the system's code (EIO: the copy did not read back equal, or the file
    // changed while it was copied).
    int ReplaceByCopy(const FileMetadata* metadata = nullptr);

private:
    int CopyAcross(int toDir, const std::string& toName, const Confirm& confirm);

    struct Impl;
    std::string m_path;
    FileReader m_reader;
    std::unique_ptr<Impl> m_impl;
    bool m_trashed = false;
    TrashedFile m_trashRecord;
    std::string m_leftAt;
};

// The longest part of a file's name that its spare name keeps.
constexpr std::size_t kMaxSpareStem = 200;

// The spare names an act gives files for a moment (".NAME.<12 hex digits>.pairscout"): true
// when `name` is one, with the name it stood for in *original when that can be told ("" when
// the name was too long to be kept whole).
bool IsSpareName(const std::string& name, std::string* original);

// Whether the file system holding `folder` can share data blocks between files (ShareDataWith):
// asked of the file system, cheaply (no file is touched). POSIX: Btrfs, and XFS made with
// reflink; Windows: a volume that counts block references (ReFS, Dev Drive).
bool FileSystemCanShareData(const std::string& folder);

}  // namespace platform
