// Helpers for driving the real dialogs offscreen: run a modal dialog with a body that acts
// inside its loop, answer message boxes, pin the clock, and find the widgets behind objects.
#pragma once

#include <QMessageBox>
#include <QTemporaryDir>
#include <functional>

#include "framework/Dialog.h"
#include "framework/qt/DialogWindow.h"
#include "core/Time.h"

// What DoModal returns when RunModal had to end the dialog itself.
inline constexpr int kEndedByTest = 0x7e57;
// Runs `body` inside the dialog's modal loop; ends the dialog afterwards (with kEndedByTest)
// if nothing in the body did.
std::intptr_t RunModal(CDialog& dialog, const std::function<void()>& body);
// Answers the next message box that opens with `button`; `seen` receives its text and caption.
void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* seenText = nullptr,
                          QString* seenCaption = nullptr, std::function<void()> whileOpen = {});
// Runs `act` on the next dialog of this template that comes up modally (it should close it).
void ActOnNextDialog(unsigned templateId, std::function<void(DialogWindow*)> act);
DialogWindow* WindowOf(const CWnd& wnd);
// The whole profile file, as bytes ("" when there is none).
QByteArray ReadProfile(const QString& path);
// A wall clock fixed at a local date and time (moved with Set()).
class FixedClock {
public:
    FixedClock(int year, int month, int day, int hour, int minute);
    void Set(int year, int month, int day, int hour, int minute);

private:
    std::time_t m_now = 0;
    ScopedClock m_scope;
};
// A fresh, empty configuration folder for the profile file, for the life of the object.
class TempProfileHome {
public:
    TempProfileHome();
    ~TempProfileHome();
    QString profilePath() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};
