#pragma once

// The password of the data file. It is a constant of the program: the file is
// encrypted so that it is not edited by hand beside the console, not to keep
// its texts secret. The generator writes the file with it and the console
// opens it with it.
inline constexpr char DataFilePassword[] = "B47C";

// Key derivation rounds. With a password that ships inside the program, many
// rounds would protect nothing and only slow every opening of the file; the
// writer and the reader must use the same number.
inline constexpr int DataFileKdfRounds = 4000;
