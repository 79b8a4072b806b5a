#include "service/store/Store.h"

#include "service/wire/LineRecord.h"
#include "service/wire/Query.h"
#include "service/wire/ShiftJis.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace service
{

namespace fs = std::filesystem;

const char *const kPrintSizes[] = {"L", "2L", "KG", "A4"};
const int kPrintSizeCount = 4;

namespace
{

constexpr const char *kAccountsFile = "accounts.tsv";
constexpr const char *kSessionsFile = "sessions.tsv";
constexpr const char *kFoldersFile = "folders.tsv";
constexpr const char *kPicturesFile = "pictures.tsv";

const char *const kDemoEmail = "demo@tovela.example";
const char *const kDemoPassword = "demo1234";
const char *const kDemoName = "山田花子";

// Table cells escape the characters that separate cells and rows.
std::string escapeCell(const std::string &s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string unescapeCell(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out.push_back(n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

int toInt(const std::string &s)
{
    int v = 0;
    return parseId(s, v) ? v : 0;
}

std::string lowerAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string randomSid()
{
    static std::mutex m;
    static std::mt19937_64 engine{std::random_device{}()};
    std::lock_guard lock(m);
    static const char hex[] = "0123456789abcdef";
    std::string sid;
    for (int i = 0; i < 32; ++i)
        sid.push_back(hex[engine() & 15]);
    return sid;
}

} // namespace

PendingFile::PendingFile(fs::path path) : path_(std::move(path))
{
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_)
        throw EStoreError(QStringLiteral("cannot create %1").arg(QString::fromStdString(path_)));
}

PendingFile::~PendingFile()
{
    if (file_)
        std::fclose(file_);
    if (!committed_) {
        std::error_code ec;
        fs::remove(path_, ec);
    }
}

bool PendingFile::write(const char *data, size_t size)
{
    if (!file_ || std::fwrite(data, 1, size, file_) != size)
        return false;
    size_ += size;
    return true;
}

bool PendingFile::close()
{
    if (!file_)
        return false;
    bool ok = std::fflush(file_) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

Store::Store(fs::path dataDir) : dataDir_(std::move(dataDir))
{
    std::error_code ec;
    for (const char *sub : {"", "pictures", "thumbs", "work"}) {
        fs::create_directories(dataDir_ / sub, ec);
        if (ec)
            throw EStoreError(QStringLiteral("cannot create the data folder %1: %2")
                                  .arg(QString::fromStdString(dataDir_ / sub),
                                       QString::fromStdString(ec.message())));
    }
    // Pieces of uploads cut off by a stop of the service are of no use.
    for (const auto &entry : fs::directory_iterator(dataDir_ / "work", ec))
        fs::remove(entry.path(), ec);
    load();
    if (accounts_.empty()) {
        accounts_.push_back({1, kDemoEmail, kDemoPassword, kDemoName});
        saveAccounts();
    }
    demoAccountId_ = accounts_.front().id;
    for (const Account &a : accounts_)
        if (a.email == kDemoEmail)
            demoAccountId_ = a.id;
}

std::vector<std::vector<std::string>> Store::readTable(const char *file) const
{
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(dataDir_ / file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        std::vector<std::string> cells;
        size_t start = 0;
        for (;;) {
            size_t tab = line.find('\t', start);
            cells.push_back(unescapeCell(line.substr(start, tab - start)));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

// Written beside the table and renamed over it, so a stop mid-write never leaves half a table.
void Store::writeTable(const char *file, const std::vector<std::vector<std::string>> &rows) const
{
    fs::path target = dataDir_ / file;
    fs::path temp = target;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const auto &row : rows) {
            for (size_t i = 0; i < row.size(); ++i) {
                if (i)
                    out << '\t';
                out << escapeCell(row[i]);
            }
            out << '\n';
        }
        out.flush();
        if (!out)
            throw EStoreError(QStringLiteral("cannot write %1").arg(QString::fromStdString(temp)));
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec)
        throw EStoreError(QStringLiteral("cannot write %1").arg(QString::fromStdString(target)));
}

void Store::load()
{
    for (const auto &r : readTable(kAccountsFile))
        if (r.size() >= 4)
            accounts_.push_back({toInt(r[0]), r[1], r[2], r[3]});
    for (const auto &r : readTable(kSessionsFile))
        if (r.size() >= 3)
            sessions_.push_back({r[0], toInt(r[1]), toInt(r[2])});
    for (const auto &r : readTable(kFoldersFile))
        if (r.size() >= 4)
            folders_.push_back({toInt(r[0]), toInt(r[1]), toInt(r[2]), r[3]});
    for (const auto &r : readTable(kPicturesFile)) {
        if (r.size() < 8)
            continue;
        Picture p;
        p.id = toInt(r[0]);
        p.owner = r[1] == "album" ? PictureOwner::Album : PictureOwner::Order;
        p.ownerId = toInt(r[2]);
        p.folderId = toInt(r[3]);
        p.name = r[4];
        p.printSize = r[5];
        p.quantity = toInt(r[6]);
        p.bytes = std::strtoull(r[7].c_str(), nullptr, 10);
        pictures_.push_back(std::move(p));
    }
}

void Store::saveAccounts() const
{
    std::vector<std::vector<std::string>> rows;
    for (const Account &a : accounts_)
        rows.push_back({std::to_string(a.id), a.email, a.password, a.name});
    writeTable(kAccountsFile, rows);
}

void Store::saveSessions() const
{
    std::vector<std::vector<std::string>> rows;
    for (const Session &s : sessions_)
        rows.push_back({s.sid, std::to_string(s.number), std::to_string(s.accountId)});
    writeTable(kSessionsFile, rows);
}

void Store::saveFolders() const
{
    std::vector<std::vector<std::string>> rows;
    for (const Folder &f : folders_)
        rows.push_back({std::to_string(f.id), std::to_string(f.accountId),
                        std::to_string(f.parentId), f.name});
    writeTable(kFoldersFile, rows);
}

void Store::savePictures() const
{
    std::vector<std::vector<std::string>> rows;
    for (const Picture &p : pictures_)
        rows.push_back({std::to_string(p.id), p.owner == PictureOwner::Album ? "album" : "order",
                        std::to_string(p.ownerId), std::to_string(p.folderId), p.name, p.printSize,
                        std::to_string(p.quantity), std::to_string(p.bytes)});
    writeTable(kPicturesFile, rows);
}

Account Store::demoAccount() const
{
    std::lock_guard lock(mutex_);
    for (const Account &a : accounts_)
        if (a.id == demoAccountId_)
            return a;
    return {};
}

int Store::addAccount(const std::string &email, const std::string &password,
                      const std::string &name)
{
    std::lock_guard lock(mutex_);
    int id = 1;
    for (const Account &a : accounts_)
        id = std::max(id, a.id + 1);
    accounts_.push_back({id, email, password, name});
    saveAccounts();
    return id;
}

std::optional<Account> Store::account(int id) const
{
    std::lock_guard lock(mutex_);
    for (const Account &a : accounts_)
        if (a.id == id)
            return a;
    return std::nullopt;
}

std::string Store::newSession()
{
    std::lock_guard lock(mutex_);
    Session s;
    s.sid = randomSid();
    s.number = 1;
    for (const Session &o : sessions_)
        s.number = std::max(s.number, o.number + 1);
    sessions_.push_back(s);
    saveSessions();
    return s.sid;
}

std::optional<Session> Store::session(const std::string &sid) const
{
    if (sid.empty())
        return std::nullopt;
    std::lock_guard lock(mutex_);
    for (const Session &s : sessions_)
        if (s.sid == sid)
            return s;
    return std::nullopt;
}

bool Store::login(const std::string &sid, const std::string &emailBytes,
                  const std::string &passwordBytes)
{
    bool sjisOk = false;
    std::string email = lowerAscii(fromShiftJis(emailBytes, &sjisOk));
    std::string passwordSjis = fromShiftJis(passwordBytes, &sjisOk);
    if (!sjisOk)
        passwordSjis.clear();
    std::lock_guard lock(mutex_);
    auto s = std::find_if(sessions_.begin(), sessions_.end(),
                          [&](const Session &x) { return x.sid == sid; });
    if (s == sessions_.end())
        return false;
    int matched = 0;
    for (const Account &a : accounts_) {
        if (lowerAscii(a.email) != email || a.password.empty())
            continue;
        if ((sjisOk && a.password == passwordSjis) ||
            (isValidUtf8(passwordBytes) && a.password == passwordBytes))
            matched = a.id;
    }
    // A failed login leaves the session logged out, as the client then believes it is.
    if (s->accountId != matched) {
        s->accountId = matched;
        saveSessions();
    }
    return matched != 0;
}

void Store::logout(const std::string &sid)
{
    std::lock_guard lock(mutex_);
    for (Session &s : sessions_)
        if (s.sid == sid && s.accountId != 0) {
            s.accountId = 0;
            saveSessions();
        }
}

int Store::addFolder(int accountId, int parentId, const std::string &name)
{
    std::lock_guard lock(mutex_);
    int id = 1;
    for (const Folder &f : folders_)
        id = std::max(id, f.id + 1);
    folders_.push_back({id, accountId, parentId, cleanField(name)});
    saveFolders();
    return id;
}

std::optional<Folder> Store::folder(int accountId, int folderId) const
{
    if (folderId == 0)
        return Folder{0, accountId, 0, "トップ"};
    std::lock_guard lock(mutex_);
    for (const Folder &f : folders_)
        if (f.id == folderId && f.accountId == accountId)
            return f;
    return std::nullopt;
}

void Store::appendSubtree(int accountId, int parentId, int parentPosition,
                          std::vector<FolderListEntry> &out) const
{
    for (const Folder &f : folders_) {
        if (f.accountId != accountId || f.parentId != parentId || f.id == parentId)
            continue;
        out.push_back({f.id, parentPosition, f.name});
        // The list's positions count the root as 0, so this folder sits at out.size().
        appendSubtree(accountId, f.id, static_cast<int>(out.size()), out);
    }
}

std::vector<FolderListEntry> Store::folderList(int accountId) const
{
    std::lock_guard lock(mutex_);
    std::vector<FolderListEntry> out;
    appendSubtree(accountId, 0, 0, out);
    return out;
}

std::vector<Picture> Store::albumPictures(int accountId, int folderId) const
{
    std::lock_guard lock(mutex_);
    std::vector<Picture> out;
    for (const Picture &p : pictures_)
        if (p.owner == PictureOwner::Album && p.ownerId == accountId && p.folderId == folderId)
            out.push_back(p);
    return out;
}

bool Store::albumEmpty(int accountId) const
{
    std::lock_guard lock(mutex_);
    for (const Folder &f : folders_)
        if (f.accountId == accountId)
            return false;
    for (const Picture &p : pictures_)
        if (p.owner == PictureOwner::Album && p.ownerId == accountId)
            return false;
    return true;
}

std::vector<Picture> Store::orderPictures(int sessionNumber) const
{
    std::lock_guard lock(mutex_);
    std::vector<Picture> out;
    for (const Picture &p : pictures_)
        if (p.owner == PictureOwner::Order && p.ownerId == sessionNumber)
            out.push_back(p);
    return out;
}

size_t Store::orderCount(int sessionNumber) const
{
    std::lock_guard lock(mutex_);
    return std::count_if(pictures_.begin(), pictures_.end(), [&](const Picture &p) {
        return p.owner == PictureOwner::Order && p.ownerId == sessionNumber;
    });
}

bool Store::setOrderItem(int sessionNumber, int pictureId, const std::string &printSize,
                         int quantity)
{
    if (quantity < 1 || quantity > 99 ||
        std::find(kPrintSizes, kPrintSizes + kPrintSizeCount, printSize) ==
            kPrintSizes + kPrintSizeCount)
        return false;
    std::lock_guard lock(mutex_);
    for (Picture &p : pictures_)
        if (p.id == pictureId && p.owner == PictureOwner::Order && p.ownerId == sessionNumber) {
            p.printSize = printSize;
            p.quantity = quantity;
            savePictures();
            return true;
        }
    return false;
}

std::unique_ptr<PendingFile> Store::beginUpload()
{
    int n;
    {
        std::lock_guard lock(mutex_);
        n = ++nextPendingFile_;
    }
    return std::make_unique<PendingFile>(dataDir_ / "work" / ("upload-" + std::to_string(n)));
}

int Store::commitPicture(Picture p, PendingFile &file)
{
    // Caller holds the lock.
    p.id = 1;
    for (const Picture &o : pictures_)
        p.id = std::max(p.id, o.id + 1);
    p.bytes = file.size();
    std::error_code ec;
    fs::rename(file.path(), picturePath(p.id), ec);
    if (ec)
        throw EStoreError(QStringLiteral("cannot store picture %1").arg(p.id));
    file.release();
    pictures_.push_back(p);
    savePictures();
    return p.id;
}

int Store::commitAlbumPicture(int accountId, int folderId, const std::string &name,
                              PendingFile &file)
{
    Picture p;
    p.owner = PictureOwner::Album;
    p.ownerId = accountId;
    p.folderId = folderId;
    p.name = cleanField(name);
    std::lock_guard lock(mutex_);
    return commitPicture(std::move(p), file);
}

std::optional<int> Store::commitOrderPicture(int sessionNumber, const std::string &name,
                                             PendingFile &file, size_t limit)
{
    Picture p;
    p.owner = PictureOwner::Order;
    p.ownerId = sessionNumber;
    p.name = cleanField(name);
    std::lock_guard lock(mutex_);
    size_t count = std::count_if(pictures_.begin(), pictures_.end(), [&](const Picture &o) {
        return o.owner == PictureOwner::Order && o.ownerId == sessionNumber;
    });
    if (count >= limit)
        return std::nullopt;
    return commitPicture(std::move(p), file);
}

std::optional<Picture> Store::picture(int id) const
{
    std::lock_guard lock(mutex_);
    for (const Picture &p : pictures_)
        if (p.id == id)
            return p;
    return std::nullopt;
}

std::vector<Picture> Store::allPictures() const
{
    std::lock_guard lock(mutex_);
    return pictures_;
}

fs::path Store::picturePath(int id) const
{
    return dataDir_ / "pictures" / (std::to_string(id) + ".dat");
}

fs::path Store::thumbnailPath(int id) const
{
    return dataDir_ / "thumbs" / (std::to_string(id) + ".jpg");
}

std::string pictureNameFromUpload(const std::string &filenameBytes)
{
    // Our client sends Shift-JIS; browsers and curl send UTF-8. Shift-JIS text is almost never
    // valid UTF-8 (its lead bytes are UTF-8 continuation bytes), so UTF-8 is tried first.
    std::string text = isValidUtf8(filenameBytes) ? filenameBytes : fromShiftJis(filenameBytes);
    // Cut after the last separator only once the text is decoded: 0x5C is also the second
    // byte of many Shift-JIS characters.
    size_t cut = text.find_last_of("/\\");
    if (cut != std::string::npos)
        text.erase(0, cut + 1);
    std::string clean;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            clean.push_back(c);
    clean = cleanField(clean);
    if (clean.empty() || clean == "." || clean == "..")
        clean = "noname";
    return clean;
}

} // namespace service
