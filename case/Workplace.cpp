#include "case/Workplace.h"

std::string IniFileName = "Hyd.ini";
std::string DataFileName = "Data.Hyd";
const std::string ParamFileFilter = "*.Hyd — файлы параметров расчёта|*.Hyd|*.* — все файлы|*.*";
