#pragma once
// The state byte of a loading branch: StopTimer drives two, the local listing's PcLoadState
// (localbrowser/PcLoadState.h) and the album's AlbumLoadState (album/AlbumLoadState.h). Both
// hold values of one numbering, 0 for "NOTHING", so both are of one type.
#include <cstdint>

using TLoadState = uint8_t;

constexpr TLoadState NOTHING = 0; // neither branch uses it
