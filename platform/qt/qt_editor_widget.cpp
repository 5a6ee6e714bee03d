// The editor control's widget: Qt's events become the editor's messages, and
// the control's own behaviour acts on the messages the program passes on.
#include "platform/qt/qt_editor_widget.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_text_lines.h"
#include "platform/qt/qt_windows.h"

namespace platform::qt {
namespace {

bool IsLineBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

// Keys that move the caret or the view: the control acts on them with the
// Shift (extend the selection) and Ctrl (by words, to the ends) they came with.
bool IsCaretKey(std::uint32_t virtualKey)
{
    return (virtualKey >= 33 && virtualKey <= 40);  // Page Up/Down, End, Home, the arrows
}

constexpr std::uint32_t kInsertKey = 45;

// Inserts the text at the cursor, each NUL as a NUL object.
void InsertText(QTextCursor& cursor, const QString& text)
{
    QTextCharFormat nul;
    nul.setObjectType(kNulObject);
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(QChar(u'\0')); at >= 0; from = at + 1, at = text.indexOf(QChar(u'\0'), from)) {
        cursor.insertText(text.mid(from, at - from));
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), nul);
    }
    cursor.insertText(text.mid(from));
}

// The text between two line breaks is copied whole: every key copies the
// text, and a megabyte char by char took milliseconds.
std::u16string CrLfOf(const QString& documentText)
{
    std::u16string out;
    out.reserve(static_cast<std::size_t>(documentText.size() + documentText.size() / 16));
    const auto* text = reinterpret_cast<const char16_t*>(documentText.utf16());
    const auto size = static_cast<std::size_t>(documentText.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (IsLineBreak(QChar(text[i]))) {
            out.append(text + from, i - from).append(u"\r\n");
            from = i + 1;
        }
    }
    return out.append(text + from, size - from);
}

}  // namespace

EditorWidget::EditorWidget(WindowHandle handle, QWidget* parent, const QFont& font)
    : QPlainTextEdit(parent), handle_(handle)
{
    // Every line at the font's line pitch, as the note paints and measures
    // it, and each NUL object shown as its sign.
    auto* pitched = new QTextDocument(this);
    pitched->setDocumentLayout(NewPitchedLayout(pitched));
    pitched->documentLayout()->setPaintDevice(viewport());
    setDocument(pitched);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The view follows the caret, but no scroll bar takes room from the text.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The text starts at the editor's corner, where the note paints it.
    document()->setDocumentMargin(0);
    setFont(font);
    setTabStopDistance(TabStopDistance(font));
    // Neither the widget's menu nor a drop may put text in behind the
    // program's back; the program has its own edit menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    // Every change the user makes is an undo step; undoing is a change too
    // (Undo below), so the flag, once set, stays set until the program sets
    // the text. QTextDocument's own flag would clear when undone to the start.
    connect(document(), &QTextDocument::undoCommandAdded, this, [this] { modified_ = true; });
    connect(document(), &QTextDocument::contentsChange, this, &EditorWidget::OnContentsChange);
}

void EditorWidget::SetProgramText(const QString& text)
{
    const bool hasNul = text.contains(QChar(u'\0'));
    setPlainText(hasNul ? QString() : text);  // also clears the undo history
    if (hasNul) {
        QTextCursor cursor(document());
        InsertText(cursor, text);
        document()->clearUndoRedoStacks();
    }
    document()->setModified(false);
    modified_ = false;
    moveCursor(QTextCursor::Start);
}

const std::u16string& EditorWidget::CrLfText() const
{
    if (crlfStale_) {
        const QString raw = RawText();
        crlf_ = CrLfOf(raw);
        plain_ = std::none_of(raw.begin(), raw.end(), [](QChar c) { return c == QChar::LineSeparator; });
        crlfStale_ = false;
    }
    return crlf_;
}

// The change replaced `removed` units of the document at `position` by
// `added`. In a plain text the CR LF text has one unit more than the
// document for each line break before the position, and a line break of
// the removed part is the CR LF at its place. Qt may count the document's
// final separator in both lengths: each part ends at its text's end.
void EditorWidget::OnContentsChange(int position, int removed, int added)
{
    if (crlfStale_)
        return;
    const int size = document()->characterCount() - 1;
    QTextCursor cursor(document());
    cursor.setPosition(std::min(position, size));
    cursor.setPosition(std::min(position + added, size), QTextCursor::KeepAnchor);
    const QString inserted = cursor.selectedText();
    const bool plainInsert = std::none_of(inserted.begin(), inserted.end(), [](QChar c) {
        return c == QChar::LineSeparator || c == QChar::ObjectReplacementCharacter;
    });
    if (!plain_ || !plainInsert) {
        crlfStale_ = true;
        return;
    }
    const auto start = static_cast<std::size_t>(position + document()->findBlock(position).blockNumber());
    std::size_t end = std::min(start, crlf_.size());
    for (int unit = 0; unit < removed && end < crlf_.size(); ++unit)
        end += crlf_.compare(end, 2, u"\r\n") == 0 ? 2 : 1;
    crlf_.replace(start, end - start, CrLfOf(inserted));
}

