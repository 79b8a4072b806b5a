// Binding one plug-in library: the class by version, the texts, missing entries, the loads the
// factory leaves behind, and files that are no loadable plug-in.
#include "spi/SPIs.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/test_spi_support.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <typeinfo>

TEST(SpiBinding, FactoryChoosesTheClassByExactVersionAndReadsTheTexts)
{
    TestFolder folder;
    struct Case {
        const char *plugin;
        const std::type_info &cls;
        bool loader;
        QStringList extensions;
    } cases[] = {
        {"testspi_good", typeid(TInSPI), true, {"*.tsp"}},
        {"testspi_lower", typeid(TSPI), false, {"*.tsp"}},
        {"testspi_nopreview", typeid(TInSPI), true, {"*.tsp"}},
        {"testspi_noext", typeid(TInSPI), true, {}},
        {"testspi_six", typeid(TInSPI), true, {"*.tsp", "*.tsq"}},
        {"testspi_am", typeid(TAmSPI), true, {"*.tsp"}},
        {"testspi_xn", typeid(TXnSPI), false, {"*.tsp"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plugin);
        const QString path = folder.addPlugin(c.plugin, QString::fromLatin1(c.plugin) + ".spi");
        std::unique_ptr<TSPI> spi = CreateSPI(path);
        ASSERT_TRUE(spi);
        EXPECT_EQ(typeid(*spi), c.cls);
        EXPECT_EQ(spi->IsLoader, c.loader);
        EXPECT_EQ(spi->FileName, path);
        EXPECT_EQ(spi->PluginName, QStringLiteral("tovela test plug-in"));
        EXPECT_EQ(spi->Extensions, c.extensions);
        EXPECT_EQ(spi->Descriptions.size(), spi->Extensions.size());
    }
    // Without GetPreview a picture plug-in is whole; only the call of that entry is refused.
    std::unique_ptr<TSPI> spi = CreateSPI(TestPlugin("testspi_nopreview"));
    auto *in = dynamic_cast<TInSPI *>(spi.get());
    ASSERT_TRUE(in);
    EXPECT_EQ(in->Entries.GetPreview, nullptr);
    HLOCAL info = nullptr, bm = nullptr;
    EXPECT_THROW(in->GetPreview("x", 0, 0, &info, &bm, nullptr, 0), ESPIInvalidAPI);

    // A name that fills the whole buffer without a zero ends at the buffer's end.
    spi = CreateSPI(TestPlugin("testspi_fullbuf"));
    ASSERT_TRUE(spi);
    EXPECT_EQ(spi->PluginName, QString(255, QLatin1Char('N')));
    EXPECT_EQ(spi->APIVersion, QStringLiteral("00IN"));

    // One that answers every number still ends its pattern list.
    spi = CreateSPI(TestPlugin("testspi_endless"));
    ASSERT_TRUE(spi);
    EXPECT_EQ(spi->Extensions.size(), 256);
    EXPECT_EQ(spi->Extensions.back(), QStringLiteral("*.end"));
    EXPECT_EQ(spi->Descriptions.back(), QStringLiteral("endless"));
}

TEST(SpiBinding, MissingEntryIsNamedWithTheFileAndNothingStaysLoaded)
{
    TestFolder folder;
    const QString noget = folder.addPlugin("testspi_noget", "noget.spi");
    const QString am = folder.addPlugin("testspi_am_noarchive", "am.spi");
    try {
        CreateSPI(noget);
        ADD_FAILURE() << "no error";
    } catch (const ESPIInvalidAPI &e) {
        EXPECT_EQ(e.Message,
                  QStringLiteral("GetPictureは[%1]では使えないSusie Plugin APIです").arg(noget));
    }
    try {
        CreateSPI(am);
        ADD_FAILURE() << "no error";
    } catch (const ESPIInvalidAPI &e) {
        EXPECT_EQ(e.Message,
                  QStringLiteral("GetArchiveInfoは[%1]では使えないSusie Plugin APIです").arg(am));
    }
    EXPECT_FALSE(LibraryLoaded(noget));
    EXPECT_FALSE(LibraryLoaded(am));
}

TEST(SpiBinding, FactoryLeavesExactlyOneLoadOwnedByTheResult)
{
    TestFolder folder;
    const QString path = folder.addPlugin("testspi_good", "good.spi");
    ASSERT_FALSE(LibraryLoaded(path));
    std::unique_ptr<TSPI> spi = CreateSPI(path);
    ASSERT_TRUE(spi);
    EXPECT_TRUE(LibraryLoaded(path));
    // One more load and one unload of our own leave the count as it was; destroying the
    // object must then unload the library, so it held the only load.
    spi.reset();
    EXPECT_FALSE(LibraryLoaded(path));
}

TEST(SpiBinding, FilesThatAreNoLoadablePluginGiveNothingAndNoMessage)
{
    ScriptedDialogsGuard dialogs;
    TestFolder folder;
    QFile good(TestPlugin("testspi_good"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray elf = good.readAll();
    QByteArray foreign = elf;
    foreign[18] = char(183); // e_machine: AArch64
    foreign[19] = 0;
    const QString files[] = {
        TestPlugin("textfile"),
        folder.addFile("truncated.spi", elf.left(elf.size() / 3)),
        folder.addFile("foreign.spi", foreign),
        folder.addFile("empty.spi", QByteArray()),
    };
    for (const QString &path : files) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(CreateSPI(path), nullptr);
    }
    // A FIFO would block an open for reading; a folder is no library.
    const QString fifo = folder.path() + "/fifo.spi";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(CreateSPI(fifo), nullptr);
    ASSERT_TRUE(QDir(folder.path()).mkdir("dir.spi"));
    EXPECT_EQ(CreateSPI(folder.path() + "/dir.spi"), nullptr);
    EXPECT_TRUE(dialogs->boxes.empty());

    try {
        ConstructSPI<TSPI>(TestPlugin("textfile"));
        ADD_FAILURE() << "no error";
    } catch (const ESPIFOpenErrorSPI &e) {
        EXPECT_EQ(e.Message,
                  TestPlugin("textfile") + QStringLiteral(":Susie Pluginがロードできませんでした"));
    }
}
