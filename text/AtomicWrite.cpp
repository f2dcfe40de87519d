#include "text/AtomicWrite.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Pieces smaller than this are gathered before they go to the disk.
constexpr std::size_t BufferSize = 64 * 1024;
// The system is asked to start writing a long file to the disk every time
// this much more of it has been written, so that the flush at the commit
// waits only for the rest.
constexpr off_t StartWritingEvery = 8 << 20;
// As many links as the system itself follows before it gives up (ELOOP).
constexpr int MaxLinkHops = 40;

std::string Reason(int Errno)
{
    return std::generic_category().message(Errno != 0 ? Errno : EIO);
}

// Eight random hexadecimal digits.
std::string RandomSuffix()
{
    thread_local std::mt19937 Generator{std::random_device{}()};
    static constexpr char Hex[] = "0123456789abcdef";
    std::uint32_t Bits = Generator();
    std::string Suffix;
    for (int I = 0; I < 8; ++I, Bits >>= 4)
        Suffix += Hex[Bits & 15];
    return Suffix;
}

std::string TempNameIn(const std::string& Folder)
{
    return (fs::path(Folder) / (".hyd-" + RandomSuffix())).string();
}

std::atomic<bool> NamedOnly{false};

// An unnamed file is linked at the commit through /proc/self/fd; without it
// (a chroot, say) only a privileged process could link the descriptor itself.
bool CanNameUnnamedFiles()
{
    static const bool Can = ::access("/proc/self/fd", X_OK) == 0 || ::geteuid() == 0;
    return Can;
}

// The named temporary files that exist now, for the signal handler. A fixed
// table, so that the handler needs neither memory nor locks; a file that finds
// no free place is written all the same but is not removed on a signal.
struct TTempPlace {
    std::atomic<int> State{0};  // Free, Busy (being filled or emptied) or Held
    char Name[PATH_MAX];
};
enum : int { Free, Busy, Held };
static_assert(std::atomic<int>::is_always_lock_free);
constexpr int TempPlaces = 32;
TTempPlace TempTable[TempPlaces];

int Remember(const std::string& Name)
{
    if (Name.size() >= PATH_MAX)
        return -1;
    for (int I = 0; I < TempPlaces; ++I) {
        int Expected = Free;
        if (TempTable[I].State.compare_exchange_strong(Expected, Busy)) {
            std::memcpy(TempTable[I].Name, Name.c_str(), Name.size() + 1);
            TempTable[I].State.store(Held);
            return I;
        }
    }
    return -1;
}

void ForgetPlace(int Place)
{
    if (Place >= 0)
        TempTable[Place].State.store(Free);
}

// Async-signal-safe: unlink and the atomics only.
void RemoveTemporaryFilesAndDie(int Signal)
{
    const int SavedErrno = errno;
    for (TTempPlace& Place : TempTable)
        if (Place.State.load() == Held)
            ::unlink(Place.Name);
    errno = SavedErrno;
    // SA_RESETHAND has put back the default action: the signal, delivered
    // when this handler returns, ends the process as it would have.
    ::raise(Signal);
}

// Name with its symbolic links followed to the file they name, which need not
// exist. Returns 0, or the error that stops the walk.
int FollowLinks(fs::path& Name)
{
    for (int Hop = 0; Hop < MaxLinkHops; ++Hop) {
        struct stat Link {};
        if (::lstat(Name.c_str(), &Link) != 0 || !S_ISLNK(Link.st_mode))
            return 0;
        std::error_code Ec;
        fs::path Next = fs::read_symlink(Name, Ec);
        if (Ec)
            return Ec.value();
        Name = Next.is_absolute() ? Next : Name.parent_path() / Next;
    }
    return ELOOP;
}

}  // namespace

TAtomicWriteError::TAtomicWriteError(std::string FileName, std::string Step, std::string Reason)
    : runtime_error("Cannot write the file \"" + FileName + "\": " + Step + ": " + Reason),
      FFileName(std::move(FileName)), FStep(std::move(Step)), FReason(std::move(Reason))
{}

TAtomicFile::TAtomicFile(std::string FileName) : FFileName(std::move(FileName))
{
    fs::path Target(FFileName);
    if (int Error = FollowLinks(Target))
        Fail("cannot replace", Error);
    if (Target.filename().empty())
        Fail("cannot replace", FFileName.empty() ? ENOENT : EISDIR);

    // What stands there now decides whether it may be replaced and what the
    // new file inherits. A name that cannot be looked up is left to the
    // creation of the temporary file to report.
    struct stat Old {};
    if (::stat(Target.c_str(), &Old) == 0) {
        if (S_ISDIR(Old.st_mode))
            Fail("cannot replace", EISDIR);
        if (!S_ISREG(Old.st_mode))
            Fail("cannot replace", "not a regular file");
        FKeepOwner = true;
        FOldMode = Old.st_mode & 07777;
        FOldUser = Old.st_uid;
        FOldGroup = Old.st_gid;
    }
    FTarget = Target.string();
    fs::path Folder = Target.parent_path();
    if (Folder.empty())
        Folder = ".";
    FFolder = Folder.string();

    // The new content is never readable by more users than the old one was.
    const mode_t Mode = FKeepOwner ? (FOldMode & 0777) : 0666;
    if (!NamedOnly.load() && CanNameUnnamedFiles()) {
        FFd = ::open(FFolder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, Mode);
        if (FFd >= 0) {
            FUnnamed = true;
            return;
        }
        // Only a system or file system without unnamed files calls for a name.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            Fail("cannot create a temporary file", errno);
    }
    CreateNamed(Mode);
}

