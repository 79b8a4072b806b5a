#pragma once
// Indexes into the main window's lists: its views (tab k of DockTabSet1 shows view k, and
// LastView remembers one) and its 16 x 16 icon list.

// ViewSelect, DockTabSet1 and LastView.
namespace ViewIndex
{
constexpr int Pc = 0;       // PcView, the local pictures
constexpr int Order = 1;    // OrderView
constexpr int BigImage = 2; // BigImageView, the full-size preview
constexpr int Album = 3;    // AlbumView, the online album
} // namespace ViewIndex

// IconImageList, in the order of its pictures (resources/icons).
namespace IconIndex
{
constexpr int Up = 0;
constexpr int Album = 1;
constexpr int AlbumSelected = 2;
constexpr int AddPrint = 3;
} // namespace IconIndex
