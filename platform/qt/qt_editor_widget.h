// The editor control's widget: a QPlainTextEdit laid inside a note's widget.
//
// Every key, character, finished composition, mouse button and paste that
// the desktop gives it becomes a message to the editor's window procedure
// before the widget acts on it; the widget acts only when the message
// reaches the control's own behaviour (OwnBehaviour), which the procedure
// chain ends in when the program passes a message on. Everything else by
// which a QPlainTextEdit takes in text (its shortcuts, the middle button's
// selection, drops, its context menu) is switched off.
//
// Internal to the Qt backend.
#pragma once

#include <QPlainTextEdit>

#include <string>

#include "platform/types.h"

class QInputMethodEvent;

namespace platform::qt {

class EditorWidget final : public QPlainTextEdit {
public:
    EditorWidget(WindowHandle handle, QWidget* parent, const QFont& font);

    // The program's text: replaces what is there, clears the modification
    // flag and the undo history, and puts the caret at the start.
    void SetProgramText(const QString& text);
    bool IsModified() const { return modified_; }

    // The text with CR LF line breaks, and positions in it: the document
    // keeps a line break as one paragraph separator, the text as two units.
    // The text is kept, and changed with the document, so that the program
    // can read it at every key without converting the whole document again.
    const std::u16string& CrLfText() const;
    std::int32_t ToCrLfPosition(int position) const;
    int FromCrLfPosition(std::int32_t position) const;

    // The control's own behaviour for one message: what the editor does when
    // the program passes the message on.
    LResult OwnBehaviour(std::uint32_t message, WParam wParam, LParam lParam);

    // The finished text of the composition whose wm::ImeComposition is being
    // handled, and the text still being composed; empty outside one.
    QString CompositionInFlight() const;
    QString ComposingInFlight() const { return composing_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The document's text, line breaks as separators, with its NULs.
    QString RawText() const;
    void OnContentsChange(int position, int removed, int added);
    void ActOnKey(std::uint32_t virtualKey);
    void ActOnCharacter(char16_t character);
    void ActOnButton(std::uint32_t message, WParam wParam, LParam lParam);
    void Type(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text = QString());
    void Paste();
    void CopySelection(bool remove);
    LResult Undo();
    void Select(std::int32_t start, std::int32_t end);
    Qt::KeyboardModifiers KeyModifiers() const;

    WindowHandle handle_;
    bool modified_ = false;
    // The key press being turned into messages, whose modifiers the
    // control's own behaviour reads; none outside one.
    bool keyInFlight_ = false;
    Qt::KeyboardModifiers keyModifiers_;
    // A character beyond the 16-bit range arrives as two wm::Char messages.
    char16_t highSurrogate_ = 0;
    QInputMethodEvent* composition_ = nullptr;
    bool compositionDelivered_ = false;
    QString composing_;
    // The text with CR LF line breaks as the document holds it now, unless
    // stale. Changed in place while each line break of the document is a
    // paragraph separator (plain_: Qt makes every CR and LF one); a line
    // separator, which reads as a line break too, or an inserted object (a
    // NUL's sign) has it made afresh when it is next asked for.
    mutable std::u16string crlf_;
    mutable bool crlfStale_ = true;
    mutable bool plain_ = false;
};

}  // namespace platform::qt
