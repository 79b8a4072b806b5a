#pragma once
// The start of the fuzz targets that draw pictures: Qt's GUI on the offscreen platform, and a
// picture limit of 16 megapixels, which keeps one input well inside the fuzzer's memory limit
// under ASan, and Qt's warnings off. Each such target includes it once, for its
// LLVMFuzzerInitialize.
#include "platform/graphics/PictureLimits.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt warns about every damaged input (a seek past the end of the buffer); printing those
    // would take most of a run.
    setenv("QT_LOGGING_RULES", "*.warning=false", 1);
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(*argc, *argv));
    SetMaxPicturePixels(qint64(1) << 24);
    return 0;
}
