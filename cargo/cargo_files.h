// Reading the cargo add-on's files, shared by loading and consuming.
//
// Cargo type and class names come from scenario files and other modules and
// become paths below config\vessels; the path helpers refuse names that
// would leave that folder or that do not fit their buffer, so such a name
// behaves like a missing file.
#pragma once

#include <cstdio>

namespace cargo_files {

// Line buffers: loading reads lines of up to 254 characters, the class
// description check up to 99; longer lines come in pieces.
constexpr int LoadLineCapacity = 255;
constexpr int DescriptionLineCapacity = 100;
// The cargo file path of a load: 99 characters and the terminator.
constexpr int CargoPathCapacity = 100;

// What loading reads from one cargo file.
struct CargoFileEntries {
  bool hasMesh = false;
  bool hasDescription = false;
  bool hasMass = false;
  bool hasAttachment = false;
  char meshName[LoadLineCapacity] = "";
  char forceName[8] = "";  // 7 characters
  char description[50] = "";  // 49 characters
  double mass = 0;
};

// True when name stays inside the folder it is appended to: no absolute
// path, no drive or stream (':'), no component that climbs out ("..").
bool StaysInFolder(const char *name);

// Writes folder + name into path, with ".cfg" appended unless the name
// already contains it in any case. False when the name would leave the
// folder or the path does not fit.
bool ComposeConfigPath(char *path, int capacity, const char *folder, const char *name);

// Reads every line of an open cargo file into entries (later lines of a key
// win) and leaves the file open.
void ReadCargoFile(FILE *file, CargoFileEntries &entries);

// The description value of a key line: characters after '=' and the spaces
// after it, up to maxChars, cut at ';' and at any byte below 14 taken as a
// signed 8-bit number. Empty when the line has no '='.
void ReadDescriptionValue(const char *line, char *out, int maxChars);

}  // namespace cargo_files
