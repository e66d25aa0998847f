#include "framework/qt/Controls.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "framework/qt/WndImpl.h"

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, const ControlHooks& hooks)
{
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::MonthCalendar:
        widget = CreateMonthCalendar(parent, control.id, hooks);
        break;
    case ControlKind::Edit:
        widget = CreateEditControl(control, parent, hooks);
        break;
    case ControlKind::ListBox:
        widget = CreateListBox(control, parent, hooks);
        break;
    case ControlKind::Button: {
        auto* button = new QPushButton(QString::fromUtf8(control.text), parent);
        const unsigned id = control.id;
        QObject::connect(button, &QPushButton::clicked, button, [hooks, id] {
            if (hooks.command)
                hooks.command(id, 0);
        });
        if (control.style & BS_DEFPUSHBUTTON)
            button->setDefault(true);
        widget = button;
        break;
    }
    case ControlKind::Static: {
        auto* label = new QLabel(QString::fromUtf8(control.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(((control.style & SS_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        widget = label;
        break;
    }
    case ControlKind::StaticIcon: {
        auto* label = new QLabel(parent);
        const HICON icon = AfxGetApp() ? AfxGetApp()->LoadIcon(control.iconId) : nullptr;
        // An icon control shows the icon at its natural size, whatever the box.
        const int side = GetSystemMetrics(SM_CXICON);
        label->setPixmap(IconFromHandle(icon).pixmap(side, side));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
    }
    }
    widget->setObjectName(control.id == IDC_STATIC ? QString() : QStringLiteral("control%1").arg(control.id));
    widget->setFocusPolicy(control.style & WS_TABSTOP ? Qt::StrongFocus : Qt::NoFocus);
    return widget;
}
