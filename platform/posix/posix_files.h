#pragma once
// Files on a POSIX system.
//
// "Nobody else holds the file open" is an exclusive flock(2) taken, without waiting, for as long as
// an operation has the file open.  It is advisory: two Lumatra processes exclude each other, other
// programs are not held back.  A save writes a new file beside the old one and renames it into
// place, so the old content stays until the new one is whole on disk.

#include "platform/files.h"

namespace platform::posix {

class PosixFiles : public FileSystem {
public:
    std::string CurrentDirectory() override;
    std::string JoinPath(std::string_view directory, std::string_view name) const override;
    std::string ReadContents(const std::string& path) override;
    void SaveContents(const std::string& path, std::string_view bytes) override;
};

}  // namespace platform::posix
