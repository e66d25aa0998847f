// A window's accelerator table: shortcuts of the window that send the rows' commands.
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <algorithm>

#include "framework/Wnd.h"
#include "framework/qt/WndImpl.h"

namespace {

QKeySequence keyOf(const ACCEL& accel)
{
    int key = 0;
    if ((accel.key >= 'A' && accel.key <= 'Z') || (accel.key >= '0' && accel.key <= '9'))
        key = accel.key; // Qt numbers these keys as the virtual-key codes do
    else if (accel.key >= VK_F1 && accel.key < VK_F1 + 12)
        key = Qt::Key_F1 + (accel.key - VK_F1);
    if (!key || !(accel.fVirt & FVIRTKEY))
        return {};
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, accel.fVirt & FSHIFT);
    modifiers.setFlag(Qt::ControlModifier, accel.fVirt & FCONTROL);
    modifiers.setFlag(Qt::AltModifier, accel.fVirt & FALT);
    return QKeySequence(QKeyCombination(modifiers, Qt::Key(key)));
}

} // namespace

void CWnd::SetAccelerators(std::span<const ACCEL> table)
{
    QWidget* widget = GetImpl() ? GetImpl()->widget.data() : nullptr;
    if (!widget)
        return;
    for (QShortcut* old : widget->findChildren<QShortcut*>(QStringLiteral("accelerator"), Qt::FindDirectChildrenOnly))
        delete old;
    for (const ACCEL& accel : table) {
        const QKeySequence key = keyOf(accel);
        if (key.isEmpty())
            continue;
        auto* shortcut = new QShortcut(key, widget);
        shortcut->setObjectName(QStringLiteral("accelerator"));
        const UINT command = accel.cmd;
        QObject::connect(shortcut, &QShortcut::activated, widget, [this, command] {
            const auto& items = GetSystemMenu(FALSE)->Items();
            const bool inMenu = std::any_of(items.begin(), items.end(), [command](const CMenu::Item& item) {
                return item.id == command && !(item.flags & MF_SEPARATOR);
            });
            SendMessage(inMenu ? WM_SYSCOMMAND : WM_COMMAND, command, 0);
        });
    }
}
