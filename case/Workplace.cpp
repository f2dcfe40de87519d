#include "case/Workplace.h"

#include <filesystem>
#include <system_error>

std::string IniFileName = "Hyd.ini";
std::string DataFileName = "Data.Hyd";
const std::string ParamFileFilter = "*.Hyd — файлы параметров расчёта|*.Hyd|*.* — все файлы|*.*";

std::string WorkplaceFilePath(const std::string& Name, const std::string& ConfigDir)
{
    if (Name.empty() || ConfigDir.empty() || Name.find('/') != std::string::npos)
        return Name;
    if (ConfigDir.back() == '/')
        return ConfigDir + Name;
    return ConfigDir + "/" + Name;
}

std::string CommandLineFilePath(const std::string& Name)
{
    if (Name.empty())
        return Name;
    std::error_code Error;
    const std::filesystem::path Absolute = std::filesystem::absolute(Name, Error);
    if (Error)
        return Name;
    return Absolute.lexically_normal().string();
}
