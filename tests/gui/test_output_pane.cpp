#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "gui/output/OutputPane.h"

namespace {

void select(OutputPane& pane, int anchor, int position) {
    QTextCursor c = pane.textCursor();
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    pane.setTextCursor(c);
}

QString manyLines(int n) {
    QString s;
    for (int i = 0; i < n; ++i) s += QString("line %1 of the earlier report\r\n").arg(i);
    return s;
}

}  // namespace

class TestOutputPane : public QObject {
    Q_OBJECT
  private slots:
    void paneIsAnEditableFixedPitchTextWithoutWrapping() {
        OutputPane pane;
        QCOMPARE(pane.objectName(), QString("txtOutput"));
        QVERIFY(!pane.isReadOnly());
        QCOMPARE(pane.lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(pane.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(pane.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        const QFontMetricsF m(pane.font());
        QCOMPARE(m.horizontalAdvance("iiii"), m.horizontalAdvance("WWWW"));
        QCOMPARE(m.horizontalAdvance(" "), m.horizontalAdvance("."));
        QVERIFY(qAbs(pane.font().pointSizeF() - 10.0) < 0.5);
        QCOMPARE(pane.textCrlf(), QString());
    }

    void textIsCrLfWhateverTheLineEndsGiven() {
        OutputPane pane;
        pane.setTextCrlf("A\r\nB\rC\nD");
        QCOMPARE(pane.textCrlf(), QString("A\r\nB\r\nC\r\nD"));
        QCOMPARE(pane.document()->blockCount(), 4);

        // Empty lines and a final line end survive; CR LF is never split into two breaks.
        pane.setTextCrlf("\r\n\r\nX\r\n");
        QCOMPARE(pane.textCrlf(), QString("\r\n\r\nX\r\n"));
        pane.setTextCrlf("\n\r");
        QCOMPARE(pane.textCrlf(), QString("\r\n\r\n"));
        pane.setTextCrlf("");
        QCOMPARE(pane.textCrlf(), QString());

        // Characters the widget would turn into others on the way out are kept.
        const QString nbsp = QString("a") + QChar(0x00A0) + "b\tc";
        pane.setTextCrlf(nbsp);
        QCOMPARE(pane.textCrlf(), nbsp);
    }

    void appendGoesAtTheEndAndKeepsCaretAndSelection() {
        OutputPane pane;
        pane.setTextCrlf("first\r\nsecond\r\n");
        select(pane, 2, 8);  // "rst\r\nse" in document positions
        const QString selected = pane.selectedTextCrlf();
        QCOMPARE(selected, QString("rst\r\nse"));

        pane.appendReport("REPORT\r\n---\r\n\r\n");
        QCOMPARE(pane.textCrlf(), QString("first\r\nsecond\r\nREPORT\r\n---\r\n\r\n"));
        QCOMPARE(pane.textCursor().anchor(), 2);
        QCOMPARE(pane.textCursor().position(), 8);
        QCOMPARE(pane.selectedTextCrlf(), selected);

        // A caret at the very end stays there rather than riding along with the report.
        QTextCursor c = pane.textCursor();
        c.movePosition(QTextCursor::End);
        pane.setTextCursor(c);
        const int end = c.position();
        pane.appendReport("NEXT\r\n");
        QCOMPARE(pane.textCursor().position(), end);
        QVERIFY(!pane.textCursor().hasSelection());
        QVERIFY(pane.textCrlf().endsWith("\r\n\r\nNEXT\r\n"));
    }

    void appendAfterTypingGoesAfterTheTypedText() {
        OutputPane pane;
        pane.show();
        pane.appendReport("Number of Cases: 3\r\n\r\n\r\n");
        QTextCursor c = pane.textCursor();
        c.movePosition(QTextCursor::Start);
        pane.setTextCursor(c);
        QTest::keyClicks(&pane, "typed ");
        pane.appendReport("R\r\n");
        QCOMPARE(pane.textCrlf(), QString("typed Number of Cases: 3\r\n\r\n\r\nR\r\n"));
        QCOMPARE(pane.textCursor().position(), 6);

        // Undo reaches the user's edits at most, never a report.
        pane.undo();
        pane.undo();
        QVERIFY(pane.textCrlf().endsWith("\r\nR\r\n"));
    }

    // After an append the report's first line is at the top of the view, or near the end all
    // of the report shows; the caret and the selection stay where the user left them.
    void appendBringsTheReportIntoView() {
        OutputPane pane;
        pane.resize(300, 200);
        pane.show();
        pane.setTextCrlf(manyLines(400));
        select(pane, 10, 20);
        QScrollBar* v = pane.verticalScrollBar();
        v->setValue(0);
        pane.horizontalScrollBar()->setValue(pane.horizontalScrollBar()->maximum());
        pane.appendReport("REPORT\r\n" + manyLines(50));
        QCOMPARE(pane.document()->blockCount(), 452);
        QCOMPARE(pane.cursorForPosition(QPoint(0, 0)).block().text(), QString("REPORT"));
        QCOMPARE(pane.horizontalScrollBar()->value(), 0);
        QCOMPARE(pane.textCursor().anchor(), 10);
        QCOMPARE(pane.textCursor().position(), 20);

        pane.appendReport("SHORT\r\n\r\n");
        QCOMPARE(v->value(), v->maximum());
        const int bottom = pane.viewport()->height() - 1;
        QCOMPARE(pane.cursorForPosition(QPoint(0, bottom)).blockNumber(), 453);
        QCOMPARE(pane.textCursor().position(), 20);
    }

    // Clear is one step Undo takes back until the next append. Output is unsaved while the text
    // is not the one last saved or opened, and never when the pane is empty.
    void clearUndoAndTheSavedState() {
        OutputPane pane;
        pane.show();
        QVERIFY(!pane.holdsUnsavedOutput());
        pane.appendReport("REPORT\r\n");
        QVERIFY(pane.holdsUnsavedOutput());
        pane.markSaved();
        pane.clearOutput();
        QCOMPARE(pane.textCrlf(), QString());
        QVERIFY(!pane.holdsUnsavedOutput());
        pane.undo();
        QCOMPARE(pane.textCrlf(), QString("REPORT\r\n"));
        QVERIFY(!pane.holdsUnsavedOutput());  // the saved text again
        QTest::keyClicks(&pane, "typed");
        QVERIFY(pane.holdsUnsavedOutput());
        pane.clearOutput();
        pane.appendReport("NEXT\r\n");
        QVERIFY(!pane.document()->isUndoAvailable());
        pane.undo();
        QCOMPARE(pane.textCrlf(), QString("NEXT\r\n"));
    }

    void selectionIsReadAndReplacedAsCrLfText() {
        OutputPane pane;
        pane.setTextCrlf("abc\r\ndef\r\nghi");
        select(pane, 1, 5);
        QCOMPARE(pane.selectedTextCrlf(), QString("bc\r\nd"));

        pane.replaceSelection("X\r\nY");
        QCOMPARE(pane.textCrlf(), QString("aX\r\nYef\r\nghi"));
        QVERIFY(!pane.textCursor().hasSelection());
        QCOMPARE(pane.textCursor().position(), 4);  // after the inserted text

        // An empty replacement deletes the selection; with no selection it changes nothing.
        select(pane, 0, 2);
        pane.replaceSelection("");
        QCOMPARE(pane.textCrlf(), QString("\r\nYef\r\nghi"));
        pane.replaceSelection("");
        QCOMPARE(pane.textCrlf(), QString("\r\nYef\r\nghi"));
        QCOMPARE(pane.selectedTextCrlf(), QString());

        // Without a selection the text goes in at the caret.
        select(pane, 1, 1);
        pane.replaceSelection("+");
        QCOMPARE(pane.textCrlf(), QString("\r\n+Yef\r\nghi"));
    }

    void keyboardCopyAndPasteKeepCrLf() {
        OutputPane pane;
        pane.setTextCrlf(QStringLiteral("one\r\ntwo\r\nthree"));
        pane.selectAll();
        pane.copy();  // what Ctrl+C does
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("one\r\ntwo\r\nthree"));

        QGuiApplication::clipboard()->setText(QStringLiteral("a\r\nb\r\n"));
        pane.paste();  // a pasted CR LF is one line end, not two
        QCOMPARE(pane.textCrlf(), QStringLiteral("a\r\nb\r\n"));
    }
};

QTEST_MAIN(TestOutputPane)
#include "test_output_pane.moc"
