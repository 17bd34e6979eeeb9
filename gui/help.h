#pragma once

class QKeyEvent;
class QWidget;

namespace quintaro {

inline constexpr int kHelpContext = 3;

// Opens "ESCOLARIA.chm" beside the executable with the desktop's viewer: its contents, or the
// topic of a context number (viewers outside Windows open the file at its start). A missing file
// is said in a message.
void openHelp(QWidget* parent, int context = 0);

// F1 opens the help at its context; true when the key was F1 and the help is taken care of.
bool openHelpOnF1(QWidget* parent, const QKeyEvent* event);

} // namespace quintaro
