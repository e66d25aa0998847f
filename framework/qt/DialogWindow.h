// The top-level widget that realises a CDialog from its template: controls placed in dialog
// units, keys and closes turned into the dialog's commands, the system menu, and the own
// caption of an unowned main window.
#pragma once

#include <QWidget>
#include <map>
#include <memory>

#include "core/DialogUnits.h"
#include "core/DialogTemplate.h"

class CDialog;
class CaptionBar;
class DayTurn;
class QMenu;

class DialogWindow : public QWidget {
    Q_OBJECT
public:
    DialogWindow(CDialog* dialog, const DialogTemplate& tmpl, QWidget* owner);
    ~DialogWindow() override;

    CDialog* dialog() const { return m_dialog; }
    QWidget* client() const { return m_client; }
    CaptionBar* caption() const { return m_caption; }
    QWidget* control(unsigned id) const;

    // Outer rectangle in global coordinates: the window's own geometry when it draws its own
    // caption, the window manager's frame otherwise.
    QRect outerGeometry() const;
    void setOuterGeometry(const QRect& rect);
    void setTitle(const QString& title);
    void showSystemMenu(const QPoint& globalPos);
    // From the keyboard (Alt+Space; Shift+F10 and the Menu key on the own caption's window).
    void showSystemMenuBelowCaption();
    // The system menu's Move: the window follows the pointer or the arrow keys until a click
    // or Enter; Escape puts it back.
    void startMoveMode();
    // The desktop session is ending: closes end dialogs without asking.
    static void setSessionEnding() { s_sessionEnding = true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls(const DialogTemplate& tmpl, const DialogBaseUnits& units);
    void layoutStrips();
    void sendSysCommand(unsigned id);
    void endMoveMode(bool keep);

    CDialog* m_dialog;
    CaptionBar* m_caption = nullptr;
    QWidget* m_client = nullptr;
    int m_titleLineHeight = 0; // where no window manager shows the title

    std::map<unsigned, QWidget*> m_controls;
    bool m_moving = false;
    QPoint m_moveStart; // window position when the move began
    QPoint m_moveGrab; // pointer offset inside the window
    std::shared_ptr<DayTurn> m_dayTurn; // every dialog hears of it as WM_DAYTURN
    static bool s_sessionEnding;
};
