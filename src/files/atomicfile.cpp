#include "files/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "engine/filenames.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {
long long bytesUntilFault = -1;
int faultsignal = 0;              // the fault raises it instead of failing the write
thread_local int lastFailure = 0; // pictures are saved on several threads at once

mode_t currentumask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

std::string folderof(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names once its symbolic links are followed, as opening it
// would follow them; the link itself must stay. An empty result with errno
// set when the links go round in circles or cannot be read.
std::string linkedfile(std::string path)
{
    constexpr int maxlinks = 40; // the kernel's own limit
    for (int followed = 0; followed < maxlinks; ++followed) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(entry.st_size > 0 ? entry.st_size : PATH_MAX), '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return {};
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : folderof(path) + "/" + target;
    }
    errno = ELOOP;
    return {};
}
} // namespace

void AtomicFile::injectwritefailure(long long bytesBeforeFailure)
{
    bytesUntilFault = bytesBeforeFailure;
    faultsignal = 0;
}

void AtomicFile::injectsignal(long long bytesBeforeSignal, int signal)
{
    bytesUntilFault = bytesBeforeSignal;
    faultsignal = signal;
}

AtomicFile::AtomicFile(const RenderContext& ctx, std::string target) : ctx_(&ctx), target_(std::move(target))
{
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target))
{
}

AtomicFile::~AtomicFile()
{
    abandon();
}

int AtomicFile::lasterror()
{
    return lastFailure;
}

bool AtomicFile::fail(int err)
{
    if (error_ == 0)
        error_ = err;
    lastFailure = err;
    return false;
}

bool AtomicFile::open()
{
    if (target_.empty())
        return fail(ENOENT);
    // Saving through a link replaces the file it points to.
    target_ = linkedfile(target_);
    if (target_.empty())
        return fail(errno);
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return fail(EISDIR);
    // Renaming needs only the folder's permission; a file the user may not
    // write must stay as it is, as opening it for writing would refuse.
    if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(errno);

    std::string pattern = folderof(target_) + "/." + baretitle(target_) + ".XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        return fail(errno);
    temporary_ = pattern;
    // The replacement keeps the old file's permissions; a new file gets the
    // usual ones rather than mkstemp's private 0600.
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~currentumask());
    ::fchmod(fd_, mode);
    return true;
}

int AtomicFile::trial(const std::string& target)
{
    AtomicFile file(target);
    return file.open() ? 0 : file.error();
}

bool AtomicFile::write(const void* data, std::size_t size)
{
    if (fd_ < 0)
        return fail(EBADF);
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        std::size_t chunk = size;
        if (bytesUntilFault == 0 && faultsignal) {
            bytesUntilFault = -1;
            ::raise(faultsignal);
        }
        if (abandoning())
            return fail(EINTR);
        if (bytesUntilFault >= 0) {
            if (bytesUntilFault == 0)
                return fail(ENOSPC);
            chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(bytesUntilFault));
        }
        const ssize_t written = ::write(fd_, bytes, chunk);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (bytesUntilFault >= 0)
            bytesUntilFault -= written;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool AtomicFile::writeat(std::uint64_t offset, const void* data, std::size_t size)
{
    if (fd_ < 0)
        return fail(EBADF);
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        bytes += written;
        offset += static_cast<std::uint64_t>(written);
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::optional<std::uint64_t> AtomicFile::freespace() const
{
    struct statvfs disk {};
    if (fd_ < 0 || ::fstatvfs(fd_, &disk) != 0)
        return std::nullopt;
    return std::uint64_t(disk.f_bavail) * disk.f_frsize;
}

bool AtomicFile::commit()
{
    if (fd_ < 0)
        return fail(EBADF);
    if (abandoning()) {
        fail(EINTR);
        abandon();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fail(errno);
        abandon();
        return false;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFile::abandon()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

} // namespace kt
