#pragma once
// The desktop program's files: the settings file and the current parameter
// file, where their names are placed, and the filter its file dialogs offer
// for parameter files.

#include <string>

extern std::string IniFileName;   // "Hyd.ini" until the command line names another
extern std::string DataFileName;  // "Data.Hyd" until the settings file names another
extern const std::string ParamFileFilter;

// Where the desktop program keeps a file of its workplace: a bare name
// ("Hyd.ini", no "/" in it) lives in ConfigDir, the user's folder of the
// program's settings, joined with "/"; a name with a folder in it, relative
// or absolute, stays as it is. An empty ConfigDir leaves a bare name in the
// working directory; an empty name stays empty.
std::string WorkplaceFilePath(const std::string& Name, const std::string& ConfigDir);

// A file named on the command line: taken relative to the working directory
// the program was started in, made absolute and lexically normal ("." and ".."
// resolved by the name alone, links not followed), so that it names the same
// file whatever the program's working directory is later. An empty name stays
// empty; a name that cannot be made absolute (no working directory) stays as
// it is.
std::string CommandLineFilePath(const std::string& Name);
