#include "ServiceFixture.h"
#include "service/store/DemoAlbum.h"
#include "service/wire/ShiftJis.h"

#include <fstream>
#include <set>

using namespace service;

namespace
{

std::unique_ptr<PendingFile> pending(Store &store, const std::string &bytes)
{
    auto f = store.beginUpload();
    EXPECT_TRUE(f->write(bytes.data(), bytes.size()));
    EXPECT_TRUE(f->close());
    return f;
}

std::string readFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Store, DemoAccountIsMadeOnceAndEverythingSurvivesAReopen)
{
    TempDir dir;
    std::string sid;
    int picture = 0;
    {
        Store store(dir.path());
        Account demo = store.demoAccount();
        EXPECT_EQ(demo.email, "demo@tovela.example");
        EXPECT_FALSE(demo.password.empty());
        sid = store.newSession();
        EXPECT_TRUE(store.login(sid, demo.email, demo.password));
        int folder = store.addFolder(demo.id, 0, "旅行");
        auto f = pending(store, "bytes");
        picture = store.commitAlbumPicture(demo.id, folder, "京都.jpg", *f);
    }
    Store again(dir.path());
    EXPECT_EQ(again.demoAccount().email, "demo@tovela.example");
    auto s = again.session(sid);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->accountId, again.demoAccount().id);
    auto p = again.picture(picture);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "京都.jpg");
    EXPECT_EQ(readFile(again.picturePath(picture)), "bytes");
    EXPECT_EQ(again.folderList(again.demoAccount().id).at(0).name, "旅行");
}

TEST(Store, AnExistingAccountsFileIsKept)
{
    TempDir dir;
    std::ofstream(dir.path() / "accounts.tsv") << "7\tme@example.jp\tpw\\tx\t鈴木\n";
    Store store(dir.path());
    EXPECT_EQ(store.demoAccount().id, 7);
    EXPECT_EQ(store.demoAccount().password, "pw\tx");
    EXPECT_FALSE(store.account(1));
}

TEST(Store, LoginTakesShiftJisOrUtf8PasswordsAndAFailureLogsOut)
{
    TempDir dir;
    Store store(dir.path());
    int id = store.addAccount("Hanako@Example.jp", "p&ss #+%é", "花子");
    int jp = store.addAccount("taro@example.jp", "ぱすワード", "太郎");
    std::string sid = store.newSession();
    EXPECT_TRUE(store.login(sid, "hanako@example.JP", "p&ss #+%\xC3\xA9")); // UTF-8 é
    EXPECT_EQ(store.session(sid)->accountId, id);
    EXPECT_TRUE(store.login(sid, "taro@example.jp", toShiftJis("ぱすワード")));
    EXPECT_EQ(store.session(sid)->accountId, jp);
    EXPECT_FALSE(store.login(sid, "taro@example.jp", "wrong"));
    EXPECT_EQ(store.session(sid)->accountId, 0);
    EXPECT_FALSE(store.login(sid, "nobody@example.jp", ""));
    EXPECT_FALSE(store.login("unknown-session", "taro@example.jp", toShiftJis("ぱすワード")));
    EXPECT_FALSE(store.session("unknown-session"));
    EXPECT_FALSE(store.session(""));
}

TEST(Store, SessionIdsAreFreshAndSafeInHeaders)
{
    TempDir dir;
    Store store(dir.path());
    std::string a = store.newSession();
    std::string b = store.newSession();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(a.size(), 32u);
    EXPECT_NE(store.session(a)->number, store.session(b)->number);
}

TEST(Store, FolderListIsDepthFirstWithParentDisplayPositions)
{
    TempDir dir;
    Store store(dir.path());
    int me = store.demoAccount().id;
    int other = store.addAccount("x@example.jp", "x", "x");
    int a = store.addFolder(me, 0, "A");
    int b = store.addFolder(me, 0, "B");
    int a1 = store.addFolder(me, a, "A1");
    int b1 = store.addFolder(me, b, "B1");
    int a1x = store.addFolder(me, a1, "A1x");
    store.addFolder(other, 0, "theirs");
    auto list = store.folderList(me);
    ASSERT_EQ(list.size(), 5u);
    // Positions: 1 A, 2 A1, 3 A1x, 4 B, 5 B1.
    EXPECT_EQ(list[0].id, a);
    EXPECT_EQ(list[0].parentPosition, 0);
    EXPECT_EQ(list[1].id, a1);
    EXPECT_EQ(list[1].parentPosition, 1);
    EXPECT_EQ(list[2].id, a1x);
    EXPECT_EQ(list[2].parentPosition, 2);
    EXPECT_EQ(list[3].id, b);
    EXPECT_EQ(list[3].parentPosition, 0);
    EXPECT_EQ(list[4].id, b1);
    EXPECT_EQ(list[4].parentPosition, 4);
    EXPECT_FALSE(store.folder(me, store.folderList(other)[0].id));
    EXPECT_TRUE(store.folder(me, 0));
}

