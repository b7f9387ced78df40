#pragma once
// Texts between the engine and Qt. The engine holds bytes: paths as the file system gives them
// (UTF-8 on a Linux desktop) and texts of files in a single-byte code page. A text that is valid
// UTF-8 is shown as such; any other is read as Windows-1252, the code page of the D/A files.

#include <QString>
#include <string>

namespace plovix::ui {

QString toQt(const std::string& bytes);

// Text typed by the operator (a description, a criterion) as the engine's single-byte text:
// Windows-1252, "?" for what the code page cannot hold.
std::string toCodePage(const QString& text);

// A path chosen in a dialog or dropped on the window, as the engine opens it.
std::string pathFromQt(const QString& path);

}  // namespace plovix::ui
