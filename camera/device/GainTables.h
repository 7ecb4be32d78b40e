// The gain tables the product presets and the driver-library cameras share: gain
// register values of each step, lowest first.
#pragma once

inline constexpr int kGainG1[] = {20, 28, 44, 68, 100, 140, 188, 214};
inline constexpr int kGainG2[] = {1, 8, 16, 32, 36, 40, 44, 48};
inline constexpr int kGainG3[] = {216, 345, 445, 504, 570};
inline constexpr int kGainG4[] = {87, 171, 274, 345, 399, 445, 504, 570};
inline constexpr int kGainG5[] = {1, 87, 171, 274, 345, 399, 445, 504, 570};
inline constexpr int kGainG6[] = {200, 373, 470, 544, 590};
inline constexpr int kGainG7[] = {20, 28, 44, 68, 100, 120};
