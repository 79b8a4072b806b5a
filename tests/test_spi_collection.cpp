// The plug-in collection: one instance, format registration, the folder search and the
// candidate list of a file.
#include "platform/graphics/PictureFormats.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"
#include "tests/test_spi_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class SpiCollection : public ::testing::Test
{
protected:
    // Registrations outlive a collection; leave the registry as the other tests expect it.
    void TearDown() override { UnregisterGraphicClass(SPIBitmapClass()); }
};

QStringList names(const std::vector<TSPI *> &list)
{
    QStringList out;
    for (TSPI *spi : list)
        out.append(QFileInfo(spi->FileName).fileName());
    return out;
}
} // namespace

TEST_F(SpiCollection, OnlyOneCollectionExists)
{
    {
        TSPIs first;
        EXPECT_EQ(SPIsInstance(), &first);
        try {
            TSPIs second;
            ADD_FAILURE() << "second collection made";
        } catch (const ESPIDupCreateSPIs &e) {
            EXPECT_EQ(e.Message, QStringLiteral("TSPIs は複数生成できません"));
        }
        EXPECT_EQ(SPIsInstance(), &first);
        EXPECT_TRUE(first.MacBinary);
        EXPECT_FALSE(first.GraphicPreview);
        EXPECT_EQ(first.SearchOptions,
                  (TSPISearchOptions{TSPISearchOption::spsSusieDir, TSPISearchOption::spsAppDir}));
    }
    EXPECT_EQ(SPIsInstance(), nullptr);
}

TEST_F(SpiCollection, CandidatesAreMatchesNewestFirstThenTheRestAndOnlyPicturePlugins)
{
    TestFolder folder;
    folder.addPlugin("testspi_pic_a", "a.spi");
    folder.addPlugin("testspi_jpg_b", "b.spi");
    folder.addPlugin("testspi_pic_c", "c.spi");
    folder.addPlugin("testspi_am", "d.spi");
    folder.addPlugin("testspi_xn", "e.spi");
    folder.addPlugin("testspi_lower", "f.spi");
    TSPIs spis;
    spis.Search(folder.path() + "/*.spi");
    ASSERT_EQ(spis.Count(), 6);
    const auto candidates = [&](const QString &file) {
        std::vector<TSPI *> list;
        spis.ListCandidates({&SPIIsOf<TInSPI>}, list, file);
        return names(list);
    };
    EXPECT_EQ(candidates("/photos/old.PIC"), QStringList({"c.spi", "a.spi", "b.spi"}));
    EXPECT_EQ(candidates("/photos/shot.jpg"), QStringList({"b.spi", "a.spi", "c.spi"}));
    EXPECT_EQ(candidates("/photos.pic/noextension"), QStringList({"a.spi", "b.spi", "c.spi"}));
    // The archive, 00XN and unknown-version plug-ins declare "*.tsp" and register nothing.
    EXPECT_EQ(FindGraphicClass("tsp"), nullptr);
    EXPECT_EQ(FindGraphicClass("PIC"), &SPIBitmapClass());
    EXPECT_EQ(FindGraphicClass("jpg"), &SPIBitmapClass());
}

TEST_F(SpiCollection, PatternItemsRegisterFromLastToFirstAndAChosenClassCarriesOn)
{
    TSPIs spis;
    QStringList seen;
    spis.OnPictureRegister = [&](TSPIs *sender, TSPI *, const QString &ext, const QString &desc,
                                 const TGraphicClass *&cls) {
        EXPECT_EQ(sender, &spis);
        EXPECT_EQ(cls, &SPIBitmapClass());
        seen.append(ext + "/" + desc);
    };
    spis.Add(CreateSPI(TestPlugin("testspi_two")));
    EXPECT_EQ(seen, QStringList({"tsb/two patterns", "tsa/two patterns"}));
    const QList<TFileFormat> formats = FileFormats(); // newest first
    ASSERT_GE(formats.size(), 2);
    EXPECT_EQ(formats[0].Extension, "tsa");
    EXPECT_EQ(formats[1].Extension, "tsb");
    EXPECT_EQ(formats[0].GraphicClass, &SPIBitmapClass());

    // Clearing the class for the first item handled leaves the second unregistered too.
    TestFolder folder;
    spis.OnPictureRegister = [&](TSPIs *, TSPI *, const QString &ext, const QString &,
                                 const TGraphicClass *&cls) {
        if (ext == "tsb")
            cls = nullptr;
    };
    spis.Add(CreateSPI(folder.addPlugin("testspi_two", "again.spi")));
    EXPECT_EQ(spis.Count(), 2);
    EXPECT_EQ(FileFormats().size(), formats.size());

    // A registration that fails takes the plug-in out again.
    spis.OnPictureRegister = [](TSPIs *, TSPI *, const QString &, const QString &,
                                const TGraphicClass *&) { throw Exception("refused"); };
    const QString third = folder.addPlugin("testspi_two", "third.spi");
    EXPECT_THROW(spis.Add(CreateSPI(third)), Exception);
    EXPECT_EQ(spis.Count(), 2);
    EXPECT_FALSE(LibraryLoaded(third));
}

