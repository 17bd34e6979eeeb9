#pragma once

#include "gui/help.h"

#include <QDialog>

class QTextBrowser;

namespace quintaro {

// Quintaro's own manual (docs/manual.md, built into the program), in a window of its own that
// stays open beside the others. One per parent window; asking again brings it forward at the topic.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    static HelpWindow* showTopic(QWidget* parent, HelpTopic topic);

    // The heading of the manual's section for a topic; empty for the contents.
    static QString headingOf(HelpTopic topic);
    // The manual's text (Markdown).
    static QString manual();

    QTextBrowser* text() const { return m_text; }

private:
    explicit HelpWindow(QWidget* parent);
    void goTo(HelpTopic topic);

    QTextBrowser* m_text;
};

} // namespace quintaro
