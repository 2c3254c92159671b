#pragma once
// Writing a file so that a failure never destroys the one it replaces: the
// bytes go to a temporary file beside the target, which is renamed over the
// target only once it is complete. Until then the old file is untouched; a
// write that is abandoned removes the temporary. A target that is a symbolic
// link is saved through: the file it points to is replaced, the link stays.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/rendercontext.h"

namespace kt {

class AtomicFile {
public:
    // Given up (as a failure, errno EINTR) once the context's owner asks its
    // saves to be abandoned.
    AtomicFile(const RenderContext& ctx, std::string target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary; false when the target's folder cannot take it,
    // or the target is a file the user may not write.
    bool open();
    // All of the bytes or false.
    bool write(const void* data, std::size_t size);
    // Writes over bytes already written, from `offset` on: a header whose
    // fields are known only at the end.
    bool writeat(std::uint64_t offset, const void* data, std::size_t size);
    // Bytes the temporary's file system still has for this user; nullopt
    // when that is not known.
    std::optional<std::uint64_t> freespace() const;
    // Flushes and renames over the target; false (and nothing replaced) on failure.
    bool commit();
    // Removes the temporary; the target stays as it was.
    void abandon();

    // Whether a save to `target` could begin, found by making its temporary
    // and removing it again: 0 or the errno open() would fail with.
    static int trial(const std::string& target);

    // errno of the first failure, 0 if none.
    int error() const { return error_; }
    // errno of the most recent failure of any AtomicFile on this thread, to
    // say why a save failed.
    static int lasterror();

    // Test hook: every write fails once this many more bytes have been
    // written; negative switches the fault off.
    static void injectwritefailure(long long bytesBeforeFailure);
    // Test hook: the process is sent `signal` once this many more bytes have
    // been written.
    static void injectsignal(long long bytesBeforeSignal, int signal);

private:
    // Only ever opened, to try a target.
    explicit AtomicFile(std::string target);
    bool abandoning() const { return ctx_ && ctx_->saveabandoned(); }
    bool fail(int err);
    const RenderContext* ctx_ = nullptr;

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    int error_ = 0;
};

} // namespace kt
