// Creation of the controls a dialog template names, as Qt widgets of the framework layer.
#pragma once

#include <functional>
#include <string>

#include "core/WinTypes.h"
#include "core/DialogTemplate.h"

class QWidget;

struct ControlHooks {
    std::function<LRESULT(NMHDR*)> notify; // control notifications, as WM_NOTIFY
    // Button clicks (code 0) and the notifications of edit boxes and list boxes, as WM_COMMAND.
    std::function<void(unsigned id, unsigned code)> command;
};

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, const ControlHooks& hooks);

// The month calendar, defined beside its wrapper.
QWidget* CreateMonthCalendar(QWidget* parent, unsigned id, const ControlHooks& hooks);
// The edit control, with the behaviour of the template's styles: multi-line, or one line that
// tells of every change of its text (EN_CHANGE).
QWidget* CreateEditControl(const ControlTemplate& control, QWidget* parent, const ControlHooks& hooks);
// The list box, defined beside its wrapper.
QWidget* CreateListBox(const ControlTemplate& control, QWidget* parent, const ControlHooks& hooks);
// Text of an edit control with CR LF line breaks, and back.
std::string EditControlText(const QWidget* edit);
void SetEditControlText(QWidget* edit, const std::string& text);
