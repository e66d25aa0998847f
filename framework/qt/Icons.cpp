// Icons of the program's resources, loaded once and kept for the life of the process.
#include <QIcon>
#include <map>

#include "app/WinApp.h"
#include "app/WndImpl.h"
#include "res/Resource.h"

namespace {

struct LoadedIcon {
    IconHandle handle;
    QIcon icon;
};

std::map<unsigned, LoadedIcon>& loadedIcons()
{
    static std::map<unsigned, LoadedIcon> icons;
    return icons;
}

QIcon loadClockIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/clock-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

HICON CWinApp::LoadIcon(UINT id) const
{
    auto& icons = loadedIcons();
    auto it = icons.find(id);
    if (it == icons.end()) {
        if (id != IDI_CLOCK)
            return nullptr;
        it = icons.emplace(id, LoadedIcon{IconHandle{id}, loadClockIcon()}).first;
    }
    return &it->second.handle;
}

const QIcon& IconFromHandle(HICON icon)
{
    static const QIcon none;
    if (!icon)
        return none;
    auto& icons = loadedIcons();
    const auto it = icons.find(icon->id);
    return it == icons.end() ? none : it->second.icon;
}
