#pragma once
// The local listing's state byte (PcLoadState).
#include <cstdint>

constexpr uint8_t NOW_LOADING_PC = 1; // a listing runs
constexpr uint8_t LOAD_COMP_PC = 2;   // a listing ended normally
constexpr uint8_t DO_STOP_PC = 3;     // another folder was picked while listing
constexpr uint8_t STOPED_PC = 4;      // idle, ready to list