TEST(Store, OrderStopsAtItsLimitAndTheRefusedFileIsRemoved)
{
    TempDir dir;
    Store store(dir.path());
    int session = store.session(store.newSession())->number;
    for (int i = 0; i < 2; ++i) {
        auto f = pending(store, "p" + std::to_string(i));
        EXPECT_TRUE(store.commitOrderPicture(session, "p.jpg", *f, 2));
    }
    std::filesystem::path refused;
    {
        auto f = pending(store, "third");
        refused = f->path();
        EXPECT_FALSE(store.commitOrderPicture(session, "p.jpg", *f, 2));
    }
    EXPECT_FALSE(std::filesystem::exists(refused));
    EXPECT_EQ(store.orderCount(session), 2u);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "work"));
}

TEST(Store, OrderItemsTakeOnlyKnownSizesAndSaneQuantities)
{
    TempDir dir;
    Store store(dir.path());
    int session = store.session(store.newSession())->number;
    int otherSession = store.session(store.newSession())->number;
    auto f = pending(store, "x");
    int id = *store.commitOrderPicture(session, "x.jpg", *f, 10);
    EXPECT_TRUE(store.setOrderItem(session, id, "2L", 3));
    EXPECT_EQ(store.picture(id)->printSize, "2L");
    EXPECT_EQ(store.picture(id)->quantity, 3);
    EXPECT_FALSE(store.setOrderItem(session, id, "XXL", 1));
    EXPECT_FALSE(store.setOrderItem(session, id, "L", 0));
    EXPECT_FALSE(store.setOrderItem(session, id, "L", 100));
    EXPECT_FALSE(store.setOrderItem(otherSession, id, "L", 1));
    EXPECT_EQ(store.picture(id)->quantity, 3);
}

TEST(Store, PictureNamesFromUploadsAreTheirLastComponentAndHarmless)
{
    EXPECT_EQ(pictureNameFromUpload(toShiftJis("C:\\写真\\表紙.jpg")), "表紙.jpg");
    EXPECT_EQ(pictureNameFromUpload(toShiftJis("/home/u/旅行/京都.JPG")), "京都.JPG");
    // 表 ends in 0x5C: cutting before decoding would lose "表".
    EXPECT_EQ(pictureNameFromUpload(toShiftJis("表.jpg")), "表.jpg");
    EXPECT_EQ(pictureNameFromUpload("../../etc/passwd"), "passwd");
    EXPECT_EQ(pictureNameFromUpload("..\\..\\x.jpg"), "x.jpg");
    EXPECT_EQ(pictureNameFromUpload("dir/.."), "noname");
    EXPECT_EQ(pictureNameFromUpload(""), "noname");
    EXPECT_EQ(pictureNameFromUpload(std::string("a\0b\r\nc<!--SEP-->.jpg", 20)), "abc.jpg");
    EXPECT_EQ(pictureNameFromUpload("写真.jpg"), "写真.jpg"); // a UTF-8 name
}

TEST(Store, StoredFilesAreNamedByNumberInsideTheDataFolder)
{
    TempDir dir;
    Store store(dir.path() / "data");
    int session = store.session(store.newSession())->number;
    auto f = pending(store, "evil");
    int id = *store.commitOrderPicture(session, "../../../../outside.jpg", *f, 10);
    EXPECT_EQ(store.picture(id)->name, "../../../../outside.jpg"); // kept as data only
    EXPECT_EQ(store.picturePath(id),
              dir.path() / "data" / "pictures" / (std::to_string(id) + ".dat"));
    for (const std::string &file : filesBelow(dir.path()))
        EXPECT_EQ(file.rfind("data/", 0), 0u) << file;
}

TEST(Store, DemoAlbumIsSeededOnceWithNestedFoldersAndSeveralFormats)
{
    TempDir dir;
    Store store(dir.path());
    int me = store.demoAccount().id;
    int added = seedDemoAlbum(store, me);
    EXPECT_GE(added, 8);
    EXPECT_EQ(seedDemoAlbum(store, me), 0);
    auto folders = store.folderList(me);
    bool nested = false;
    for (const auto &f : folders)
        nested = nested || f.parentPosition > 0;
    EXPECT_TRUE(nested);
    std::set<std::string> extensions;
    for (const Picture &p : store.allPictures()) {
        extensions.insert(p.name.substr(p.name.rfind('.')));
        EXPECT_EQ(std::filesystem::file_size(store.picturePath(p.id)), p.bytes);
    }
    EXPECT_EQ(extensions, (std::set<std::string>{".jpg", ".png", ".bmp"}));
}
