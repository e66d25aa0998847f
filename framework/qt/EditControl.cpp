#include "framework/qt/EditControl.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBlock>

#include "framework/qt/Controls.h"

EditControl::EditControl(bool centred, QWidget* parent) : QTextEdit(parent), m_centred(centred)
{
    setAcceptRichText(false);
    setFrameStyle(QFrame::NoFrame);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(0);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(centred ? Qt::AlignHCenter : Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDefaultTextOption(option);
}

std::string EditControl::crlfText() const
{
    QString text = toPlainText();
    text.replace(QChar(QChar::ParagraphSeparator), QChar('\n'));
    text.replace(QChar(QChar::LineSeparator), QChar('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}

void EditControl::setCrlfText(const std::string& text)
{
    QString plain = QString::fromStdString(text);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QChar('\r'), QChar('\n'));
    setPlainText(plain);
}

bool EditControl::overflows() const
{
    return document()->documentLayout()->documentSize().height() > viewport()->height() + 0.5;
}

template <typename Edit> void EditControl::guarded(Edit edit)
{
    const QString before = toPlainText();
    const int position = textCursor().position();
    const int anchor = textCursor().anchor();
    edit();
    if (!overflows() || toPlainText().size() <= before.size())
        return;
    // Like an edit box without automatic scrolling: what does not fit is not taken.
    const QSignalBlocker block(document());
    setPlainText(before);
    QTextCursor cursor = textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

namespace {

// Keys an input method uses on its composition; where it passes them on, they must neither
// move the focus nor edit the text around the composition.
bool CompositionKey(int key)
{
    switch (key) {
    case Qt::Key_Escape: case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Backspace:
    case Qt::Key_Delete: case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

bool EditControl::event(QEvent* event)
{
    // Before the focus chain and the dialog's shortcuts see Tab or Escape.
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && m_composing && CompositionKey(static_cast<QKeyEvent*>(event)->key())) {
        event->accept();
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            // Escape cancels the composition only: the text being composed goes, the rest stays.
            QGuiApplication::inputMethod()->reset();
            QInputMethodEvent cancel;
            inputMethodEvent(&cancel);
        }
        return true;
    }
    return QTextEdit::event(event);
}

void EditControl::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_composing) {
        // The input method's Enter confirms its composition; it is not the dialog's OK.
        event->accept();
        return;
    }
    if (enter) {
        if (event->modifiers() & Qt::ControlModifier) {
            guarded([this] { textCursor().insertText(QStringLiteral("\n")); });
            return;
        }
        // Plain Enter belongs to the dialog (its OK).
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    guarded([this, event] { QTextEdit::keyPressEvent(event); });
}

void EditControl::inputMethodEvent(QInputMethodEvent* event)
{
    m_composing = !event->preeditString().isEmpty();
    if (event->commitString().isEmpty()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    guarded([this, event] { QTextEdit::inputMethodEvent(event); });
}

void EditControl::insertFromMimeData(const QMimeData* source)
{
    guarded([this, source] { QTextEdit::insertFromMimeData(source); });
}

QWidget* CreateEditControl(const ControlTemplate& control, QWidget* parent, const ControlHooks& hooks)
{
    if (!(control.style & ES_MULTILINE)) {
        auto* line = new QLineEdit(QString::fromUtf8(control.text), parent);
        line->setFrame((control.style & WS_BORDER) || (control.exStyle & WS_EX_CLIENTEDGE));
        line->setAlignment(control.style & ES_CENTER ? Qt::AlignHCenter : Qt::AlignLeft);
        const unsigned id = control.id;
        QObject::connect(line, &QLineEdit::textChanged, line, [hooks, id] {
            if (hooks.command)
                hooks.command(id, EN_CHANGE);
        });
        return line;
    }
    auto* edit = new EditControl(control.style & ES_CENTER, parent);
    edit->setPlainText(QString::fromUtf8(control.text));
    return edit;
}

std::string EditControlText(const QWidget* edit)
{
    if (auto* line = qobject_cast<const QLineEdit*>(edit))
        return line->text().toStdString();
    auto* box = qobject_cast<const EditControl*>(edit);
    return box ? box->crlfText() : std::string();
}

void SetEditControlText(QWidget* edit, const std::string& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        line->setText(QString::fromStdString(text));
    else if (auto* box = qobject_cast<EditControl*>(edit))
        box->setCrlfText(text);
}