QString EditorWidget::RawText() const
{
    QString text = document()->toRawText();
    if (!text.contains(QChar::ObjectReplacementCharacter))
        return text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().objectType() == kNulObject)
                std::fill_n(text.begin() + fragment.position(), fragment.length(), QChar(u'\0'));
        }
    }
    return text;
}

std::int32_t EditorWidget::ToCrLfPosition(int position) const
{
    CrLfText();
    if (plain_) {
        const int size = document()->characterCount() - 1;
        return position + document()->findBlock(std::min(position, size)).blockNumber();
    }
    const QString text = document()->toRawText();
    const int end = std::min<int>(position, text.size());
    std::int32_t out = 0;
    for (int i = 0; i < end; ++i)
        out += IsLineBreak(text.at(i)) ? 2 : 1;
    return out + std::max(0, position - end);
}

int EditorWidget::FromCrLfPosition(std::int32_t position) const
{
    const QString text = document()->toRawText();
    std::int32_t at = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (at >= position)
            return i;
        at += IsLineBreak(text.at(i)) ? 2 : 1;
    }
    return static_cast<int>(text.size());
}

QString EditorWidget::CompositionInFlight() const
{
    return composition_ ? composition_->commitString() : QString();
}

// --- Qt's events become messages ---------------------------------------

void EditorWidget::keyPressEvent(QKeyEvent* event)
{
    event->accept();  // a key never travels on to the note
    if (!FindRecord(handle_))
        return;
    keyInFlight_ = true;
    keyModifiers_ = event->modifiers();
    SendKeyPress(handle_, *event);
    keyInFlight_ = false;
}

void EditorWidget::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    if (FindRecord(handle_))
        SendKeyRelease(handle_, *event);
}

// A finished composition is the program's to see first and goes in only when
// the program passes it on; the program hears of what is still being
// composed (the preedit) before the widget shows it.
void EditorWidget::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
    const WindowHandle window = handle_;
    const bool finished = !event->commitString().isEmpty();
    if (finished && FindRecord(window)) {
        composition_ = event;
        compositionDelivered_ = false;
        SendWindowMessage(window, wm::ImeComposition, 0, gcs::ResultString);
        composition_ = nullptr;
    }
    if (!event->preeditString().isEmpty() && FindRecord(window)) {
        composing_ = event->preeditString();
        SendWindowMessage(window, wm::ImeComposition, 0, gcs::CompositionString);
        composing_.clear();
    }
    if (!FindRecord(window))
        return;
    if (!finished) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // The finished text went in with its message, or was kept out; the
    // composition goes on.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&rest);
}

void EditorWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();  // no button reaches the note through the editor
    const WindowRecord* record = FindRecord(handle_);
    if (!record || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton))
        return;  // the middle button's paste of the selection is switched off
    const WindowHandle window = handle_;
    // A click activates the note before the editor hears of the press.
    SetActiveWindow(record->parent, wa::ClickActive);
    if (IsLiveWindow(window))
        SendButton(window, *event, true);
}

void EditorWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (FindRecord(handle_))
        SendButton(handle_, *event, false);
}

void EditorWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (!FindRecord(handle_))
        return;
    if (event->button() == Qt::LeftButton)
        SendPointer(handle_, wm::LeftButtonDoubleClick, *event);
    else
        mousePressEvent(event);
}

void EditorWidget::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    if (FindRecord(handle_))
        OnEditorTookKeyboard(handle_);
    ReportFocusIn(handle_);
}

void EditorWidget::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    ReportFocusOut(handle_, *event);
}

// Whatever QPlainTextEdit would take in from the clipboard, the selection or
// a drop: nothing. The control's own paste (Paste below) inserts the text the
// program was shown.
bool EditorWidget::canInsertFromMimeData(const QMimeData*) const { return false; }
void EditorWidget::insertFromMimeData(const QMimeData*) {}

// --- the control's own behaviour ---------------------------------------

