#pragma once
// Files replaced whole or not at all. Every file the programs write (profiles,
// reports, CSV, SVG, the editor's texts) goes through here.
//
// The new content goes to a temporary file in the folder of the target, which
// is flushed to the disk and renamed over the target; then the folder itself
// is flushed, so that the rename survives a power cut. Until the rename the
// target keeps its old content; after it, the new one. A failure removes the
// temporary file.
//
// The temporary file has no name while it is written (O_TMPFILE): a process
// killed by any signal, SIGKILL included, leaves nothing behind. Only at the
// commit is it linked under a short name of its own (".hyd-XXXXXXXX", never
// derived from the target's name, so that any name the file system accepts
// can be a target), which is at once renamed over the target. Where the file
// system has no unnamed files (or /proc is missing to name them for a process
// without privileges), the temporary file gets that short name from the start;
// RemoveTemporaryFilesOnSignals then removes it on SIGINT, SIGTERM and SIGHUP.
//
// - A target that exists keeps its permission bits (and, where the system
//   lets us, its owner and group); a new one gets 0666 less the umask.
// - A symbolic link (or a chain of them) is followed: the file it names is
//   replaced and the link stays a link. A link to a name that does not exist
//   creates that file, as a shell's ">" would.
// - Only regular files are replaced: a folder or a device as the target is an
//   error, found before any byte is written.

#include <stdexcept>
#include <string>
#include <string_view>

#include <sys/types.h>

// A failed atomic write. FileName is the name the caller gave, Step what could
// not be done ("cannot create a temporary file", "cannot write", "cannot keep
// the permissions", "cannot flush to the disk", "cannot close", "cannot
// replace"), Reason the system's text ("No such file or directory", or "not a
// regular file" for a device or the like as the target). what() reads
// "Cannot write the file \"FileName\": Step: Reason".
class TAtomicWriteError : public std::runtime_error {
public:
    TAtomicWriteError(std::string FileName, std::string Step, std::string Reason);

    const std::string& FileName() const { return FFileName; }
    const std::string& Step() const { return FStep; }
    const std::string& Reason() const { return FReason; }

private:
    std::string FFileName;
    std::string FStep;
    std::string FReason;
};

// One file being written. The constructor creates the temporary file; Write
// adds text to it in as many pieces as the caller likes; Commit puts it in
// place of the target. An object destroyed without a successful Commit (an
// exception on the way, or the caller giving up) removes its temporary file
// and leaves the target as it was.
//
// Every failure throws TAtomicWriteError and removes the temporary file at
// once; the object can then only be destroyed (Write or Commit after a
// failure or after Commit throw std::logic_error).
class TAtomicFile {
public:
    explicit TAtomicFile(std::string FileName);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    const std::string& FileName() const { return FFileName; }

    void Write(std::string_view Text);
    void Commit();

private:
    enum class TState { Open, Committed, Failed };

    void CreateNamed(mode_t Mode);
    void LinkName();
    void Forget();
    void Flush();
    void WriteOut(std::string_view Text);
    [[noreturn]] void Fail(const std::string& Step, int Errno);
    [[noreturn]] void Fail(const std::string& Step, const std::string& Why);
    void Abandon();
    void CheckOpen() const;

    std::string FFileName;  // as the caller gave it
    std::string FTarget;    // the file replaced: FFileName with its links followed
    std::string FFolder;    // the folder of FTarget and of the temporary file
    std::string FTempName;  // the temporary file's name, while it has one
    int FFd = -1;
    bool FUnnamed = false;    // FFd is an O_TMPFILE file, named only at the commit
    int FSlot = -1;           // FTempName's place in the table of the signal handler
    bool FKeepOwner = false;  // the target exists: its mode and owner carry over
    mode_t FOldMode = 0;
    uid_t FOldUser = 0;
    gid_t FOldGroup = 0;
    TState FState = TState::Open;
    std::string FBuffer;
    off_t FWritten = 0;  // bytes in the temporary file
    off_t FStarted = 0;  // bytes whose way to the disk has been started
};

// Replaces FileName by Content in one call.
void WriteFileAtomically(const std::string& FileName, std::string_view Content);

// Makes SIGINT, SIGTERM and SIGHUP remove the named temporary files of the
// files being written (see above) before the process ends as the signal would
// have ended it. A signal that the process ignores stays ignored. For a
// program without handlers of its own for these signals, such as hyd-calc.
void RemoveTemporaryFilesOnSignals();

// For the tests: true makes every TAtomicFile created afterwards take a named
// temporary file, as on a file system without unnamed files.
void UseNamedTemporaryFiles(bool Named);
