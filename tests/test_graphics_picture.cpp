// The picture container and the picture-format registry: extension dispatch, case,
// newest registration wins (also over the built-ins), failures keep the previous picture.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/PictureFormats.h"
#include "platform/graphics/metafile/Metafile.h"
#include "test_graphics_support.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

// A picture kind of the tests: any data loads, its size is (bytes read, tag).
template <int Tag> class TTaggedGraphic : public TGraphic
{
public:
    void LoadFromStream(QIODevice &Stream) override { bytes = int(Stream.readAll().size()); }
    void Draw(QPainter &, const QRect &) const override {}
    bool Empty() const override { return false; }
    int Width() const override { return bytes; }
    int Height() const override { return Tag; }

private:
    int bytes = 0;
};

struct RegistryGuard {
    std::vector<const TGraphicClass *> classes;
    ~RegistryGuard()
    {
        for (auto *c : classes)
            UnregisterGraphicClass(*c);
    }
};

class PictureFiles : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &bytes)
    {
        return WriteTestFile(dir.path(), name, bytes);
    }
    static QByteArray saved(const QImage &image, const char *format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(PictureFiles, ExtensionChoosesTheClassWithoutRegardToCase)
{
    const QByteArray jpeg = EncodeJpeg(TestPattern(64, 48));
    TPicture picture;
    picture.LoadFromFile(write(QStringLiteral("a.jpg"), jpeg));
    EXPECT_NE(dynamic_cast<TJPEGImage *>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_EQ(picture.Height(), 48);
    picture.LoadFromFile(write(QStringLiteral("b.JPEG"), jpeg));
    EXPECT_NE(dynamic_cast<TJPEGImage *>(picture.Graphic()), nullptr);
    picture.LoadFromFile(write(QStringLiteral("c.Bmp"), saved(TestPattern(7, 9), "BMP")));
    EXPECT_NE(dynamic_cast<TBitmap *>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 7);
    picture.LoadFromFile(write(QStringLiteral("d.ICO"), saved(TestPattern(16, 16), "ICO")));
    EXPECT_NE(dynamic_cast<TIcon *>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 16);
    // The folder's dots do not count as an extension.
    QDir(dir.path()).mkdir(QStringLiteral("x.jpg"));
    EXPECT_THROW(picture.LoadFromFile(write(QStringLiteral("x.jpg/noext"), jpeg)), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 16);
}

TEST_F(PictureFiles, UnknownExtensionsMetafilesAndWrongDataFailAndKeepThePicture)
{
    TPicture picture;
    picture.LoadFromFile(write(QStringLiteral("keep.bmp"), saved(TestPattern(11, 12), "BMP")));
    const QString failing[] = {
        write(QStringLiteral("notes.txt"), "just text\n"),
        write(QStringLiteral("picture.png"), saved(TestPattern(8, 8), "PNG")),
        write(QStringLiteral("noextension"), EncodeJpeg(TestPattern(8, 8))),
        write(QStringLiteral("drawing.wmf"), QByteArray(64, '\x01')),
        write(QStringLiteral("drawing.EMF"), QByteArray(64, '\x01')),
        write(QStringLiteral("jpeg-inside.bmp"), EncodeJpeg(TestPattern(8, 8))),
        write(QStringLiteral("bmp-inside.jpg"), saved(TestPattern(8, 8), "BMP")),
        write(QStringLiteral("empty.jpg"), QByteArray()),
        write(QStringLiteral("empty.bmp"), QByteArray()),
        write(QStringLiteral("empty.ico"), QByteArray()),
        dir.path() + QStringLiteral("/missing.jpg"),
    };
    for (const QString &path : failing) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_THROW(picture.LoadFromFile(path), Exception);
        EXPECT_NE(dynamic_cast<TBitmap *>(picture.Graphic()), nullptr);
        EXPECT_EQ(picture.Width(), 11);
    }
    try {
        picture.LoadFromFile(failing[0]);
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(e.Message, QStringLiteral("Unknown picture file extension (.txt)"));
    }
    EXPECT_THROW(picture.LoadFromFile(failing[3]), EInvalidGraphic);
}

TEST_F(PictureFiles, NewestRegistrationWinsAlsoOverBuiltInsAndUnregisteringRestores)
{
    RegistryGuard guard;
    static const TGraphicClass first{
        QStringLiteral("TFirst"), [] { return std::unique_ptr<TGraphic>(new TTaggedGraphic<1>); }};
    static const TGraphicClass second{
        QStringLiteral("TSecond"), [] { return std::unique_ptr<TGraphic>(new TTaggedGraphic<2>); }};
    guard.classes = {&first, &second};

    EXPECT_EQ(FindGraphicClass(QStringLiteral("JPG")), &JPEGImageClass());
    EXPECT_EQ(FindGraphicClass(QStringLiteral(".jpeg")), &JPEGImageClass());
    EXPECT_EQ(FindGraphicClass(QStringLiteral("xyz")), nullptr);

    RegisterFileFormat(QStringLiteral("XyZ"), QStringLiteral("first"), first);
    RegisterFileFormat(QStringLiteral("xyz"), QStringLiteral("second"), second);
    EXPECT_EQ(FindGraphicClass(QStringLiteral("XYZ")), &second);
    RegisterFileFormat(QStringLiteral("jpg"), QStringLiteral("plug-in jpg"), first);

    const QString jpgPath = write(QStringLiteral("photo.JPG"), EncodeJpeg(TestPattern(30, 20)));
    TPicture picture;
    picture.LoadFromFile(jpgPath);
    ASSERT_NE(dynamic_cast<TTaggedGraphic<1> *>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), int(QFile(jpgPath).size()));
    EXPECT_EQ(FileFormats().first().Extension, QStringLiteral("jpg"));

    UnregisterGraphicClass(second);
    EXPECT_EQ(FindGraphicClass(QStringLiteral("xyz")), &first);
    UnregisterGraphicClass(first);
    EXPECT_EQ(FindGraphicClass(QStringLiteral("xyz")), nullptr);
    picture.LoadFromFile(jpgPath);
    EXPECT_NE(dynamic_cast<TJPEGImage *>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 30);

    QStringList builtIns;
    for (const TFileFormat &f : FileFormats())
        builtIns << f.Extension;
    EXPECT_EQ(builtIns, (QStringList{"jpeg", "jpg", "emf", "wmf", "ico", "bmp"}));
    EXPECT_EQ(FindGraphicClass(QStringLiteral("wmf")), &MetafileClass());
}

TEST_F(PictureFiles, BitmapConversionKeepsThePictureAndChangesAreSignalled)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TPicture *) { ++changes; };
    picture.LoadFromFile(write(QStringLiteral("p.jpg"), EncodeJpeg(TestPattern(50, 40))));
    EXPECT_EQ(changes, 1);
    const QImage decoded = dynamic_cast<TJPEGImage *>(picture.Graphic())->Image();
    TBitmap *bitmap = picture.Bitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.Graphic(), bitmap);
    EXPECT_EQ(MaxChannelDifference(bitmap->Image(), decoded), 0);
    const int before = changes;
    bitmap->SetSize(10, 10);
    EXPECT_GT(changes, before);
    EXPECT_EQ(picture.Width(), 10);
}
