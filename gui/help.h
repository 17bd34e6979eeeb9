#pragma once

class QWidget;

namespace quintaro {

inline constexpr int kHelpContext = 3;

// Opens "ESCOLARIA.chm" beside the executable with the desktop's viewer: its contents, or the
// topic of a context number (viewers outside Windows open the file at its start). A missing file
// is said in a message.
void openHelp(QWidget* parent, int context = 0);

} // namespace quintaro
