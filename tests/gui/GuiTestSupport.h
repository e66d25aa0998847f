// The base of every GUI test and what the tests share: a fresh profile and a pinned clock for
// each test function, running a dialog modally with a body inside its loop, and answering the
// next modal window.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QPalette>
#include <QRect>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "core/Time.h"
#include "framework/Dialog.h"
#include "framework/qt/DialogWindow.h"

// Writes `bytes` as the whole of the file; false when that failed.
bool WriteFile(const QString& path, const QByteArray& bytes);

// init() gives each test function an empty profile folder (the profile path points into it) and
// a clock pinned at 2026-12-06 (Sun) 10:00; cleanup() puts both back.
class GuiTest : public QObject {
    Q_OBJECT
protected:
    QString profilePath() const;
    void writeProfile(const QByteArray& bytes) const { WriteFile(profilePath(), bytes); }
    QByteArray readProfile() const; // "" when there is no file
    // A value as the store reads it, "<missing>" when the key is not there.
    QString profileValue(const char* section, const QString& key) const;
    void setNow(int year, int month, int day, int hour, int minute);
    // A test class's own checks after each test function (cleanup() itself is the fixture's).
    virtual void checkAfterTest() {}

private slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::time_t m_now = 0;
    std::unique_ptr<ScopedClock> m_clock;
};

// What DoModal returns when RunModal had to end the dialog itself.
inline constexpr int kEndedByTest = 0x7e57;
// Runs `body` inside the dialog's modal loop; ends the dialog afterwards (with kEndedByTest)
// if nothing in the body did. The first dialog run is the application's main window.
std::intptr_t RunModal(CDialog& dialog, const std::function<void()>& body);
// Runs `act` on the next modal window of this object name once it shows: "messageBox", or
// "dialog<template id>". `act` should close it.
void WhenModal(const QString& name, std::function<void(QWidget*)> act);
// The next message box: its text and caption recorded, `whileOpen` run, then `button` clicked.
void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* seenText = nullptr,
                          QString* seenCaption = nullptr, std::function<void()> whileOpen = {});
// Runs `act` on the next dialog of this template.
void ActOnNextDialog(unsigned templateId, std::function<void(DialogWindow*)> act);
DialogWindow* WindowOf(const CWnd& wnd);
// The window's outer rectangle in screen pixels.
QRect WindowRect(const CWnd& wnd);

// A dark palette over `base`: dark window and base, light text, a dark selection with yellow ink.
QPalette DarkPalette(QPalette base);
// WCAG contrast ratio of two colours, 1 to 21.
double Contrast(const QColor& a, const QColor& b);
