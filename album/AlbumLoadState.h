#pragma once
// The album loading state byte (AlbumLoadState). 0 is "NOTHING", which the album never uses.
#include "app/LoadState.h"

#include <QString>

constexpr TLoadState NOW_LOADING_ALBUM = 6; // a picture list is being loaded
constexpr TLoadState LOAD_COMP_ALBUM = 7;   // a load has run to its end
constexpr TLoadState DO_STOP_ALBUM = 8;     // another folder was picked; the running load stops
constexpr TLoadState STOPED_ALBUM = 9;      // idle, ready to load

// The name StopTimer writes to the trace on every tick.
QString AlbumLoadStateName(TLoadState state);
