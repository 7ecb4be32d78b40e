// Gain register for a fluorescence shot: half the amplification of `reg` (the exposure
// is doubled instead). decibelScale03 selects the driver families whose register
// counts 0.3 dB steps; the others count 0.0351 dB above a 6 dB base. The answer may be
// negative (no register halves the gain); the caller refuses it.
#pragma once

int HalvedGainRegister(int reg, bool decibelScale03);
