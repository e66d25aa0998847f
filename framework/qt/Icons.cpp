// Icons of the program's resources, made once from their PNG images and kept for the life of
// the process.
#include <QIcon>
#include <QPixmap>
#include <map>

#include "core/ResourceTable.h"
#include "framework/WinApp.h"
#include "framework/qt/WndImpl.h"

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

QIcon iconFrom(const IconResource& resource)
{
    QIcon icon;
    for (const IconImage& image : resource.images) {
        QPixmap pixmap;
        if (pixmap.loadFromData(image.png.data(), static_cast<uint>(image.png.size()), "PNG"))
            icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

HICON CWinApp::LoadIcon(UINT id) const
{
    auto& icons = loadedIcons();
    auto it = icons.find(id);
    if (it == icons.end()) {
        const IconResource* resource = FindIconResource(id);
        if (!resource)
            return nullptr;
        it = icons.emplace(id, LoadedIcon{IconHandle{id}, iconFrom(*resource)}).first;
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