LResult EditorWidget::OwnBehaviour(std::uint32_t message, WParam wParam, LParam lParam)
{
    switch (message) {
    case wm::KeyDown: ActOnKey(static_cast<std::uint32_t>(wParam)); return 0;
    case wm::Char: ActOnCharacter(static_cast<char16_t>(wParam)); return 0;
    case wm::ImeComposition:
        if (composition_ && !compositionDelivered_ && (lParam & gcs::ResultString)) {
            compositionDelivered_ = true;
            QInputMethodEvent commit;
            commit.setCommitString(composition_->commitString(), composition_->replacementStart(),
                                   composition_->replacementLength());
            QPlainTextEdit::inputMethodEvent(&commit);
        }
        return 0;
    case wm::LeftButtonDown:
    case wm::LeftButtonUp:
    case wm::LeftButtonDoubleClick: ActOnButton(message, wParam, lParam); return 0;
    case wm::Paste: Paste(); return 0;
    case wm::Cut: CopySelection(true); return 0;
    case wm::Copy: CopySelection(false); return 0;
    case wm::Undo: return Undo();
    case em::SetSelection:
        Select(static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
        return 0;
    default: return DefaultWindowProc(handle_, message, wParam, lParam);
    }
}

Qt::KeyboardModifiers EditorWidget::KeyModifiers() const
{
    if (keyInFlight_)
        return keyModifiers_;
    return QGuiApplication::queryKeyboardModifiers();
}

// Gives the widget a key as its own typing: only the keys and texts chosen
// below ever reach it, so none of its shortcuts (paste among them) can act.
void EditorWidget::Type(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent key(QEvent::KeyPress, qtKey, modifiers, text);
    QPlainTextEdit::keyPressEvent(&key);
}

// Key-down: the keys that move the caret or delete, and the clipboard keys
// of the desktop (Shift+Insert, Ctrl+Insert, Shift+Delete), which send their
// messages so that the program sees them.
void EditorWidget::ActOnKey(std::uint32_t virtualKey)
{
    const Qt::KeyboardModifiers modifiers = KeyModifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    if (virtualKey == kInsertKey && shift)
        SendWindowMessage(handle_, wm::Paste, 0, 0);
    else if (virtualKey == kInsertKey && ctrl)
        SendWindowMessage(handle_, wm::Copy, 0, 0);
    else if (virtualKey == vk::Delete && shift)
        SendWindowMessage(handle_, wm::Cut, 0, 0);
    else if (IsCaretKey(virtualKey) || virtualKey == vk::Delete)
        Type(QtKeyOf(virtualKey), modifiers);
}

// Characters: typed text goes in; Backspace, Return and Tab edit; the
// control characters of Ctrl+A, C, V, X and Z select all, copy, paste, cut
// and undo, each through its message.
void EditorWidget::ActOnCharacter(char16_t character)
{
    switch (character) {
    case 0x01: SendWindowMessage(handle_, em::SetSelection, 0, -1); return;
    case 0x03: SendWindowMessage(handle_, wm::Copy, 0, 0); return;
    case 0x16: SendWindowMessage(handle_, wm::Paste, 0, 0); return;
    case 0x18: SendWindowMessage(handle_, wm::Cut, 0, 0); return;
    case 0x1A: SendWindowMessage(handle_, wm::Undo, 0, 0); return;
    case u'\b': Type(Qt::Key_Backspace, Qt::NoModifier); return;
    case u'\r': Type(Qt::Key_Return, Qt::NoModifier); return;
    case u'\t': Type(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")); return;
    default: break;
    }
    if (character < 0x20 || character == 0x7F)
        return;
    const QChar c(character);
    if (c.isHighSurrogate()) {
        highSurrogate_ = character;
        return;
    }
    QString text(c);
    if (c.isLowSurrogate()) {
        if (!highSurrogate_)
            return;
        text.prepend(QChar(highSurrogate_));
    }
    highSurrogate_ = 0;
    Type(Qt::Key_unknown, Qt::NoModifier, text);
}

void EditorWidget::ActOnButton(std::uint32_t message, WParam wParam, LParam lParam)
{
    const QPointF at(LowSigned(lParam), HighSigned(lParam));
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, (wParam & mk::Shift) != 0);
    modifiers.setFlag(Qt::ControlModifier, (wParam & mk::Control) != 0);
    const QPointF global = viewport()->mapToGlobal(at);
    switch (message) {
    case wm::LeftButtonDown: {
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
        QPlainTextEdit::mousePressEvent(&press);
        break;
    }
    case wm::LeftButtonUp: {
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, modifiers);
        QPlainTextEdit::mouseReleaseEvent(&release);
        break;
    }
    default: {
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
        QPlainTextEdit::mouseDoubleClickEvent(&twice);
        break;
    }
    }
}

// The clipboard's text as the program reads it (GetClipboardText), the text
// the program grew the note for, replaces the selection.
void EditorWidget::Paste()
{
    const std::optional<std::u16string> text = GetClipboardText();
    if (!text || text->empty())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();  // one undo step
    InsertText(cursor, ToQString(*text));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void EditorWidget::CopySelection(bool remove)
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    const QString selected = RawText().mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    if (!SetClipboardText(CrLfOf(selected)) || !remove)
        return;
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

LResult EditorWidget::Undo()
{
    if (!document()->isUndoAvailable())
        return 0;
    undo();
    modified_ = true;
    return 1;
}

// From start to end, the caret at the end; an end of -1 is the end of the
// text, a start of -1 only takes the selection away.
void EditorWidget::Select(std::int32_t start, std::int32_t end)
{
    QTextCursor cursor = textCursor();
    if (start < 0) {
        cursor.clearSelection();
    } else {
        const int last = static_cast<int>(document()->toRawText().size());
        cursor.setPosition(std::min(FromCrLfPosition(start), last));
        cursor.setPosition(end < 0 ? last : std::min(FromCrLfPosition(end), last), QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

}  // namespace platform::qt
