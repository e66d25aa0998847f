// The multi-line edit control of dialog templates: a box that wraps at its width, never scrolls,
// refuses text that would grow past its height, and leaves Enter to the dialog. (A one-line
// edit control is a plain line edit; see CreateEditControl.)
#pragma once

#include <QTextEdit>

class EditControl : public QTextEdit {
    Q_OBJECT
public:
    EditControl(bool centred, QWidget* parent = nullptr);

    // Plain text with CR LF line breaks, and back (any line break style is accepted).
    std::string crlfText() const;
    void setCrlfText(const std::string& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool overflows() const;
    // Runs an edit and takes it back when the text no longer fits the box.
    template <typename Edit> void guarded(Edit edit);
    bool m_centred;
    bool m_composing = false; // an input method composition is open
};
