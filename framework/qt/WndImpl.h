// The Qt side of a CWnd: the widget behind it and what the framework keeps per window.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>

#include "core/WinTypes.h"

class QPainter;

struct WndImpl {
    explicit WndImpl(QWidget* w) : widget(w) {}
    QPointer<QWidget> widget; // a control, or a dialog's top-level window
    bool ownsWidget = false; // top-level windows are deleted with their CWnd
    std::map<UINT_PTR, std::unique_ptr<QObject>> timers;
    std::map<UINT_PTR, std::unique_ptr<QObject>> fileWatches;
    QPainter* painter = nullptr; // set while the window handles WM_PAINT
    ~WndImpl();
};

// The icon behind an HICON.
struct IconHandle {
    unsigned id;
};
class QIcon;
const QIcon& IconFromHandle(HICON icon);
