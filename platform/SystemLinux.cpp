// Linux: kernel files to keep away from, and a window of points.
#include "platform/FileCalls.h"
#include "platform/System.h"

#include <sys/vfs.h>

std::uint32_t SystemWindowFlags()
{
    return 0;
}

void NarrateWhereItCanBeRead() {}

bool file_calls::OnPseudoFileSystem(int fd)
{
    constexpr unsigned long kProc = 0x9fa0;
    constexpr unsigned long kSysfs = 0x62656572;
    struct statfs where = {};
    if (fstatfs(fd, &where) != 0)
    {
        return false;
    }
    const auto type = static_cast<unsigned long>(where.f_type);
    return type == kProc || type == kSysfs;
}
