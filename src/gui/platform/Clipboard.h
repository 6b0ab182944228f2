#pragma once

#include <QString>

// The system clipboard as the edit commands use it: empty it, put a text on it, get its text.
namespace Clipboard {

void clear();
void setText(const QString& text);
// The clipboard's text, "" when it holds none.
QString text();

}  // namespace Clipboard
