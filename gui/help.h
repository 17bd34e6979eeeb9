#pragma once

#include <QString>

#include <functional>

class QKeyEvent;
class QWidget;

namespace quintaro {

// Where help opens: the contents, or the topic of the window or of the frame dialog (both
// context number 3 in the school system's help file; each its own section in our manual).
enum class HelpTopic { Contents, MainWindow, FrameDialog };
inline constexpr int kHelpContext = 3;

// Opens "ESCOLARIA.chm" from beside the program when it is there: on Windows with the HTML Help
// viewer at the topic's context number, elsewhere with the desktop's handler. Without that file,
// or when nothing can show it, Quintaro's own manual opens at the topic: F1 never does nothing.
void openHelp(QWidget* parent, HelpTopic topic);

// Shows the school system's help file at a context number (0: its contents); false when nothing
// could show it. By default: the HTML Help viewer on Windows, the desktop's handler elsewhere
// (which cannot be asked for a context). Tests put their own in place.
using SchoolHelpViewer = std::function<bool(const QString& chmPath, int context)>;
void setSchoolHelpViewer(SchoolHelpViewer viewer);

// F1 opens the help at the topic; true when the key was F1 and the help is taken care of.
bool openHelpOnF1(QWidget* parent, const QKeyEvent* event, HelpTopic topic);

} // namespace quintaro
