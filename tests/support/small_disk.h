#pragma once
// A tiny file system of its own for tests that need a full disk. Mounting
// needs administrator rights; where they are missing the test is skipped
// with the reason, since a full disk cannot be had otherwise.

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "support/scratch_dir.h"

namespace tevorin_test {

class SmallDisk {
public:
    // `mountFlags` adds restrictions such as MS_NOEXEC.
    explicit SmallDisk(std::size_t bytes, unsigned long mountFlags = 0) {
        if (!dir_.Valid()) {
            error_ = "no temporary directory";
            return;
        }
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        if (mount("tevorin-small-disk", Root().c_str(), "tmpfs", mountFlags,
                  options.c_str()) != 0) {
            error_ = std::string("cannot mount a small tmpfs (") + std::strerror(errno) +
                     "); a full disk needs administrator rights";
            return;
        }
        mounted_ = true;
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk() {
        if (mounted_) umount2(Root().c_str(), MNT_DETACH);
    }

    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }
    // The mount point, with a trailing slash.
    std::string Path() const { return dir_.Path(); }
    std::string operator/(const std::string& name) const { return dir_ / name; }

private:
    std::string Root() const { return dir_.Path(); }

    ScratchDir dir_;
    bool mounted_ = false;
    std::string error_;
};

}  // namespace tevorin_test
