#pragma once
// The data folder belongs to one running service: a second one on the same folder would keep
// tables of its own in memory and write over the first one's rows.
#include "platform/base/Exception.h"

#include <filesystem>

namespace service
{

// Raised when another process holds the data folder.
class EFolderInUse : public Exception
{
public:
    using Exception::Exception;
};

// An exclusive lock on the data folder, held for the life of the object (and released by the
// kernel when the process ends, however it ends).
class DataFolderLock
{
public:
    // Creates the folder if need be; throws EFolderInUse when another process holds it, and
    // EStoreError when the lock file cannot be opened or locked.
    explicit DataFolderLock(const std::filesystem::path &folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    static constexpr const char *kFileName = "service.lock";

private:
    int fd_ = -1;
};

} // namespace service