void TAtomicFile::CreateNamed(mode_t Mode)
{
    for (int Try = 0; Try < 100 && FFd < 0; ++Try) {
        FTempName = TempNameIn(FFolder);
        FFd = ::open(FTempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (FFd < 0 && errno != EEXIST)
            break;
    }
    if (FFd < 0) {
        const int Error = errno;
        FTempName.clear();  // not ours: nothing to remove
        Fail("cannot create a temporary file", Error);
    }
    FSlot = Remember(FTempName);
}

// Links the unnamed temporary file under a short name of its own.
void TAtomicFile::LinkName()
{
    const std::string Self = "/proc/self/fd/" + std::to_string(FFd);
    int Error = EEXIST;
    for (int Try = 0; Try < 100 && Error == EEXIST; ++Try) {
        const std::string Candidate = TempNameIn(FFolder);
        int Done = ::linkat(AT_FDCWD, Self.c_str(), AT_FDCWD, Candidate.c_str(), AT_SYMLINK_FOLLOW);
        // Without /proc the descriptor itself is linked, which the system may
        // allow only to a privileged process.
        if (Done != 0 && errno != EEXIST)
            Done = ::linkat(FFd, "", AT_FDCWD, Candidate.c_str(), AT_EMPTY_PATH);
        if (Done == 0) {
            FTempName = Candidate;
            FSlot = Remember(FTempName);
            return;
        }
        Error = errno;
    }
    Fail("cannot create a temporary file", Error);
}

TAtomicFile::~TAtomicFile()
{
    if (FState == TState::Open)
        Abandon();
}

void TAtomicFile::Write(std::string_view Text)
{
    CheckOpen();
    if (FBuffer.size() + Text.size() <= BufferSize) {
        if (FBuffer.capacity() < BufferSize)
            FBuffer.reserve(BufferSize);
        FBuffer += Text;
        return;
    }
    Flush();
    if (Text.size() >= BufferSize)
        WriteOut(Text);
    else
        FBuffer = Text;
}

void TAtomicFile::Commit()
{
    CheckOpen();
    Flush();
    if (FKeepOwner) {
        struct stat Now {};
        if (::fstat(FFd, &Now) == 0 && (Now.st_uid != FOldUser || Now.st_gid != FOldGroup) &&
            ::fchown(FFd, FOldUser, FOldGroup) != 0) {
            // Only the superuser may give a file away: the writer owns it then.
        }
        if (::fchmod(FFd, FOldMode) != 0)
            Fail("cannot keep the permissions", errno);
    }
    if (::fsync(FFd) != 0)
        Fail("cannot flush to the disk", errno);
    if (FUnnamed)
        LinkName();
    const int Fd = std::exchange(FFd, -1);
    if (::close(Fd) != 0)
        Fail("cannot close", errno);
    if (::rename(FTempName.c_str(), FTarget.c_str()) != 0)
        Fail("cannot replace", errno);
    Forget();
    FState = TState::Committed;

    // Make the rename itself durable; the new content is in place either way.
    const int FolderFd = ::open(FFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FolderFd >= 0) {
        ::fsync(FolderFd);
        ::close(FolderFd);
    }
}

void TAtomicFile::Flush()
{
    if (FBuffer.empty())
        return;
    WriteOut(FBuffer);
    FBuffer.clear();
}

void TAtomicFile::WriteOut(std::string_view Text)
{
    while (!Text.empty()) {
        const ssize_t N = ::write(FFd, Text.data(), Text.size());
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            Fail("cannot write", N < 0 ? errno : EIO);
        Text.remove_prefix(static_cast<std::size_t>(N));
        FWritten += N;
    }
    if (FWritten - FStarted >= StartWritingEvery) {
        // Only a start: a failure shows at the flush of the commit.
        ::sync_file_range(FFd, FStarted, FWritten - FStarted, SYNC_FILE_RANGE_WRITE);
        FStarted = FWritten;
    }
}

void TAtomicFile::Fail(const std::string& Step, int Errno)
{
    Fail(Step, Reason(Errno));
}

void TAtomicFile::Fail(const std::string& Step, const std::string& Why)
{
    Abandon();
    throw TAtomicWriteError(FFileName, Step, Why);
}

void TAtomicFile::Abandon()
{
    FState = TState::Failed;
    if (FFd >= 0)
        ::close(std::exchange(FFd, -1));
    if (!FTempName.empty())
        ::unlink(FTempName.c_str());
    Forget();
    FBuffer.clear();
}

// The temporary file has no name any more (renamed or removed).
void TAtomicFile::Forget()
{
    ForgetPlace(std::exchange(FSlot, -1));
    FTempName.clear();
}

void TAtomicFile::CheckOpen() const
{
    if (FState != TState::Open)
        throw std::logic_error("TAtomicFile: \"" + FFileName + "\" is committed or failed");
}

void WriteFileAtomically(const std::string& FileName, std::string_view Content)
{
    TAtomicFile File(FileName);
    File.Write(Content);
    File.Commit();
}

void RemoveTemporaryFilesOnSignals()
{
    for (int Signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction Old {};
        if (::sigaction(Signal, nullptr, &Old) != 0 || Old.sa_handler == SIG_IGN)
            continue;
        struct sigaction Action {};
        Action.sa_handler = RemoveTemporaryFilesAndDie;
        Action.sa_flags = SA_RESETHAND;
        sigemptyset(&Action.sa_mask);
        ::sigaction(Signal, &Action, nullptr);
    }
}

void UseNamedTemporaryFiles(bool Named)
{
    NamedOnly.store(Named);
}
