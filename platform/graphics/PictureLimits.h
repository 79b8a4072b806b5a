#pragma once
// The largest picture the decoders accept. A header may claim any size; pictures beyond the
// limit are refused before any pixel memory is taken, so a hostile file cannot exhaust memory.
#include <QtGlobal>

// 2^27 pixels (512 MiB as 32-bit pixels): room for 100-megapixel photographs.
constexpr qint64 DefaultMaxPicturePixels = qint64(1) << 27;

// The limit in pixels; changeable for hosts that must stay small (a fuzzing harness, say).
qint64 MaxPicturePixels();
void SetMaxPicturePixels(qint64 pixels);

// Raises EInvalidGraphic unless width x height is positive and within the limit.
void CheckPictureSize(qint64 width, qint64 height);
