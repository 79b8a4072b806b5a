#pragma once
// The service's data: accounts, sessions, album folders, pictures and print orders, kept in
// the data folder. Every path the store builds is made from numbers it assigned itself; no name
// or id from a request ever becomes part of a path.
#include "platform/base/Exception.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace service
{

// A failure of the data folder (cannot be created, read or written).
class EStoreError : public Exception
{
public:
    using Exception::Exception;
};

struct Account {
    int id = 0;
    std::string email;
    std::string password;
    std::string name; // display name, UTF-8
};

struct Session {
    std::string sid;
    int number = 0;    // the store's own key for the session's order
    int accountId = 0; // 0 while not logged in
};

// Folder id 0 is every account's top folder "トップ"; it has no record of its own.
struct Folder {
    int id = 0;
    int accountId = 0;
    int parentId = 0;
    std::string name;
};

// One entry of the folder-list reply: depth-first, with the parent's display position.
struct FolderListEntry {
    int id = 0;
    int parentPosition = 0;
    std::string name;
};

enum class PictureOwner { Album, Order };

struct Picture {
    int id = 0;
    PictureOwner owner = PictureOwner::Order;
    int ownerId = 0;  // account id (album) or session number (order)
    int folderId = 0; // album folder; 0 for orders
    std::string name; // shown name, UTF-8, safe as a line-record field
    std::string printSize = "L";
    int quantity = 1;
    std::uint64_t bytes = 0;
};

extern const char *const kPrintSizes[];
extern const int kPrintSizeCount;

// A picture being received: a file in the store's work folder, removed unless committed.
class PendingFile
{
public:
    explicit PendingFile(std::filesystem::path path);
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    bool write(const char *data, size_t size);
    bool close();
    const std::filesystem::path &path() const { return path_; }
    std::uint64_t size() const { return size_; }
    void release() { committed_ = true; }

private:
    std::filesystem::path path_;
    std::FILE *file_ = nullptr;
    std::uint64_t size_ = 0;
    bool committed_ = false;
};

class Store
{
public:
    explicit Store(std::filesystem::path dataDir);

    const std::filesystem::path &dataDir() const { return dataDir_; }
    // The account made when the folder had no accounts file, or else the first account.
    Account demoAccount() const;
    int addAccount(const std::string &email, const std::string &password, const std::string &name);
    std::optional<Account> account(int id) const;

    std::string newSession();
    std::optional<Session> session(const std::string &sid) const;
    // True and the session bound to the account when email and password match one.
    // A password matches when its Shift-JIS or its UTF-8 reading equals the stored one.
    bool login(const std::string &sid, const std::string &emailBytes,
               const std::string &passwordBytes);
    void logout(const std::string &sid);

    int addFolder(int accountId, int parentId, const std::string &name);
    std::optional<Folder> folder(int accountId, int folderId) const;
    std::vector<FolderListEntry> folderList(int accountId) const;
    std::vector<Picture> albumPictures(int accountId, int folderId) const;
    bool albumEmpty(int accountId) const;

    std::vector<Picture> orderPictures(int sessionNumber) const;
    size_t orderCount(int sessionNumber) const;
    bool setOrderItem(int sessionNumber, int pictureId, const std::string &printSize, int quantity);

    std::unique_ptr<PendingFile> beginUpload();
    // Moves the received file into the album folder; returns the new picture's id.
    int commitAlbumPicture(int accountId, int folderId, const std::string &name, PendingFile &file);
    // Adds to the session's order unless it already holds limit pictures (then nullopt).
    std::optional<int> commitOrderPicture(int sessionNumber, const std::string &name,
                                          PendingFile &file, size_t limit);

    std::optional<Picture> picture(int id) const;
    std::vector<Picture> allPictures() const;
    std::filesystem::path picturePath(int id) const;
    std::filesystem::path thumbnailPath(int id) const;

private:
    void load();
    void saveAccounts() const;
    void saveSessions() const;
    void saveFolders() const;
    void savePictures() const;
    void writeTable(const char *file, const std::vector<std::vector<std::string>> &rows) const;
    std::vector<std::vector<std::string>> readTable(const char *file) const;
    int commitPicture(Picture p, PendingFile &file);
    void appendSubtree(int accountId, int parentId, int parentPosition,
                       std::vector<FolderListEntry> &out) const;

    std::filesystem::path dataDir_;
    mutable std::mutex mutex_;
    std::vector<Account> accounts_;
    std::vector<Session> sessions_;
    std::vector<Folder> folders_;
    std::vector<Picture> pictures_;
    int demoAccountId_ = 0;
    int nextPendingFile_ = 0;
};

// The picture name kept for an upload's filename parameter: the last component of the client's
// path, decoded from Shift-JIS, without control characters or the record separator.
std::string pictureNameFromUpload(const std::string &filenameBytes);

} // namespace service
