#pragma once
// The desktop program's files: the settings file and the current parameter
// file, and the filter its file dialogs offer for parameter files.

#include <string>

extern std::string IniFileName;   // "Hyd.ini" until the command line names another
extern std::string DataFileName;  // "Data.Hyd" until the settings file names another
extern const std::string ParamFileFilter;
