#include "app/data_dir.h"

#ifndef ZUMI_RELATIVE_DATADIR
#define ZUMI_RELATIVE_DATADIR "../share"
#endif

namespace zumi {

std::filesystem::path findDataDir(const std::filesystem::path& binaryDir)
{
    std::error_code ec;
    if (std::filesystem::is_directory(binaryDir / "sounds", ec))
        return binaryDir;
    return (binaryDir / ZUMI_RELATIVE_DATADIR / "zumi").lexically_normal();
}

} // namespace zumi