TEST_F(SpiCollection, SearchingAgainLoadsNothingTwiceAndCallbacksDecide)
{
    TestFolder folder;
    const QString a = folder.addPlugin("testspi_good", "a.spi");
    const QString b = folder.addPlugin("testspi_pic_a", "b.SPI");
    const QString c = folder.addPlugin("testspi_pic_c", "c.spi");
    const QString d = folder.addPlugin("testspi_jpg_b", "d.spi");
    folder.addPlugin("testspi_good", ".hidden.spi");
    TSPIs spis;
    QStringList asked;
    spis.OnSearching = [&](TSPIs *, const QString &file, bool &accept) {
        asked.append(QFileInfo(file).fileName());
        if (file == c)
            accept = false;
    };
    spis.OnSearch = [&](TSPIs *, TSPI *spi, bool &) {
        if (spi->FileName == d)
            throw Exception("callback fails");
    };
    spis.Search(folder.path() + "/*.spi");
    EXPECT_EQ(asked, QStringList({"a.spi", "b.SPI", "c.spi", "d.spi"}));
    ASSERT_EQ(spis.Count(), 2);
    EXPECT_EQ(spis.Items(0)->FileName, a);
    EXPECT_EQ(spis.Items(1)->FileName, b);
    EXPECT_FALSE(LibraryLoaded(c));
    EXPECT_FALSE(LibraryLoaded(d));
    EXPECT_EQ(spis.IndexOf(a.toUpper()), 0);
    EXPECT_EQ(spis.IndexOf(b.toLower()), 1);
    EXPECT_EQ(spis.IndexOf(c), -1);

    asked.clear();
    spis.OnSearch = [](TSPIs *, TSPI *, bool &accept) { accept = false; };
    spis.Search(folder.path() + "/*.spi");
    EXPECT_EQ(asked, QStringList({"c.spi", "d.spi"})); // the loaded ones are not asked again
    EXPECT_EQ(spis.Count(), 2);
    spis.Delete(0);
    EXPECT_FALSE(LibraryLoaded(a));
    spis.Clear();
    EXPECT_FALSE(LibraryLoaded(b));
}

TEST_F(SpiCollection, AnInvalidPluginEndsTheScanAndKeepsWhatWasLoaded)
{
    TestFolder folder;
    folder.addPlugin("testspi_good", "1.spi");
    const QString bad = folder.addPlugin("testspi_noget", "2.spi");
    folder.addPlugin("testspi_pic_a", "3.spi");
    TSPIs spis;
    try {
        spis.Search(folder.path() + "/*.spi");
        ADD_FAILURE() << "no error";
    } catch (const ESPIInvalidAPI &e) {
        EXPECT_TRUE(e.Message.contains(bad));
    }
    EXPECT_EQ(spis.Count(), 1);
}

TEST_F(SpiCollection, FilesThatAreNoPluginAndAFolderThatVanishesAreSkipped)
{
    TestFolder folder;
    QFile good(TestPlugin("testspi_good"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray elf = good.readAll();
    QByteArray foreign = elf;
    foreign[18] = char(183);
    foreign[19] = 0;
    folder.addFile("a-text.spi", "text\n");
    folder.addFile("b-truncated.spi", elf.left(4096));
    folder.addFile("c-foreign.spi", foreign);
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.path() + "/d-fifo.spi").constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("e-folder.spi"));
    const QString plugin = folder.addPlugin("testspi_good", "z-good.spi");
    TSPIs spis;
    spis.Search(folder.path() + "/*.spi");
    ASSERT_EQ(spis.Count(), 1);
    EXPECT_EQ(spis.Items(0)->FileName, plugin);
    spis.Clear();

    // The folder goes after it was listed: the rest is skipped without an error.
    TestFolder vanishing;
    const QString first = vanishing.addPlugin("testspi_good", "1.spi");
    vanishing.addPlugin("testspi_pic_a", "2.spi");
    spis.OnSearching = [&](TSPIs *, const QString &, bool &) {
        QDir(vanishing.path()).removeRecursively();
    };
    EXPECT_NO_THROW(spis.Search(vanishing.path() + "/*.spi"));
    EXPECT_EQ(spis.Count(), 0);
    spis.OnSearching = nullptr;
    EXPECT_NO_THROW(spis.Search(vanishing.path() + "/*.spi")); // a folder that is not there
    EXPECT_NO_THROW(spis.Search(QStringLiteral("*.nothing-matches")));
    EXPECT_EQ(spis.Count(), 0);
}

TEST_F(SpiCollection, AMaskWithoutAFolderSearchesTheChosenPlacesInTheirOrder)
{
    // A plug-in in the program's folder and one in the current folder.
    const QString inProgram = QCoreApplication::applicationDirPath() +
                              QStringLiteral("/tovela-place-test-%1.spi").arg(getpid());
    if (!QFile::copy(TestPlugin("testspi_pic_a"), inProgram))
        GTEST_SKIP() << "the program's folder is not writable here";
    struct Restore {
        QString file, folder;
        ~Restore()
        {
            QFile::remove(file);
            QDir::setCurrent(folder);
        }
    } restore{inProgram, QDir::currentPath()};
    TestFolder current;
    current.addPlugin("testspi_good", "here.spi");
    ASSERT_TRUE(QDir::setCurrent(current.path()));
    const QString here = QDir::currentPath() + "/here.spi";

    TSPIs spis;
    QStringList asked;
    spis.OnSearching = [&](TSPIs *, const QString &file, bool &) { asked.append(file); };
    // By default the Susie folder, which this system has none of, and the program's folder.
    spis.Search("*.spi");
    EXPECT_TRUE(asked.contains(inProgram));
    EXPECT_FALSE(asked.contains(here));
    EXPECT_GE(spis.IndexOf(inProgram), 0);
    spis.Clear();

    // The places go in their fixed order, whatever order the set was written in.
    asked.clear();
    spis.SearchOptions = {TSPISearchOption::spsCurrentDir, TSPISearchOption::spsAppDir};
    spis.Search("*.spi");
    ASSERT_TRUE(asked.contains(inProgram));
    ASSERT_TRUE(asked.contains(here));
    EXPECT_LT(asked.indexOf(inProgram), asked.indexOf(here));
    EXPECT_LT(spis.IndexOf(inProgram), spis.IndexOf(here));
    EXPECT_GE(spis.IndexOf(inProgram), 0);
}
