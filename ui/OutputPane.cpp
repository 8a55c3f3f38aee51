#include "ui/OutputPane.h"

#include <cstdlib>

#include <algorithm>

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace ravolin {

bool memoryAvailable(std::size_t bytes) {
    void* probe = std::malloc(bytes);
    if (!probe) return false;
    std::free(probe);
    return true;
}

qsizetype outputSliceEnd(const QString& text, qsizetype from, qsizetype sliceChars) {
    const qsizetype reach = std::min(text.size(), from + std::max<qsizetype>(sliceChars, 2));
    if (reach == text.size()) return reach;
    const qsizetype lineBreak = text.lastIndexOf(QLatin1Char('\n'), reach - 1);
    if (lineBreak >= from) return lineBreak + 1;
    return text.at(reach - 1).isHighSurrogate() ? reach - 1 : reach;
}

void fillOutputSlice(QPlainTextEdit& pane, const QString& slice, bool first) {
    if (first) {
        // A read-only pane has nothing to undo, and an undo record would keep a second copy of the output.
        pane.document()->setUndoRedoEnabled(false);
        pane.setPlainText(slice);
        return;
    }
    QTextCursor end(pane.document());
    end.movePosition(QTextCursor::End);
    end.insertText(slice);
}

}  // namespace ravolin
