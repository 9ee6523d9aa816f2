// The path of iconpos.dat: the hook library's own folder plus "iconpos.dat". Portable;
// the library's attach code calls it with its module file name.
#pragma once

inline constexpr unsigned kIconPathCapacity = 260; // UTF-16 units, terminator included

// moduleName holds nameLength units as GetModuleFileNameW returned them (0 when the name
// could not be read, the capacity when it was cut short). Writes the path, or an empty
// string when the name is unusable, has no '\' or the path would not fit; returns whether
// a path was written.
bool makeIconPosPath(const wchar_t* moduleName, unsigned nameLength,
                     wchar_t (&path)[kIconPathCapacity]);
