#include "gui/output/OutputPane.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "gui/platform/Clipboard.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// CR LF, a lone CR and a lone LF all become the "\n" the document takes as a block break.
QString toDocumentText(const QString& text) {
    QString s = text;
    s.replace(kCrLf, QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// The document's own separators (paragraph and line separators) become CR LF; everything else,
// non-breaking spaces included, is kept as typed.
QString fromDocumentText(const QString& raw) {
    QString out;
    out.reserve(raw.size() + raw.size() / 16);
    for (const QChar ch : raw) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator ||
            ch == QLatin1Char('\n')) {
            out += kCrLf;
        } else {
            out += ch;
        }
    }
    return out;
}

// Whether every character is as wide as every other: the report columns depend on it. (Some
// monospaced fonts do not say so of themselves, hence the measurement.)
bool isMonospaced(const QFont& font) {
    const QFontMetricsF m(font);
    return m.horizontalAdvance(QLatin1Char('i')) == m.horizontalAdvance(QLatin1Char('W')) &&
           m.horizontalAdvance(QLatin1Char(' ')) == m.horizontalAdvance(QLatin1Char('M'));
}

// The system's fixed font near 10 pt, or a Courier-like one when that is not monospaced.
QFont reportFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10.0);
    font.setWeight(QFont::Normal);
    if (!isMonospaced(font)) {
        font = QFont(QStringLiteral("Courier"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSizeF(10.0);
    }
    font.setFixedPitch(true);
    return font;
}

}  // namespace

OutputPane::OutputPane(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("txtOutput"));
    setFont(reportFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setReadOnly(false);
    // No block limit: setting one, even none, would also switch the document's undo off.
    // Tab and Shift+Tab go on through the window's focus order; Ctrl+Tab types a tab.
    setTabChangesFocus(true);
}

void OutputPane::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        textCursor().insertText(QStringLiteral("\t"));
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void OutputPane::appendReport(const QString& crlfText) {
    if (crlfText.isEmpty()) return;

    // The user's caret, selection and view are put back exactly as they were: an insertion at
    // the caret's own position would otherwise carry the caret along.
    const QTextCursor user = textCursor();
    const int anchor = user.anchor();
    const int position = user.position();
    const int hValue = horizontalScrollBar()->value();
    const int vValue = verticalScrollBar()->value();

    QTextDocument* doc = document();
    const int firstLine = doc->blockCount() - 1;  // the report starts on the last line
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.insertText(toDocumentText(crlfText));
    doc->setUndoRedoEnabled(undo);

    const QTextCursor now = textCursor();
    if (now.anchor() != anchor || now.position() != position) {
        QTextCursor restored(doc);
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(restored);
    }
    horizontalScrollBar()->setValue(hValue);
    verticalScrollBar()->setValue(vValue);
    showAppended(firstLine);
}

void OutputPane::showAppended(int firstLine) {
    // Without wrapping every line is one block and one step of the vertical scroll bar.
    QScrollBar* v = verticalScrollBar();
    const int lineHeight = std::max(1, fontMetrics().lineSpacing());
    const int visibleLines = std::max(1, viewport()->height() / lineHeight);
    const int lastLine = document()->blockCount() - 1;
    if (firstLine >= v->value() && lastLine < v->value() + visibleLines) return;
    v->setValue(std::min(firstLine, v->maximum()));
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

bool OutputPane::holdsUnsavedOutput() const {
    return document()->isModified() && !document()->isEmpty();
}

void OutputPane::markSaved() { document()->setModified(false); }

QString OutputPane::textCrlf() const { return fromDocumentText(document()->toRawText()); }

void OutputPane::setTextCrlf(const QString& crlfText) {
    setPlainText(toDocumentText(crlfText));
    // A new text is the user's to keep until it is saved (opening a file marks it saved).
    document()->setModified(true);
}

QString OutputPane::selectedTextCrlf() const {
    return fromDocumentText(textCursor().selectedText());
}

void OutputPane::replaceSelection(const QString& crlfText) {
    QTextCursor c = textCursor();
    if (crlfText.isEmpty()) {
        c.removeSelectedText();
    } else {
        c.insertText(toDocumentText(crlfText));
    }
    setTextCursor(c);
}

QMimeData* OutputPane::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(selectedTextCrlf());
    return data;
}

void OutputPane::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    replaceSelection(source->text());
    ensureCursorVisible();
}

bool OutputPane::holdsWindowFocus() const {
    const QWidget* focused = window()->focusWidget();
    return focused != nullptr && (focused == this || isAncestorOf(focused));
}

void OutputPane::editCut() {
    Clipboard::clear();
    if (!holdsWindowFocus()) return;
    Clipboard::setText(selectedTextCrlf());
    replaceSelection(QString());
}

void OutputPane::editCopy() {
    Clipboard::clear();
    if (!holdsWindowFocus()) return;
    Clipboard::setText(selectedTextCrlf());
}

void OutputPane::editPaste() {
    if (!holdsWindowFocus()) return;
    replaceSelection(Clipboard::text());
}

void OutputPane::clearOutput() {
    if (document()->isEmpty()) return;
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
}
