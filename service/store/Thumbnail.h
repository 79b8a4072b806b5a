#pragma once
// Thumbnails for the album: JPEG pictures that fit in 100 x 100.
#include <filesystem>
#include <string>

namespace service
{

inline constexpr int kThumbnailSize = 100;

// The thumbnail of the picture file: scaled down (never up) to fit in 100 x 100 keeping its
// shape. A file that cannot be decoded gets a plain grey placeholder so that it still shows.
std::string makeThumbnailJpeg(const std::filesystem::path &picture);

// Makes the thumbnail once and keeps it at cachePath; returns its bytes.
std::string thumbnailJpeg(const std::filesystem::path &picture,
                          const std::filesystem::path &cachePath);

} // namespace service
