#pragma once
// A temporary folder where the tests make their pictures with other tools.
#include "test_plugins_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class PluginPictures : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir_.filePath(name); }

    // A 66 x 46 plasma (photo-like, seeded) in 8-bit samples made by ImageMagick with the
    // given extra arguments; alpha adds a transparency ramp from opaque to clear; format
    // prefixes the output name ("PNG8:").
    QString makeWithMagick(const QString &name, const QStringList &extra, bool alpha = false,
                           const QString &format = {})
    {
        QStringList args{"-size", "66x46", "-seed", "7", "plasma:"};
        if (alpha)
            args << "("
                 << "-size"
                 << "66x46"
                 << "gradient:white-black"
                 << ")"
                 << "-alpha"
                 << "off"
                 << "-compose"
                 << "CopyOpacity"
                 << "-composite";
        args << "-depth"
             << "8" << extra << format + path(name);
        runTool("convert", args);
        return path(name);
    }

    // Decodes the file through both sources (file name and memory) and expects the reference
    // pixels within tolerance.
    void expectPixels(const ShippedPlugin &plugin, const QString &file,
                      const std::vector<uint8_t> &reference, int32_t width, int32_t height,
                      int tolerance)
    {
        SCOPED_TRACE(file.toStdString());
        Decoded fromFile = decodeFile(plugin, file);
        Decoded fromMemory = decodeMemory(plugin, readAll(file));
        ASSERT_EQ(fromFile.result, SPI_SUCCESS);
        ASSERT_EQ(fromMemory.result, SPI_SUCCESS);
        EXPECT_EQ(fromFile.width, width);
        EXPECT_EQ(fromFile.height, height);
        EXPECT_EQ(fromFile.rgb, fromMemory.rgb);
        int difference = maxDifference(fromFile.rgb, reference);
        EXPECT_GE(difference, 0) << "sizes differ";
        EXPECT_LE(difference, tolerance);
    }

    void expectLikeMagick(const ShippedPlugin &plugin, const QString &file, int tolerance = 0)
    {
        int32_t width = 0, height = 0;
        std::vector<uint8_t> reference = magickRgb(file, &width, &height);
        expectPixels(plugin, file, reference, width, height, tolerance);
    }

    void TearDown() override
    {
        EXPECT_EQ(LocalAllocCount(), LocalFreeCount()) << "every block freed";
    }

private:
    QTemporaryDir dir_;
};
