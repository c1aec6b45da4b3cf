#include "settings/liststyle.h"

#include "settings/profile.h"

namespace settings {

namespace {
    constexpr quint32 kFullRowSelect = 0x20;
} // namespace

quint32 ListStyle(const QString& iniPath)
{
    return quint32(GetPrivateProfileInt(QStringLiteral("Config"), QStringLiteral("Table"), iniPath)) | kFullRowSelect;
}

} // namespace settings
