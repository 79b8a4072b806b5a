// A picture whose file name is Shift-JIS bytes (from a Windows medium) is listed, sent with its
// bytes unchanged, and its filename parameter is the path in Shift-JIS.
#include "app/Unit1.h"
#include "platform/base/Timer.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "tests/test_upload_support.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

class LocalUploadNames : public UploadFixture
{
};

TEST_F(LocalUploadNames, AShiftJisNameIsUploadedByItsBytes)
{
    startWith();
    // The filename parameter's bytes and the stored picture are read from the service.
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "the request record: the filename's bytes");
    const QString name = QStringLiteral("表示ソフト.jpg");
    const QByteArray sjis = toShiftJis(name);
    const QByteArray bytes("\xFF\xD8\xFF\xE0 picture from a CD \x00\x01", 26);
    const QByteArray path = QFile::encodeName(folder) + '/' + sjis;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);

    ASSERT_TRUE(form->PcTreeView->SelectPath(folder));
    for (int tick = 0; tick < 5 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerPcBranch();
    ASSERT_EQ(form->PcImages.size(), 1u);
    EXPECT_EQ(form->PcImages[0].Name, name);
    form->PcListView->setSelected(0, true);
    runUpload();

    EXPECT_EQ(sentFileNames(), QList<QByteArray>{toShiftJis(folder + "/") + sjis});
    const QList<StoredPicture> stored = service->uploads();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].name, name);
    EXPECT_EQ(fileBytes(stored[0].file), bytes);
}
