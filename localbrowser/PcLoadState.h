#pragma once
// The local listing's state byte (PcLoadState).
#include "app/LoadState.h"

constexpr TLoadState NOW_LOADING_PC = 1; // a listing runs
constexpr TLoadState LOAD_COMP_PC = 2;   // a listing ended normally
constexpr TLoadState DO_STOP_PC = 3;     // another folder was picked while listing
constexpr TLoadState STOPED_PC = 4;      // idle, ready to list
